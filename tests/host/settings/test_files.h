// Helpers for the settings tests: a scratch directory, whole-file reads and
// writes, and running a piece of a test in a child process.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace orv::settings::testing {

// A fresh directory, removed with everything in it at the end of the test.
// Others may enter it (mode 0755), so that an unprivileged child can work there.
class TempDir {
 public:
  TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
  // In another folder: /dev/shm, say, where a write costs no disk sync.
  explicit TempDir(const std::filesystem::path& base) {
    std::string pattern = (base / "orv-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    ::chmod(path_.c_str(), 0755);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the directory, to check that nothing was left behind.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      names.push_back(e.path().filename().string());
    return names;
  }

 private:
  std::string path_;
};

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline ino_t inodeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// What a child process reported back.
struct ChildOutcome {
  bool exited = false;  // the child ran to its end
  bool result = false;  // what body returned
  std::string message;  // what body put in its message
};

// Runs body in a child process, after asUser (run first in the child: drop
// privileges, set limits) and returns its result and message through a pipe.
inline ChildOutcome inChild(const std::function<bool()>& asUser,
                            const std::function<bool(std::string&)>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string message;
    const bool ok = asUser() && body(message);
    const std::string report = (ok ? "1" : "0") + message;
    [[maybe_unused]] ssize_t n = ::write(fds[1], report.data(), report.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string report;
  char chunk[512];
  ssize_t n;
  while ((n = ::read(fds[0], chunk, sizeof chunk)) > 0)
    report.append(chunk, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ChildOutcome outcome;
  outcome.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !report.empty();
  outcome.result = outcome.exited && report[0] == '1';
  if (!report.empty()) outcome.message = report.substr(1);
  return outcome;
}

// Gives up root's power to ignore file permissions (as user "nobody").
inline bool dropPrivileges() {
  if (::geteuid() != 0) return true;
  return ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

}  // namespace orv::settings::testing
