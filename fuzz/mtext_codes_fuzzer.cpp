// Fuzz target: MTEXT content with its inline codes, parsed into paragraphs of runs.
//
// Whatever the bytes: no crash; every run has a finite positive height, a width factor
// and tracking in range, and text; valid UTF-8 in gives valid UTF-8 out; the plain text
// is the runs joined by paragraphs; text without any code character comes out as it went
// in.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/geom/mtext.h"

namespace {

bool validUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const auto paragraphs = orv::geom::parseMText(content, 2.5);
  ORV_FUZZ_CHECK(!paragraphs.empty(), "no paragraph at all");
  const bool utf8 = validUtf8(content);
  std::string joined;
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) joined += '\n';
    for (const auto& run : paragraphs[i].runs) {
      const auto& f = run.format;
      ORV_FUZZ_CHECK(std::isfinite(f.height) && f.height > 0.0, "a run of no height");
      ORV_FUZZ_CHECK(f.widthFactor > 0.0 && f.widthFactor < 100.0, "a width factor out of range");
      ORV_FUZZ_CHECK(f.tracking > 0.0 && f.tracking < 100.0, "tracking out of range");
      ORV_FUZZ_CHECK(std::abs(f.oblique) < 85.0, "an oblique angle out of range");
      ORV_FUZZ_CHECK(!run.text.empty(), "an empty run");
      if (utf8) ORV_FUZZ_CHECK(validUtf8(run.text), "valid UTF-8 in, invalid out");
      joined += run.text;
    }
  }
  ORV_FUZZ_CHECK(joined == orv::geom::plainMText(content), "the plain text is not the runs");
  if (content.find_first_of("\\{}%^\n\r") == std::string_view::npos && !content.empty())
    ORV_FUZZ_CHECK(joined == content, "text without codes changed");
  return 0;
}
