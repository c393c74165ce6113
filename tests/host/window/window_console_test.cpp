// The window's command line and the host's work while it waits: the host is woken when
// a wait begins, when its descriptor becomes readable and when its time has come, and
// when it ends the input every reply is End.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <unistd.h>

#include <chrono>
#include <vector>

#include "window_console.h"

namespace orv::window {
namespace {

using namespace std::chrono_literals;

class HostWork final : public prompt::Waiting {
 public:
  HostWork() { EXPECT_EQ(::pipe(pipe_), 0); }
  ~HostWork() override {
    ::close(pipe_[0]);
    ::close(pipe_[1]);
  }
  void signal() { ASSERT_EQ(::write(pipe_[1], "x", 1), 1); }

  int wakeDescriptor() const override { return pipe_[0]; }
  std::optional<std::chrono::milliseconds> nextWake(const prompt::AskOptions&) override { return every; }
  bool wake(const prompt::AskOptions& options) override {
    kinds.push_back(options.kind);
    char buffer[16];
    bool signalled = false;
    while (pipeReadable() && ::read(pipe_[0], buffer, sizeof buffer) > 0) signalled = true;
    return signalled && endOnSignal;
  }
  void inputLost() override {}

  std::optional<std::chrono::milliseconds> every;
  bool endOnSignal = true;
  std::vector<prompt::AskKind> kinds;

 private:
  bool pipeReadable() const {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(pipe_[0], &set);
    timeval none{};
    return ::select(pipe_[0] + 1, &set, nullptr, nullptr, &none) > 0;
  }
  int pipe_[2] = {-1, -1};
};

prompt::AskOptions commandPrompt() {
  prompt::AskOptions o;
  o.kind = prompt::AskKind::command;
  return o;
}

TEST(WindowConsoleWaiting, theHostIsWokenOnTimeAndBySignalWhichEndsTheInputForGood) {
  WindowConsole console;
  HostWork host;
  console.setWaiting(&host);

  // On time: woken when the wait begins and then every 5 ms, the prompt still waiting
  // for the user's reply.
  host.every = 5ms;
  QTimer::singleShot(60, &console, [&] { console.answer("LINE"); });
  prompt::Reply reply = console.ask("\n命令: ", commandPrompt());
  EXPECT_EQ(reply.kind, prompt::Reply::Kind::Text);
  EXPECT_EQ(reply.text, "LINE");
  EXPECT_GE(host.kinds.size(), 4u);
  EXPECT_FALSE(console.inputLost());

  // A wake that does not end the input leaves the prompt waiting.
  host.every.reset();
  host.endOnSignal = false;
  host.kinds.clear();
  QTimer::singleShot(10, &console, [&] { host.signal(); });
  QTimer::singleShot(60, &console, [&] { console.answer("5"); });
  prompt::AskOptions number;
  number.kind = prompt::AskKind::real;
  reply = console.ask("\n半径: ", number);
  EXPECT_EQ(reply.text, "5");
  EXPECT_EQ(host.kinds.size(), 2u);  // the start, the descriptor

  // A signal the host ends the session on: the waiting prompt ends with End, shown as
  // a cancel, and every later prompt too, without waiting or waking anyone again.
  host.endOnSignal = true;
  host.kinds.clear();
  QTimer::singleShot(10, &console, [&] { host.signal(); });
  reply = console.ask("\n指定点: ", {});
  EXPECT_EQ(reply.kind, prompt::Reply::Kind::End);
  EXPECT_TRUE(console.inputLost());
  console.answer("too late");
  console.runCommand("LINE");
  reply = console.ask("\n命令: ", commandPrompt());
  EXPECT_EQ(reply.kind, prompt::Reply::Kind::End);
  EXPECT_EQ(host.kinds.size(), 2u);
  const std::string& t = console.transcript();
  EXPECT_EQ(t.substr(t.size() - std::string("\n指定点: *取消*\n\n命令: ").size()), "\n指定点: *取消*\n\n命令: ");
}

TEST(WindowConsoleWaiting, aSignalBeforeTheWaitEndsItAtOnce) {
  WindowConsole console;
  HostWork host;
  console.setWaiting(&host);
  host.signal();
  const prompt::Reply reply = console.ask("\n命令: ", commandPrompt());
  EXPECT_EQ(reply.kind, prompt::Reply::Kind::End);
  EXPECT_TRUE(console.inputLost());
  EXPECT_FALSE(console.waiting());
}

TEST(WindowConsoleWaiting, aSignalWhileAMessageBoxIsOpenClosesItAndTheNextPromptEnds) {
  WindowConsole console;
  HostWork host;
  console.setWaiting(&host);
  bool shown = false;
  console.alertBox = [&](const std::string& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("orvcad"), QString::fromStdString(text),
                    QMessageBox::Ok);
    QTimer::singleShot(20, &box, [&] { host.signal(); });
    shown = true;
    box.exec();
  };
  QTimer guard;  // the box would otherwise wait for ever
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
    ADD_FAILURE() << "the message box stayed open";
  });
  guard.start(5000);
  console.alert("没有找到阀门");
  guard.stop();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(console.inputLost());
  EXPECT_EQ(console.ask("\n指定点: ", {}).kind, prompt::Reply::Kind::End);
}

}  // namespace
}  // namespace orv::window
