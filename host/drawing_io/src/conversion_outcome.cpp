// Judging what the DWG converter did: its report lines, its end, and the files it wrote.
#include <charconv>
#include <cerrno>

#include "orv/io/dwg_converter.h"

namespace orv::io {

namespace {

// The converter's exit status when LibreDWG's module does not load.
constexpr int kLibraryMissingStatus = 3;

// A number of digits only.
bool parseNumber(std::string_view text, long long& value) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

std::vector<std::string_view> words(std::string_view line) {
  std::vector<std::string_view> out;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    const std::size_t stop = line.find(' ');
    out.push_back(line.substr(0, stop));
    if (stop == std::string_view::npos) break;
    line.remove_prefix(stop);
  }
  return out;
}

// What every drawing not reported on gets from the way the process ended.
OpenError failureOfProcess(const ProcessEnd& end, long long limitSeconds, long long limitMegabytes) {
  using K = OpenError::Kind;
  switch (end.how) {
    case ProcessEnd::How::notStarted:
      if (end.status == ENOENT || end.status == EACCES) return {K::converterMissing, end.status, 0, {}};
      return {K::system, end.status, 0, {}};
    case ProcessEnd::How::timedOut:
      return {K::converterTimeout, limitSeconds, 0, {}};
    case ProcessEnd::How::overMemory:
      return {K::converterMemory, limitMegabytes, 0, {}};
    case ProcessEnd::How::signalled:
      return {K::converterSignal, end.status, 0, {}};
    case ProcessEnd::How::exited:
      break;
  }
  if (end.status == kLibraryMissingStatus) return {K::libraryMissing, 0, 0, {}};
  if (end.status != 0) return {K::converterExit, end.status, 0, {}};
  return {K::converterOutput, 0, 0, "noreport"};
}

}  // namespace

std::vector<Conversion> judgeConversion(const ProcessEnd& end, std::size_t count, long long limitSeconds,
                                        long long limitMegabytes) {
  using K = OpenError::Kind;
  std::vector<Conversion> result(count);
  std::vector<bool> reported(count, false);
  std::string_view rest = end.output;
  while (!rest.empty()) {
    const std::size_t nl = rest.find('\n');
    if (nl == std::string_view::npos) break;  // a line cut off by the end is not a report
    std::string_view line = rest.substr(0, nl);
    rest.remove_prefix(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> w = words(line);
    long long n = -1;
    if (w.size() < 2 || !parseNumber(w[1], n) || n < 0 || static_cast<unsigned long long>(n) >= count) continue;
    const auto i = static_cast<std::size_t>(n);
    if (reported[i]) continue;  // the first report of a drawing counts
    Conversion c;
    if (w[0] == "ok" && w.size() == 2) {
    } else if (w[0] == "model" && w.size() == 2) {
      c.rebuiltFromObjects = true;
    } else if (w[0] == "fail" && w.size() == 4) {
      long long code = 0;
      if (!parseNumber(w[2], code) || code < 0) continue;
      if (w[3] == "notdwg")
        c.error = {K::notDrawing, 0, 0, {}};
      else if (w[3] == "unreadable")
        c.error = {K::converterOutput, 0, 0, "unreadable"};
      else
        c.error = {K::damagedDwg, code, 0, std::string(w[3])};
    } else {
      continue;
    }
    result[i] = std::move(c);
    reported[i] = true;
  }
  const OpenError failure = failureOfProcess(end, limitSeconds, limitMegabytes);
  for (std::size_t i = 0; i < count; ++i)
    if (!reported[i]) result[i].error = failure;
  return result;
}

OpenError judgeOutput(std::string_view head, std::uintmax_t size) {
  using K = OpenError::Kind;
  if (size == 0 || head.empty()) return {K::converterOutput, 0, 0, "empty"};
  if (detectKind(head) != FileKind::asciiDxf) return {K::converterOutput, 0, 0, "notdxf"};
  return {};
}

}  // namespace orv::io
