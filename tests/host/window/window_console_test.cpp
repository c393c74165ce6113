// The window's command line and the host's work while it waits: the host is woken when
// a wait begins, when its descriptor becomes readable and when its time has come, and
// when it ends the input every reply is End.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "window_console.h"

namespace orv::window {
namespace {

using namespace std::chrono_literals;

// The host's side: a signal is a byte in its pipe, drained when it is woken.
class HostWork final : public prompt::Waiting {
 public:
  HostWork() {
    EXPECT_EQ(::pipe2(pipe_, O_NONBLOCK), 0);
  }
  ~HostWork() override {
    ::close(pipe_[0]);
    ::close(pipe_[1]);
  }
  void signal() { ASSERT_EQ(::write(pipe_[1], "x", 1), 1); }

  int wakeDescriptor() const override { return pipe_[0]; }
  std::optional<std::chrono::milliseconds> nextWake(const prompt::AskOptions&) override { return every; }
  bool wake(const prompt::AskOptions&) override {
    ++wakes;
    char buffer[16];
    bool signalled = false;
    while (::read(pipe_[0], buffer, sizeof buffer) > 0) signalled = true;
    return signalled && endOnSignal;
  }
  void inputLost() override {}

  std::optional<std::chrono::milliseconds> every;
  bool endOnSignal = true;
  int wakes = 0;

 private:
  int pipe_[2] = {-1, -1};
};

TEST(WindowConsoleWaiting, theHostIsWokenOnTimeAndBySignalWhichEndsTheInputForGood) {
  WindowConsole console;
  HostWork host;
  console.setWaiting(&host);
  prompt::AskOptions command;
  command.kind = prompt::AskKind::command;

  // On time: woken when the wait begins and then every 5 ms, the prompt still waiting.
  host.every = 5ms;
  QTimer::singleShot(60, &console, [&] { console.answer("LINE"); });
  EXPECT_EQ(console.ask("\n命令: ", command).text, "LINE");
  EXPECT_GE(host.wakes, 4);

  // A wake that does not end the input leaves the prompt waiting.
  host.every.reset();
  host.endOnSignal = false;
  host.wakes = 0;
  QTimer::singleShot(10, &console, [&] { host.signal(); });
  QTimer::singleShot(60, &console, [&] { console.answer("5"); });
  EXPECT_EQ(console.ask("\n半径: ", {}).text, "5");
  EXPECT_EQ(host.wakes, 2);  // the start, the descriptor
  EXPECT_FALSE(console.inputLost());

  // A signal the host ends the session on: the waiting prompt ends with End, shown as a
  // cancel, and every later prompt too, without waiting or waking anyone again.
  host.endOnSignal = true;
  host.wakes = 0;
  QTimer::singleShot(10, &console, [&] { host.signal(); });
  EXPECT_EQ(console.ask("\n指定点: ", {}).kind, prompt::Reply::Kind::End);
  EXPECT_TRUE(console.inputLost());
  console.runCommand("LINE");
  EXPECT_EQ(console.ask("\n命令: ", command).kind, prompt::Reply::Kind::End);
  EXPECT_EQ(host.wakes, 2);
  EXPECT_TRUE(console.transcript().ends_with("\n指定点: *取消*\n\n命令: "));
}

TEST(WindowConsoleWaiting, aSignalWhileAMessageBoxIsOpenClosesItAndTheNextPromptEnds) {
  WindowConsole console;
  HostWork host;
  console.setWaiting(&host);
  console.alertBox = [&](const std::string& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("orvcad"), QString::fromStdString(text),
                    QMessageBox::Ok);
    QTimer::singleShot(20, &box, [&] { host.signal(); });
    QTimer::singleShot(5000, &box, [&] {
      ADD_FAILURE() << "the message box stayed open";
      box.close();
    });
    box.exec();
  };
  console.alert("没有找到阀门");
  EXPECT_TRUE(console.inputLost());
  EXPECT_EQ(console.ask("\n指定点: ", {}).kind, prompt::Reply::Kind::End);
}

}  // namespace
}  // namespace orv::window
