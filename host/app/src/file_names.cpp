// Names of drawings, and the checks that a file can be read or written.
#include "file_names.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "messages.h"
#include "orv/modules/command_registry.h"

namespace orv::app {

namespace fs = std::filesystem;

namespace {

bool onlyBlanks(std::string_view s) {
  // Spaces and tabs, and the ideographic space of a Chinese input method.
  while (!s.empty()) {
    if (s.front() == ' ' || s.front() == '\t') {
      s.remove_prefix(1);
    } else if (s.starts_with("\xE3\x80\x80")) {
      s.remove_prefix(3);
    } else {
      return false;
    }
  }
  return true;
}

// A reason for an errno of access() or stat() on the file or its folder.
std::string reasonFor(int error, bool folder) {
  switch (error) {
    case EACCES:
    case EPERM: return folder ? messages::kFolderNotWritable : messages::kReadOnlyFile;
    case EROFS: return messages::kReadOnlyFileSystem;
    case ENOENT: return folder ? messages::kFolderMissing : messages::kMissing;
    case ENOTDIR: return messages::kNotInFolder;
    default: return messages::systemError(error);
  }
}

}  // namespace

DrawingName drawingNameToSave(std::string_view typed, NameFrom from) {
  if (typed.empty() || onlyBlanks(typed)) return {std::nullopt, "文件名不能只有空格，图形未保存。"};
  fs::path path{std::string(typed)};
  std::error_code ec;
  // "plans/" or a folder's name: no extension to add; writing it fails and says why.
  if (typed.back() == '/' || fs::is_directory(path, ec)) return {path, {}};
  const std::string extension = path.extension().string();
  if (extension.empty()) {
    path += ".dxf";
    return {path, {}};
  }
  if (modules::equalsIgnoringCase(extension, ".dxf")) return {path, {}};
  return {std::nullopt, "图形只能保存为 DXF 文件，" + messages::quoted(path) + "的扩展名不是 .dxf。图片请用 " +
                            (from == NameFrom::command ? "EXPORT 命令" : "--export 选项") + "输出。"};
}

fs::path drawingNameToOpen(std::string_view typed) {
  fs::path path{std::string(typed)};
  if (!path.has_extension() && !typed.empty() && typed.back() != '/') {
    fs::path withDxf = path;
    withDxf += ".dxf";
    std::error_code ec;
    if (fs::exists(withDxf, ec)) return withDxf;
  }
  return path;
}

std::string whyNotReadable(const fs::path& path, bool streamsToo) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    return error == ENOENT ? messages::kMissing : error == EISDIR ? messages::kIsDirectory
                                                                  : messages::systemError(error);
  }
  struct stat st {};
  std::string why;
  if (::fstat(fd, &st) != 0)
    why = messages::systemError(errno);
  else if (S_ISDIR(st.st_mode))
    why = messages::kIsDirectory;
  else if (!S_ISREG(st.st_mode) && !(streamsToo && (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode))))
    why = messages::kNotRegularFile;
  ::close(fd);
  return why;
}

std::string whyNotWritable(const fs::path& path) {
  if (path.empty()) return messages::kMissing;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return messages::kIsDirectory;
    if (!S_ISREG(st.st_mode)) return messages::kNotRegularFile;
    if (::access(path.c_str(), W_OK) != 0) return reasonFor(errno, false);
  } else if (errno != ENOENT) {
    return reasonFor(errno, false);
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (::stat(folder.c_str(), &st) != 0) return reasonFor(errno, true);
  if (!S_ISDIR(st.st_mode)) return messages::kNotInFolder;
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return reasonFor(errno, true);
  return {};
}

}  // namespace orv::app
