// The cache of converted DWGs, and converting those not in it in one converter process.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>

#include "orv/io/dwg_converter.h"

namespace orv::io {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325u;
constexpr std::uint64_t kFnvPrime = 0x100000001b3u;

std::uint64_t fnv(std::uint64_t h, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * kFnvPrime;
  return h;
}

// The hash of a file's bytes; false when it cannot be read.
bool hashFile(int fd, std::uint64_t& hash) {
  hash = kFnvOffset;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    hash = fnv(hash, buffer, static_cast<std::size_t>(n));
  }
}

std::string hex(std::uint64_t v) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// Conversions that failed in this process, by cache name: a broken part of a library is
// not converted again each time its folder is read.
std::mutex failuresLock;
std::map<fs::path, Conversion>& failures() {
  static std::map<fs::path, Conversion> known;
  return known;
}

// The comment the converter puts first in a drawing rebuilt from the object model.
constexpr std::string_view kRebuiltMark = "999\r\nrebuilt from the object model";

// Whether a file the converter wrote can be DXF, and marks it rebuilt when it says so.
OpenError checkOutput(const fs::path& dxf, Conversion* conversion = nullptr) {
  const int fd = ::open(dxf.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {OpenError::Kind::converterOutput, 0, 0, "missing"};
  struct stat st {};
  char head[64];
  ssize_t n = ::fstat(fd, &st) == 0 ? ::pread(fd, head, sizeof head, 0) : -1;
  ::close(fd);
  if (n < 0) n = 0;
  const std::string_view bytes(head, static_cast<std::size_t>(n));
  if (conversion && bytes.starts_with(kRebuiltMark)) conversion->rebuiltFromObjects = true;
  return judgeOutput(bytes, static_cast<std::uintmax_t>(st.st_size));
}

// A private folder for conversions when there is no cache folder; made once.
fs::path scratchFolder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "orvcad-dwg-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
  }();
  return folder;
}

}  // namespace

fs::path cachedDxfPath(const fs::path& dwg, const fs::path& cacheFolder) {
  if (cacheFolder.empty()) return {};
  const int fd = ::open(dwg.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  struct stat st {};
  std::uint64_t content = 0;
  const bool ok = ::fstat(fd, &st) == 0 && hashFile(fd, content);
  ::close(fd);
  if (!ok) return {};
  std::error_code ec;
  const std::string key = fs::absolute(dwg, ec).lexically_normal().string() + '\n' + std::to_string(st.st_size) +
                          '\n' + std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) +
                          '\n' + hex(content);
  return cacheFolder / (hex(fnv(kFnvOffset, key.data(), key.size())) + ".dxf");
}

std::vector<ConvertedFile> convertDwgFiles(const std::vector<fs::path>& dwgs) {
  const ConverterSettings settings = converterSettings();
  fs::path folder = settings.cacheFolder;
  std::error_code ec;
  if (!folder.empty()) fs::create_directories(folder, ec);
  if (folder.empty() || ec || ::access(folder.c_str(), W_OK | X_OK) != 0) folder = scratchFolder();

  std::vector<ConvertedFile> result(dwgs.size());
  std::vector<std::size_t> toConvert;
  std::vector<std::string> arguments;
  double megabytes = 0;
  for (std::size_t i = 0; i < dwgs.size(); ++i) {
    ConvertedFile& f = result[i];
    f.dxf = cachedDxfPath(dwgs[i], folder);
    if (f.dxf.empty()) {
      f.conversion.error = {OpenError::Kind::system, errno ? errno : EIO, 0, {}};
      continue;
    }
    {
      std::lock_guard lock(failuresLock);
      if (auto known = failures().find(f.dxf); known != failures().end()) {
        f.conversion = known->second;
        continue;
      }
    }
    if (!checkOutput(f.dxf, &f.conversion)) continue;  // converted before
    bool again = false;  // the same file twice in one list
    for (std::size_t j : toConvert) again = again || result[j].dxf == f.dxf;
    if (again) continue;
    toConvert.push_back(i);
    arguments.push_back(dwgs[i].string());
    arguments.push_back(f.dxf.string());
    megabytes += static_cast<double>(fs::file_size(dwgs[i], ec)) / (1 << 20);
  }
  if (toConvert.empty()) return result;

  const double seconds = settings.baseSeconds + settings.secondsPerMegabyte * megabytes;
  const ProcessEnd end = runConverter(settings.command, arguments,
                                      std::chrono::milliseconds(static_cast<long long>(seconds * 1000)),
                                      settings.memoryMegabytes);
  const std::vector<Conversion> judged =
      judgeConversion(end, toConvert.size(), static_cast<long long>(std::ceil(seconds)),
                      static_cast<long long>(settings.memoryMegabytes));
  for (std::size_t k = 0; k < toConvert.size(); ++k) {
    ConvertedFile& f = result[toConvert[k]];
    f.conversion = judged[k];
    if (!f.conversion.error) f.conversion.error = checkOutput(f.dxf);
    if (f.conversion.error) {
      fs::remove(f.dxf, ec);
      fs::path part = f.dxf;
      part += ".part";
      fs::remove(part, ec);
      // A drawing LibreDWG cannot read stays so; a stopped process may do better next time.
      if (f.conversion.error.kind == OpenError::Kind::damagedDwg) {
        std::lock_guard lock(failuresLock);
        failures()[f.dxf] = f.conversion;
      }
    }
  }
  return result;
}

}  // namespace orv::io
