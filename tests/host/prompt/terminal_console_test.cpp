// Tests of the terminal console on a pseudo-terminal: typed lines, history,
// Ctrl-C and Ctrl-D, as a user at a real terminal would meet them.
#include "orv/prompt/terminal_console.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace orv::prompt {
namespace {

// A pseudo-terminal: the console reads and writes the terminal side, the
// test types on and reads the other.
class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    const int terminal = open(ptsname(master_), O_RDWR | O_NOCTTY);
    if (terminal < 0) return;
    // Line breaks shown as they are written, so the test can look for "\n".
    termios settings{};
    tcgetattr(terminal, &settings);
    settings.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    tcsetattr(terminal, TCSANOW, &settings);
    in_ = fdopen(terminal, "r");
    out_ = fdopen(dup(terminal), "w");
  }
  ~Pty() {
    if (in_) std::fclose(in_);
    if (out_) std::fclose(out_);
    if (master_ >= 0) close(master_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool ok() const { return in_ && out_; }
  // The other side goes away, as when the terminal window is closed.
  void hangUp() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  std::FILE* in() const { return in_; }
  std::FILE* out() const { return out_; }

  void type(std::string_view keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }
  // Types keys once `cue` has been shown: a user answering the prompt in
  // front of him, not typing ahead into a terminal nobody reads yet.
  std::jthread typeAfter(std::string cue, std::string keys) {
    return std::jthread([this, cue = std::move(cue), keys = std::move(keys)] {
      shownUntil(cue);
      type(keys);
    });
  }
  // Everything shown so far, waiting up to two seconds for `needle` to appear.
  std::string shownUntil(std::string_view needle) {
    std::lock_guard lock(mutex_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (shown_.find(needle) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n > 0) shown_.append(buffer, static_cast<std::size_t>(n));
    }
    return shown_;
  }

 private:
  int master_ = -1;
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  std::string shown_;
  std::mutex mutex_;
};

class TerminalConsoleTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TERM", "dumb", 1);
    setenv("INPUTRC", "/dev/null", 1);
    if (!pty.ok()) GTEST_SKIP() << "no pseudo-terminal available";
  }
  Pty pty;
};

TEST_F(TerminalConsoleTest, readsATypedLineAfterAMultiLinePrompt) {
  TerminalConsole console({}, pty.in(), pty.out());
  console.print("开始");
  auto user = pty.typeAfter("请输入第一点: ", "10,20\r");
  const Reply r = console.ask("\n第一行\n请输入第一点: ");
  EXPECT_EQ(r.kind, Reply::Kind::Text);
  EXPECT_EQ(r.text, "10,20");
  const std::string shown = pty.shownUntil("10,20\n");
  EXPECT_NE(shown.find("开始\n第一行\n请输入第一点: 10,20\n"), std::string::npos) << shown;
}

TEST_F(TerminalConsoleTest, keepsRepliesInTheHistory) {
  TerminalConsole console({}, pty.in(), pty.out());
  {
    auto user = pty.typeAfter("A: ", "管道 100\r");
    EXPECT_EQ(console.ask("A: ").text, "管道 100");
  }
  auto user = pty.typeAfter("B: ", "\x1b[A\r");  // Up, Enter
  EXPECT_EQ(console.ask("B: ").text, "管道 100");
}

TEST_F(TerminalConsoleTest, ctrlCCancelsThePromptAndTheNextOneStartsClean) {
  TerminalConsole console({}, pty.in(), pty.out());
  const pthread_t asking = pthread_self();
  std::jthread user([&] {
    pty.shownUntil("P> ");
    pty.type("xy");
    pty.shownUntil("P> xy");
    pthread_kill(asking, SIGINT);
  });
  const Reply cancelled = console.ask("\nP> ");
  user.join();
  EXPECT_EQ(cancelled.kind, Reply::Kind::Cancel);
  const std::string shown = pty.shownUntil("*取消*\n");
  EXPECT_NE(shown.find("xy*取消*\n"), std::string::npos) << shown;

  auto next = pty.typeAfter("Q> ", "ok\r");
  const Reply reply = console.ask("\nQ> ");
  EXPECT_EQ(reply.kind, Reply::Kind::Text);
  EXPECT_EQ(reply.text, "ok") << "the cancelled text must not carry over";
}

TEST_F(TerminalConsoleTest, ignoresCtrlCBetweenPrompts) {
  TerminalConsole console({}, pty.in(), pty.out());
  raise(SIGINT);  // while a command is busy: must neither end the process nor cancel later
  auto user = pty.typeAfter("R> ", "go\r");
  EXPECT_EQ(console.ask("R> ").text, "go");
}

TEST_F(TerminalConsoleTest, ctrlDOnAnEmptyLineEndsTheInput) {
  TerminalConsole console({}, pty.in(), pty.out());
  {
    auto user = pty.typeAfter("点: ", "\x04");
    EXPECT_EQ(console.ask("\n点: ").kind, Reply::Kind::End);
  }
  const std::string shown = pty.shownUntil("*取消*");
  EXPECT_NE(shown.find("点: *取消*\n"), std::string::npos) << shown;
  AskOptions atCommand;
  atCommand.kind = AskKind::command;
  auto user = pty.typeAfter("命令: ", "\x04");
  EXPECT_EQ(console.ask("\n命令: ", atCommand).kind, Reply::Kind::End);
}

TEST_F(TerminalConsoleTest, alertWaitsForEnterAndStartsOnItsOwnLine) {
  TerminalConsole console({}, pty.in(), pty.out());
  console.print("\n请输入");
  {
    auto user = pty.typeAfter("出错了\n", "\r");
    console.alert("出错了");
  }
  const std::string shown = pty.shownUntil("出错了");
  EXPECT_NE(shown.find("请输入\n** 出错了\n"), std::string::npos) << shown;
  auto user = pty.typeAfter("S: ", "next\r");
  EXPECT_EQ(console.ask("S: ").text, "next");
}

TEST_F(TerminalConsoleTest, allowsOnlyOneConsoleAtATime) {
  TerminalConsole console({}, pty.in(), pty.out());
  EXPECT_THROW(TerminalConsole second({}, pty.in(), pty.out()), std::logic_error);
}

}  // namespace
}  // namespace orv::prompt

namespace orv::prompt {
namespace {

// The host's work while the console waits: what it was asked, and when to end.
class Host final : public Waiting {
 public:
  Host() {
    if (pipe(pipe_) != 0) pipe_[0] = pipe_[1] = -1;
  }
  ~Host() override {
    close(pipe_[0]);
    close(pipe_[1]);
  }
  int wakeDescriptor() const override { return pipe_[0]; }
  std::optional<std::chrono::milliseconds> nextWake(const AskOptions& options) override {
    if (options.kind == AskKind::command && timedWakes < 3) return std::chrono::milliseconds(10);
    return std::nullopt;
  }
  bool wake(const AskOptions& options) override {
    char byte;
    pollfd p{pipe_[0], POLLIN, 0};
    const bool signalled = poll(&p, 1, 0) > 0 && read(pipe_[0], &byte, 1) == 1;
    if (options.kind == AskKind::command && !signalled) ++timedWakes;
    ++wakes;
    return signalled;
  }
  void inputLost() override { lost = true; }
  void signal() { ASSERT_EQ(write(pipe_[1], "x", 1), 1); }

  int wakes = 0;
  int timedWakes = 0;
  bool lost = false;

 private:
  int pipe_[2] = {-1, -1};
};

TEST_F(TerminalConsoleTest, wakesTheHostAtTheStartOnTimeAndWhenSignalledWhileWaiting) {
  TerminalConsole console({}, pty.in(), pty.out());
  Host host;
  console.setWaiting(&host);
  AskOptions atCommand;
  atCommand.kind = AskKind::command;
  {
    // At the command prompt: at the start, then on time (twice), while the user thinks.
    std::jthread user([&] {
      pty.shownUntil("命令: ");
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      pty.type("LINE\r");
    });
    EXPECT_EQ(console.ask("\n命令: ", atCommand).text, "LINE");
  }
  EXPECT_EQ(host.timedWakes, 3);
  EXPECT_FALSE(console.inputLost());
  // A signal the host acts on ends the input, at any prompt, and for good.
  {
    std::jthread user([&] {
      pty.shownUntil("点: ");
      host.signal();
    });
    EXPECT_EQ(console.ask("\n点: ").kind, Reply::Kind::End);
  }
  EXPECT_TRUE(console.inputLost());
  EXPECT_EQ(console.ask("\n命令: ", atCommand).kind, Reply::Kind::End);
  EXPECT_FALSE(host.lost);
}

TEST_F(TerminalConsoleTest, aTerminalThatHangsUpEndsTheInputAndTellsTheHost) {
  TerminalConsole console({}, pty.in(), pty.out());
  Host host;
  console.setWaiting(&host);
  std::jthread user([&] {
    pty.shownUntil("点: ");
    pty.hangUp();
  });
  EXPECT_EQ(console.ask("\n点: ").kind, Reply::Kind::End);
  user.join();
  EXPECT_TRUE(host.lost);
  EXPECT_TRUE(console.inputLost());
}

}  // namespace
}  // namespace orv::prompt
