// Opening drawing files: what the bytes are, then the DXF reader, directly or after the
// DWG converter.
#include "orv/io/drawing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "orv/io/dwg_converter.h"

namespace orv::io {

namespace fs = std::filesystem;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The first bytes of a file, or the errno of failing to read them; the kind of a file
// that is not a regular one.
struct Head {
  std::string bytes;
  OpenError error;
};

Head readHead(const fs::path& path) {
  Head head;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    head.error = {OpenError::Kind::system, errno, 0, {}};
    return head;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    head.error = {OpenError::Kind::system, errno, 0, {}};
  } else if (S_ISDIR(st.st_mode)) {
    head.error = {OpenError::Kind::system, EISDIR, 0, {}};
  } else if (!S_ISREG(st.st_mode)) {
    head.error = {OpenError::Kind::notFile, 0, 0, {}};
  } else {
    char buffer[64];
    ssize_t n;
    do n = ::pread(fd, buffer, sizeof buffer, 0);
    while (n < 0 && errno == EINTR);
    if (n < 0)
      head.error = {OpenError::Kind::system, errno, 0, {}};
    else
      head.bytes.assign(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return head;
}

OpenedDrawing failed(FileKind kind, OpenError error) {
  OpenedDrawing r;
  r.kind = kind;
  r.error = std::move(error);
  return r;
}

// The DWGs of a folder, sorted by name: the one asked for and its neighbours.
std::vector<fs::path> dwgsBeside(const fs::path& dwg) {
  std::vector<fs::path> found{dwg};
  std::error_code ec;
  const fs::path folder = dwg.has_parent_path() ? dwg.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!hasDwgExtension(it->path()) || it->path().filename() == dwg.filename()) continue;
    std::error_code typeEc;
    if (it->is_regular_file(typeEc)) found.push_back(it->path());
  }
  std::sort(found.begin() + 1, found.end());
  return found;
}

OpenedDrawing openDwg(const fs::path& path, const OpenOptions& options) {
  const std::vector<fs::path> files = options.convertFolder ? dwgsBeside(path) : std::vector<fs::path>{path};
  std::vector<ConvertedFile> converted = convertDwgFiles(files);
  ConvertedFile& mine = converted.front();
  if (mine.conversion.error) return failed(FileKind::dwg, std::move(mine.conversion.error));
  dxf::ReadResult read = dxf::readDxfFile(mine.dxf);
  if (!read.ok()) {
    std::error_code ec;
    fs::remove(mine.dxf, ec);  // not kept: the next open converts again
    return failed(FileKind::dwg, {OpenError::Kind::converterOutput, 0, 0, "unreadable:" + read.errorReason});
  }
  OpenedDrawing r;
  r.kind = FileKind::dwg;
  r.drawing = std::move(read.drawing);
  r.rebuiltFromObjects = mine.conversion.rebuiltFromObjects;
  // Lines of the converted file mean nothing to the user of the DWG.
  for (dxf::Finding& f : read.findings) r.findings.push_back({0, std::move(f.message)});
  return r;
}

}  // namespace

FileKind detectKind(std::string_view head) {
  if (head.empty()) return FileKind::empty;
  if (head.starts_with("AutoCAD Binary DXF")) return FileKind::binaryDxf;
  if (head.size() >= 6 && head.starts_with("AC10") && isDigit(head[4]) && isDigit(head[5]))
    return head[4] > '1' || (head[4] == '1' && head[5] >= '2') ? FileKind::dwg : FileKind::oldDwg;
  if (head.starts_with("AC1.") || head.starts_with("AC2.") || head.starts_with("MC0.")) return FileKind::oldDwg;
  // ASCII DXF: a line holding a group code (blanks around it allowed), after an optional
  // UTF-8 byte-order mark and empty lines.
  std::string_view rest = head;
  if (rest.starts_with("\xEF\xBB\xBF")) rest.remove_prefix(3);
  while (!rest.empty() && (rest.front() == '\r' || rest.front() == '\n')) rest.remove_prefix(1);
  std::size_t i = 0;
  while (i < rest.size() && rest[i] == ' ') ++i;
  if (i < rest.size() && rest[i] == '-') ++i;
  const std::size_t digits = i;
  while (i < rest.size() && isDigit(rest[i])) ++i;
  if (i == digits || i - digits > 4) return FileKind::other;
  while (i < rest.size() && rest[i] == ' ') ++i;
  if (i < rest.size() && rest[i] == '\r') ++i;
  return i < rest.size() && rest[i] == '\n' ? FileKind::asciiDxf : FileKind::other;
}

std::string dwgReleaseName(std::string_view head) {
  static const std::pair<const char*, const char*> kReleases[] = {
      {"AC1009", "R12"},  {"AC1012", "R13"},   {"AC1014", "R14"},   {"AC1015", "R2000"}, {"AC1018", "R2004"},
      {"AC1021", "R2007"}, {"AC1024", "R2010"}, {"AC1027", "R2013"}, {"AC1032", "R2018"}};
  for (const auto& [signature, name] : kReleases)
    if (head.starts_with(signature)) return name;
  return {};
}

namespace {

std::string lowerExtension(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

bool hasDxfExtension(const fs::path& path) { return lowerExtension(path) == ".dxf"; }

}  // namespace

bool hasDwgExtension(const fs::path& path) { return lowerExtension(path) == ".dwg"; }

OpenedDrawing openDrawingFile(const fs::path& path, const OpenOptions& options) {
  Head head = readHead(path);
  if (head.error) return failed(FileKind::other, std::move(head.error));
  const FileKind kind = detectKind(head.bytes);
  switch (kind) {
    case FileKind::empty:
      return failed(kind, {OpenError::Kind::empty, 0, 0, {}});
    case FileKind::other:
      // A file named as DXF is the DXF reader's to judge: it names the damaged line.
      if (!hasDxfExtension(path)) return failed(kind, {OpenError::Kind::notDrawing, 0, 0, {}});
      break;
    case FileKind::binaryDxf:
      return failed(kind, {OpenError::Kind::binaryDxf, 0, 0, {}});
    case FileKind::oldDwg:
      return failed(kind, {OpenError::Kind::oldDwg, 0, 0, head.bytes.substr(0, 6)});
    case FileKind::dwg:
      return openDwg(path, options);
    case FileKind::asciiDxf:
      break;
  }
  dxf::ReadResult read = dxf::readDxfFile(path);
  if (!read.ok()) return failed(kind, {OpenError::Kind::damagedDxf, 0, read.errorLine, read.errorReason});
  OpenedDrawing r;
  r.kind = kind;
  r.drawing = std::move(read.drawing);
  r.findings = std::move(read.findings);
  return r;
}

}  // namespace orv::io
