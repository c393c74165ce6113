// Fuzz target: what the DWG converter may do, judged. The first bytes choose how the
// process ended (how, status, how many drawings it was given); the rest is its standard
// output, then (after a NUL) the start of a DXF it wrote.
//
// Every drawing gets exactly one outcome; one without an error was reported done by a
// line of its own; a failure of the process is never taken for a drawing; output is
// accepted as DXF only when it starts like DXF, and then reads without a crash.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/dxf/reader.h"
#include "orv/io/dwg_converter.h"

namespace {

// Whether a whole line of the output reads "ok I" or "model I" (blanks around words).
bool reportedDone(std::string_view output, std::size_t i) {
  std::size_t start = 0;
  while (start < output.size()) {
    const std::size_t nl = output.find('\n', start);
    if (nl == std::string_view::npos) return false;  // an unfinished line reports nothing
    std::string_view line = output.substr(start, nl - start);
    start = nl + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < line.size();) {
      if (line[at] == ' ') {
        ++at;
        continue;
      }
      const std::size_t stop = std::min(line.find(' ', at), line.size());
      words.push_back(line.substr(at, stop - at));
      at = stop;
    }
    if (words.size() != 2 || (words[0] != "ok" && words[0] != "model")) continue;
    std::size_t n = 0;
    const auto [ptr, ec] = std::from_chars(words[1].data(), words[1].data() + words[1].size(), n);
    if (ec == std::errc() && ptr == words[1].data() + words[1].size() && n == i) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  using orv::io::ProcessEnd;
  ProcessEnd end;
  end.how = static_cast<ProcessEnd::How>(data[0] % 5);
  end.status = data[1];
  const std::size_t count = 1 + data[2] % 8;
  const std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::size_t nul = rest.find('\0');
  end.output = std::string(rest.substr(0, nul));
  const std::string_view written = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);

  const auto judged = orv::io::judgeConversion(end, count, 30, 2048);
  ORV_FUZZ_CHECK(judged.size() == count, "one outcome per drawing");
  for (std::size_t i = 0; i < count; ++i) {
    const auto& c = judged[i];
    if (!c.error) {
      ORV_FUZZ_CHECK(reportedDone(end.output, i), "a drawing is done only when the converter says so");
    } else {
      ORV_FUZZ_CHECK(!c.rebuiltFromObjects, "a failure is not a rebuilt drawing");
    }
    if (c.error.kind == orv::io::OpenError::Kind::converterTimeout) {
      ORV_FUZZ_CHECK(end.how == ProcessEnd::How::timedOut, "a timeout only when the process ran out of time");
    }
  }
  const orv::io::OpenError output = orv::io::judgeOutput(written.substr(0, 64), written.size());
  if (!output) {
    ORV_FUZZ_CHECK(orv::io::detectKind(written.substr(0, 64)) == orv::io::FileKind::asciiDxf,
                   "only what starts like DXF is taken for DXF");
    orv::dxf::ReadResult read = orv::dxf::readDxf(written);
    ORV_FUZZ_CHECK(read.ok() || !read.error.empty(), "a DXF that does not read says why");
  }
  return 0;
}
