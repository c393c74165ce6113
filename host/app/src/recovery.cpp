// Recovery files: writing this session's, finding those of sessions that are gone,
// RECOVER and SAVETIME, and the signals that end a session at once.
//
// Sections: signals, files, the session's recovery, the commands.
#include "recovery.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "drawing_files.h"
#include "keep_work.h"
#include "messages.h"
#include "orv/io/safe_write.h"

namespace orv::app {

namespace fs = std::filesystem;

// --- Signals ------------------------------------------------------------------

namespace {

volatile std::sig_atomic_t caughtSignal = 0;
int wakePipe[2] = {-1, -1};

// Only what is safe in a handler: a flag and one byte down the pipe that wakes the
// main loop; the loop does the rest.
extern "C" void onEndingSignal(int signal) {
  const int saved = errno;
  caughtSignal = signal;
  if (wakePipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(wakePipe[1], &byte, 1);
  }
  errno = saved;
}

}  // namespace

// SIGHUP and SIGTERM handed to the main loop, for the lifetime of the object. A
// SIGHUP ignored before (nohup) stays ignored.
struct Recovery::Signals {
  struct sigaction previousHup {}, previousTerm {};
  bool hup = false;

  Signals() {
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
    caughtSignal = 0;
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // other calls go on; the wait for input is woken anyway
    sigaction(SIGTERM, &action, &previousTerm);
    struct sigaction current {};
    sigaction(SIGHUP, nullptr, &current);
    if (current.sa_handler != SIG_IGN) {
      sigaction(SIGHUP, &action, &previousHup);
      hup = true;
    }
  }
  ~Signals() {
    sigaction(SIGTERM, &previousTerm, nullptr);
    if (hup) sigaction(SIGHUP, &previousHup, nullptr);
    for (int& fd : wakePipe) {
      if (fd >= 0) ::close(fd);
      fd = -1;
    }
  }
  Signals(const Signals&) = delete;
  Signals& operator=(const Signals&) = delete;

  static void drain() {
    char bytes[64];
    while (wakePipe[0] >= 0 && ::read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
  }
};

// --- Files --------------------------------------------------------------------

namespace {

constexpr const char* kPrefix = "recover-";

std::string timeText(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

// A lock file's lock, taken without waiting; -1 when another process holds it or
// the file cannot be opened.
int takeLock(const fs::path& lock, bool create) {
  const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Writes small text through the safe-write service, readable by the user alone.
bool writeAtomically(const fs::path& path, const std::string& text) {
  io::SafeWriteOptions options;
  options.mode = 0600;
  return io::writeFileSafely(path, [&](int fd) { return io::writeAll(fd, text.data(), text.size()); }, options) == 0;
}

void removeFiles(const fs::path& stem) {
  for (const char* extension : {".dxf", ".info", ".lock"}) {
    fs::path p = stem;
    p += extension;
    ::unlink(p.c_str());
  }
}

std::string described(const RecoveryFile& f) {
  return f.name + "（" + (f.belongsTo ? "文件" + messages::quoted(*f.belongsTo) : std::string("未保存过的新图形")) +
         "，保存于 " + timeText(f.written) + "，恢复文件" + messages::quoted(f.drawing) + "）";
}

}  // namespace

fs::path recoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state && *state == '/') return fs::path(state) / "orvcad";
  const char* home = std::getenv("HOME");
  std::string homeFolder = home && *home ? home : "";
  if (homeFolder.empty()) {
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) homeFolder = pw->pw_dir;
  }
  if (homeFolder.empty()) return {};
  return fs::path(homeFolder) / ".local" / "state" / "orvcad";
}

std::vector<RecoveryFile> recoveryFilesLeft(const fs::path& folder) {
  std::vector<RecoveryFile> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path p = it->path();
    const std::string name = p.filename().string();
    if (!name.starts_with(kPrefix) || p.extension() != ".dxf") continue;
    RecoveryFile f;
    f.drawing = p;
    f.stem = p;
    f.stem.replace_extension();
    fs::path lock = f.stem;
    lock += ".lock";
    // A session that still runs holds its lock.
    const int fd = takeLock(lock, false);
    if (fd < 0 && fs::exists(lock, ec)) continue;
    if (fd >= 0) ::close(fd);
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) continue;
    f.written = st.st_mtime;
    fs::path info = f.stem;
    info += ".info";
    std::ifstream in(info);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("file=") && line.size() > 5) f.belongsTo = fs::path(line.substr(5));
      if (line.starts_with("name=")) f.name = line.substr(5);
    }
    if (f.name.empty()) f.name = f.belongsTo ? f.belongsTo->filename().string() : "未命名";
    found.push_back(std::move(f));
  }
  std::sort(found.begin(), found.end(),
            [](const RecoveryFile& a, const RecoveryFile& b) { return a.written < b.written; });
  return found;
}

// --- The session's recovery ------------------------------------------------------

Recovery::Recovery(Session& session, bool interactive, fs::path folder)
    : session_(session), interactive_(interactive), folder_(std::move(folder)) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char when[32];
  std::strftime(when, sizeof when, "%Y%m%d-%H%M%S", &local);
  stem_ = std::string(kPrefix) + when + "-" + std::to_string(::getpid());
  document_ = &session_.document();
  document_->addObserver(this);
  session_.addObserver(this);
  cleanGeneration_ = document_->modified() ? 1 : 0;  // generation 0: as it is now
  if (interactive_) {
    signals_ = std::make_unique<Signals>();
    session_.console().setWaiting(this);
  }
}

Recovery::~Recovery() {
  if (interactive_) session_.console().setWaiting(nullptr);
  session_.removeObserver(this);
  if (document_) document_->removeObserver(this);
  if (!kept_ && !ending_) {
    removeOwn();
  } else if (lockFd_ >= 0) {
    // The file stays for the next session; the lock goes with this one.
    ::close(lockFd_);
    fs::path lock = own(".lock");
    ::unlink(lock.c_str());
    lockFd_ = -1;
  }
}

fs::path Recovery::own(const char* extension) const { return folder_ / (stem_ + extension); }

void Recovery::setSaveMinutes(double minutes) {
  saveMinutes_ = std::clamp(minutes, 0.0, 1e6);
  changedSince_ = Clock::now();
}

void Recovery::documentReplaced(core::Document& document) {
  // The old document is gone already: nothing to detach from.
  document_ = &document;
  document_->addObserver(this);
  stateChanged();
}

void Recovery::stateChanged() {
  changed();
  if (!document_->modified()) cleanGeneration_ = generation_;
}

void Recovery::changed() {
  ++generation_;
  if (!changedSince_) changedSince_ = Clock::now();
}

bool Recovery::write(std::string& why) {
  if (folder_.empty()) {
    why = "找不到用户主文件夹";
    return false;
  }
  std::error_code ec;
  fs::create_directories(folder_, ec);
  if (ec) {
    why = messages::systemError(ec.value());
    return false;
  }
  ::chmod(folder_.c_str(), 0700);  // drawings are the user's own
  if (lockFd_ < 0) {
    lockFd_ = takeLock(own(".lock"), true);
    if (lockFd_ < 0) {
      why = messages::systemError(errno);
      return false;
    }
  }
  if (std::string reason = writeDxf(document_->database(), own(".dxf")); !reason.empty()) {
    why = reason;
    return false;
  }
  const auto& path = document_->path();
  std::string info = "file=" + (path ? fs::absolute(*path, ec).string() : std::string()) + "\nname=" +
                     document_->displayName() + "\n";
  writeAtomically(own(".info"), info);  // without it the drawing is still there to recover
  written_ = true;
  writtenGeneration_ = generation_;
  changedSince_.reset();
  failureShown_ = false;
  return true;
}

void Recovery::removeOwn() {
  if (!written_ && lockFd_ < 0) return;
  for (const char* extension : {".dxf", ".info", ".lock"}) {
    const fs::path p = own(extension);
    ::unlink(p.c_str());
  }
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
  written_ = false;
}

void Recovery::betweenCommands() {
  if (!unsaved()) {
    removeOwn();
    return;
  }
  if (!interactive_ || saveMinutes_ <= 0 || (written_ && generation_ == writtenGeneration_)) return;
  if (!changedSince_) changedSince_ = Clock::now();
  if (Clock::now() - *changedSince_ < std::chrono::duration<double, std::ratio<60>>(saveMinutes_)) return;
  std::string why;
  if (write(why)) return;
  changedSince_ = Clock::now();  // tried again after another interval
  if (!failureShown_) session_.console().print("\n无法写入恢复文件" + messages::quoted(own(".dxf")) + "：" + why);
  failureShown_ = true;
}

std::optional<std::chrono::milliseconds> Recovery::nextWake(const prompt::AskOptions& options) {
  if (!interactive_ || options.kind != prompt::AskKind::command || saveMinutes_ <= 0 ||
      !unsaved() || !changedSince_ || (written_ && generation_ == writtenGeneration_))
    return std::nullopt;
  const auto due = *changedSince_ + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double, std::ratio<60>>(saveMinutes_));
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
  return std::max(left, std::chrono::milliseconds(0)) + std::chrono::milliseconds(1);
}

bool Recovery::wake(const prompt::AskOptions& options) {
  Signals::drain();
  if (caughtSignal != 0) endNow();
  if (ending_) return true;
  if (options.kind == prompt::AskKind::command) betweenCommands();
  return false;
}

void Recovery::inputLost() { endNow(); }

int Recovery::endingSignal() const { return caughtSignal; }

int Recovery::wakeDescriptor() const { return wakePipe[0]; }

void Recovery::endNow() {
  if (ending_) return;
  ending_ = true;
  // No one is there to answer a question any more.
  session_.setInteractive(false);
  if (!unsaved()) {
    removeOwn();
    return;
  }
  std::string why;
  write(why);  // nowhere to say it fails: the terminal is gone or going
}

std::optional<fs::path> Recovery::keep(std::string& why) {
  if (!write(why)) return std::nullopt;
  kept_ = true;
  return own(".dxf");
}

void Recovery::offer() {
  if (!interactive_) return;
  const auto left = recoveryFilesLeft(folder_);
  if (left.empty()) return;
  if (left.size() == 1) {
    session_.console().print("\n找到未正常结束的会话留下的图形 " + described(left[0]) + "。输入 RECOVER 打开它。");
    return;
  }
  session_.console().print("\n找到 " + std::to_string(left.size()) + " 个未正常结束的会话留下的图形：");
  for (std::size_t i = 0; i < left.size(); ++i)
    session_.console().print("\n  " + std::to_string(i + 1) + ". " + described(left[i]));
  session_.console().print("\n输入 RECOVER 打开其中一个。");
}

void Recovery::recover() {
  auto left = recoveryFilesLeft(folder_);
  std::erase_if(left, [&](const RecoveryFile& f) { return f.stem == folder_ / stem_; });
  if (left.empty()) {
    session_.console().print("\n没有未正常结束的会话留下的图形。");
    return;
  }
  std::size_t chosen = 0;
  if (left.size() > 1) {
    for (std::size_t i = 0; i < left.size(); ++i)
      session_.console().print("\n  " + std::to_string(i + 1) + ". " + described(left[i]));
    int number = 1;
    session_.prompts().initGet(prompt::kNoZero | prompt::kNoNegative, "");
    const auto st = session_.prompts().getInt("\n输入要恢复的图形的编号 <1>: ", number);
    if (st == prompt::Status::Cancel) return;
    if (st == prompt::Status::None) number = 1;
    if (number < 1 || static_cast<std::size_t>(number) > left.size()) {
      session_.console().print("\n没有第 " + std::to_string(number) + " 个图形。");
      return;
    }
    chosen = static_cast<std::size_t>(number) - 1;
  }
  const RecoveryFile& file = left[chosen];
  fs::path lock = file.stem;
  lock += ".lock";
  const int lockFd = takeLock(lock, true);
  if (lockFd < 0) {
    session_.console().print("\n另一个会话正在恢复这个图形。");
    return;
  }
  ReadDrawing read = readDrawing(file.drawing, file.belongsTo);
  if (!read.document) {
    session_.console().print("\n" + read.message);
    ::close(lockFd);
    return;
  }
  if (!mayCloseDrawing(session_)) {
    ::close(lockFd);
    return;
  }
  read.document->noteChangeOutsideUndo();  // not in its file: unsaved until saved
  session_.replaceDocument(std::move(read.document));
  // The drawing is this session's work now: kept in its recovery file before the
  // other one goes.
  std::string why;
  const bool kept = write(why);
  if (kept) removeFiles(file.stem);
  ::close(lockFd);
  session_.console().print("\n已恢复图形 " + file.name + "（保存于 " + timeText(file.written) +
                           "）。图形还没有保存，请用 SAVE 或 SAVEAS 保存。" + read.message);
  if (!kept)
    session_.console().print("\n无法写入恢复文件" + messages::quoted(own(".dxf")) + "：" + why + "；原来的恢复文件" +
                             messages::quoted(file.drawing) + "保留。");
}

// --- The commands ------------------------------------------------------------------

void addRecoveryCommands(Session& session, Recovery& recovery) {
  session.addHostCommand({"RECOVER", "打开未正常结束的会话留下的图形（恢复文件）",
                          [&recovery](Session&) { recovery.recover(); }});
  session.addHostCommand(
      {"SAVETIME", "图形有未保存的改动时每隔几分钟写一次恢复文件（缺省 10，0 为关闭）",
       [&recovery](Session& s) {
         char current[32];
         std::snprintf(current, sizeof current, "%g", recovery.saveMinutes());
         double minutes = recovery.saveMinutes();
         s.prompts().initGet(prompt::kNoNegative, "");
         const std::string prompt = std::string("\n输入写恢复文件的间隔分钟数（0 为关闭） <") + current + ">: ";
         if (s.prompts().getReal(prompt, minutes) == prompt::Status::Normal) recovery.setSaveMinutes(minutes);
       }});
}

}  // namespace orv::app
