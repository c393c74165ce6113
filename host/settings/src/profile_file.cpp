// Settings files on disk: reading, and the locked, atomic read-modify-write.
#include "orv/settings/profile_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <string_view>
#include <vector>

#include "directory_lock.h"
#include "orv/io/safe_write.h"
#include "posix_io.h"
#include "profile_cache.h"

namespace orv::settings {
namespace {

namespace files = ::orv::io;

// Long enough for any honest writer; a stuck one does not hang the host.
constexpr auto kLockTimeout = std::chrono::seconds(10);

// A file read, with the reason in a few words when it cannot be used.
struct Loaded {
  LoadedProfile::State state = LoadedProfile::State::Missing;
  ProfileDocument document;
  std::string reason;
  io::FileIdentity identity;  // of the file read, when `steady`
  bool steady = false;        // the file was read whole and did not change meanwhile
};

Loaded load(const std::string& path) {
  Loaded result;
  io::ReadResult read = io::readWholeFile(path, kMaxProfileBytes);
  result.identity = read.identity;
  result.steady = read.steady;
  switch (read.status) {
    case io::ReadStatus::Missing:
      return result;
    case io::ReadStatus::TooLarge:
      result.state = LoadedProfile::State::Unusable;
      result.reason = "过大（超过 " + std::to_string(kMaxProfileBytes >> 20) + " MB）";
      return result;
    case io::ReadStatus::Failed:
      result.state = LoadedProfile::State::Unusable;
      result.reason = "无法读取（" + io::describeError(read.error) + "）";
      return result;
    case io::ReadStatus::Ok:
      break;
  }
  if (auto doc = ProfileDocument::parse(read.bytes, &result.reason)) {
    result.state = LoadedProfile::State::Loaded;
    result.document = std::move(*doc);
  } else {
    result.state = LoadedProfile::State::Unusable;
  }
  return result;
}

// Messages are one line even when a path or name holds a line break.
std::string oneLine(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return message;
}

std::string notSaved(const std::string& path, const std::string& reason) {
  return "设置文件“" + path + "”" + reason + "，设置未保存，文件未改动";
}

std::string cannotWrite(const std::string& path, int error) {
  return notSaved(path, "无法写入（" + io::describeError(error) + "）");
}

// Removes temporary files that writers of `name` killed mid-write left behind. Called
// under the directory's lock, which every writer holds while its temporary file
// exists; a file whose writer still lives (another process may have its number
// now) is left alone. Best effort: nothing here may fail the write.
void removeLeftovers(int directoryFd, const std::string& name) {
  if (directoryFd < 0) return;
  const int fd = ::fcntl(directoryFd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) return;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return;
  }
  const std::string prefix = files::SafeFile::temporaryPrefix(name);
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view file(entry->d_name);
    if (!file.starts_with(prefix) || !file.ends_with(files::SafeFile::kTemporaryEnding)) continue;
    // .NAME.PID.COUNT.tmp
    const std::string_view middle = file.substr(prefix.size(), file.size() - prefix.size() - 4);
    const std::size_t dot = middle.find('.');
    if (dot == std::string_view::npos || dot == 0) continue;
    pid_t pid = 0;
    bool digits = true;
    for (char c : middle.substr(0, dot)) {
      if (c < '0' || c > '9' || pid > 1'000'000'000) digits = false;
      else pid = pid * 10 + (c - '0');
    }
    if (!digits || pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // its writer may still live
    stale.emplace_back(file);
  }
  ::closedir(dir);
  for (const std::string& file : stale) ::unlinkat(directoryFd, file.c_str(), 0);
}

}  // namespace

std::shared_ptr<const LoadedProfile> loadProfileShared(const std::string& path) {
  ProfileCache& cache = ProfileCache::instance();
  // Taken before the file is looked at: see ProfileCache::settled.
  timespec readStart{};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &readStart);
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    if (auto kept = cache.find(path, io::identityOf(st))) return kept;
  }

  Loaded loaded = load(path);
  auto result = std::make_shared<LoadedProfile>();
  result->state = loaded.state;
  result->document = std::move(loaded.document);
  if (loaded.state == LoadedProfile::State::Unusable)
    result->problem = oneLine("设置文件“" + path + "”" + loaded.reason + "，按无设置处理");
  if (loaded.steady && ProfileCache::settled(loaded.identity, readStart))
    cache.keep(path, loaded.identity, result);
  else
    cache.forget(path);
  return result;
}

LoadedProfile loadProfile(const std::string& path) { return *loadProfileShared(path); }

bool updateProfile(const std::string& path, const std::function<Change(ProfileDocument&)>& edit,
                   std::string* problem) {
  if (problem) problem->clear();
  auto fail = [problem](std::string message) {
    if (problem) *problem = oneLine(std::move(message));
    return false;
  };

  std::string target;
  if (!io::resolveLinks(path, target)) return fail(cannotWrite(path, errno));
  const std::string directory = io::directoryOf(target);
  const std::string name = io::baseNameOf(target);

  const DirectoryLock lock(directory, name, kLockTimeout);
  if (!lock.locked()) {
    return fail(lock.error() == EWOULDBLOCK ? notSaved(path, "正被其他程序长时间锁定")
                                            : cannotWrite(path, lock.error()));
  }

  // Read afresh under the lock: another writer may have changed the file.
  Loaded current = load(target);
  if (current.state == LoadedProfile::State::Unusable) return fail(notSaved(path, current.reason));
  struct stat original {};
  const bool exists = current.state == LoadedProfile::State::Loaded;
  if (exists) {
    if (::stat(target.c_str(), &original) != 0) return fail(cannotWrite(path, errno));
    // Renaming over a read-only file would defeat whoever made it read-only.
    if (::access(target.c_str(), W_OK) != 0) return fail(cannotWrite(path, errno));
  }

  if (edit(current.document) == Change::None) return true;
  const std::string bytes = current.document.serialize();
  if (bytes.size() > kMaxProfileBytes) return fail(notSaved(path, "写入后将过大"));

  int error = 0;
  auto temporary = files::SafeFile::create(target, error);
  if (!temporary) return fail(cannotWrite(path, error));
  if (!io::writeAll(temporary->fd(), bytes)) return fail(cannotWrite(path, errno));
  // The rewritten file keeps the owner and mode of the one it replaces.
  files::SafeWriteOptions options;
  options.keepMode = exists;
  if (const int failed = temporary->commit(options)) return fail(cannotWrite(path, failed));
  removeLeftovers(lock.directoryFd(), name);
  // Make the rename itself durable. The new file is in place either way.
  if (lock.directoryFd() >= 0) ::fsync(lock.directoryFd());
  return true;
}

std::optional<std::string> readProfileValue(const std::string& path, std::string_view section,
                                            std::string_view key, std::string* problem) {
  const auto loaded = loadProfileShared(path);
  if (problem) *problem = loaded->problem;
  if (auto value = loaded->document.value(section, key)) return std::string(*value);
  return std::nullopt;
}

bool writeProfileValue(const std::string& path, std::string_view section, std::string_view key,
                       std::optional<std::string_view> value, std::string* problem) {
  const std::string invalid =
      ProfileDocument::checkWritable(section, &key, value ? &*value : nullptr);
  if (!invalid.empty()) {
    if (problem) {
      *problem = oneLine("设置 [" + std::string(section) + "] " + std::string(key) + " 未保存到“" +
                         path + "”：" + invalid);
    }
    return false;
  }
  return updateProfile(
      path,
      [&](ProfileDocument& doc) {
        return value ? doc.setValue(section, key, *value) : doc.removeKey(section, key);
      },
      problem);
}

bool removeProfileSection(const std::string& path, std::string_view section, std::string* problem) {
  const std::string invalid = ProfileDocument::checkWritable(section, nullptr, nullptr);
  if (!invalid.empty()) {
    if (problem)
      *problem =
          oneLine("设置节 [" + std::string(section) + "] 未从“" + path + "”删除：" + invalid);
    return false;
  }
  return updateProfile(
      path, [&](ProfileDocument& doc) { return doc.removeSection(section); }, problem);
}

}  // namespace orv::settings
