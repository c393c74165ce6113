// The DWG converter's settings and one run of its process, watched for time and memory.
#include "orv/io/dwg_converter.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>

extern char** environ;

namespace orv::io {

namespace fs = std::filesystem;

namespace {

fs::path programFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : exe.parent_path();
}

double numberFromEnvironment(const char* name, double fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  return end && *end == '\0' && value > 0 && value < 1e7 ? value : fallback;
}

fs::path cacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && *cache == '/') return fs::path(cache) / "orvcad" / "dwg";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return fs::path(home) / ".cache" / "orvcad" / "dwg";
  return {};
}

std::mutex& settingsLock() {
  static std::mutex lock;
  return lock;
}

ConverterSettings& current() {
  static ConverterSettings settings = defaultConverterSettings();
  return settings;
}

// Resident memory of a process in MB; 0 when it cannot be told.
std::size_t residentMegabytes(pid_t pid) {
  std::ifstream statm("/proc/" + std::to_string(pid) + "/statm");
  std::size_t total = 0, resident = 0;
  if (!(statm >> total >> resident)) return 0;
  return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) >> 20;
}

// Reads what a pipe holds into `into`; false at its end.
bool drain(int fd, std::string& into, std::size_t keep) {
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n < 0) return errno == EINTR || errno == EAGAIN;
  if (n == 0) return false;
  into.append(buffer, static_cast<std::size_t>(n));
  if (into.size() > keep) into.erase(0, into.size() - keep);
  return true;
}

}  // namespace

ConverterSettings defaultConverterSettings() {
  ConverterSettings s;
  const char* node = std::getenv("ORVCAD_NODE");
  const char* script = std::getenv("ORVCAD_DWG_CONVERTER");
  fs::path scriptPath = script && *script ? fs::path(script) : (programFolder() / ORV_DWG_CONVERTER_FROM_BIN).lexically_normal();
  s.command = {node && *node ? node : "node", "--liftoff-only", scriptPath.string()};
  if (const double seconds = numberFromEnvironment("ORVCAD_DWG_TIMEOUT", 0); seconds > 0) {
    s.baseSeconds = seconds;
    s.secondsPerMegabyte = 0;
  }
  s.memoryMegabytes = static_cast<std::size_t>(numberFromEnvironment("ORVCAD_DWG_MEMORY", 2048));
  s.cacheFolder = cacheFolder();
  return s;
}

const ConverterSettings& converterSettings() {
  std::lock_guard lock(settingsLock());
  return current();
}

ConverterSettings useConverterSettings(ConverterSettings settings) {
  std::lock_guard lock(settingsLock());
  std::swap(current(), settings);
  return settings;
}

ProcessEnd runConverter(const std::vector<std::string>& command, const std::vector<std::string>& arguments,
                        std::chrono::milliseconds timeLimit, std::size_t memoryMegabytes) {
  ProcessEnd end;
  std::vector<std::string> all = command;
  all.insert(all.end(), arguments.begin(), arguments.end());
  if (all.empty()) {
    end.how = ProcessEnd::How::notStarted;
    end.status = ENOENT;
    return end;
  }
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    end.how = ProcessEnd::How::notStarted;
    end.status = errno;
    return end;
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    end.how = ProcessEnd::How::notStarted;
    end.status = errno;
    ::close(out[0]);
    ::close(out[1]);
    return end;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setpgroup(&attr, 0);  // a group of its own, killed whole
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = -1;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  ::close(out[1]);
  ::close(err[1]);
  if (spawned != 0) {
    ::close(out[0]);
    ::close(err[0]);
    end.how = ProcessEnd::How::notStarted;
    end.status = spawned;
    return end;
  }

  const auto start = std::chrono::steady_clock::now();
  bool outOpen = true, errOpen = true, exited = false;
  int status = 0;
  auto nextMemoryCheck = start;
  while (!exited || outOpen || errOpen) {
    pollfd fds[2] = {{outOpen ? out[0] : -1, POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}};
    ::poll(fds, 2, 20);
    if (outOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) outOpen = drain(out[0], end.output, 1 << 20);
    if (errOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) errOpen = drain(err[0], end.errors, 4096);
    const auto now = std::chrono::steady_clock::now();
    if (!exited) {
      const pid_t w = ::waitpid(pid, &status, WNOHANG);
      if (w == pid) {
        exited = true;
        ::killpg(pid, SIGKILL);  // whatever it left running, holding the pipes open
        continue;
      }
      ProcessEnd::How stop = ProcessEnd::How::exited;
      if (now - start > timeLimit) stop = ProcessEnd::How::timedOut;
      if (now >= nextMemoryCheck) {
        nextMemoryCheck = now + std::chrono::milliseconds(50);
        if (memoryMegabytes > 0 && residentMegabytes(pid) > memoryMegabytes) stop = ProcessEnd::How::overMemory;
      }
      if (stop != ProcessEnd::How::exited) {
        ::killpg(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        ::close(out[0]);
        ::close(err[0]);
        end.how = stop;
        return end;
      }
    } else if (now - start > timeLimit) {
      break;  // the pipes held open past the end: what was read is all there is
    }
  }
  ::close(out[0]);
  ::close(err[0]);
  if (WIFSIGNALED(status)) {
    end.how = ProcessEnd::How::signalled;
    end.status = WTERMSIG(status);
  } else {
    end.how = ProcessEnd::How::exited;
    end.status = WEXITSTATUS(status);
  }
  return end;
}

}  // namespace orv::io
