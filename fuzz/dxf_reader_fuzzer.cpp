// Fuzz target: a DXF file's bytes, read into a drawing.
//
// Whatever the bytes, reading gives a drawing or an error, never a crash. A
// drawing that was read is then saved and the saved text read again: our own
// file must read without error or new doubts, and saving what was read from
// it must give the very same text (nothing is lost or changed on the second
// trip).
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  orv::dxf::ReadResult read = orv::dxf::readDxf(bytes);
  if (!read.ok()) {
    ORV_FUZZ_CHECK(!read.error.empty(), "refused without a reason");
    return 0;
  }
  ORV_FUZZ_CHECK(read.error.empty(), "a drawing and an error");

  const std::string saved = orv::dxf::writeDxfToString(*read.drawing);
  orv::dxf::ReadResult again = orv::dxf::readDxf(saved);
  ORV_FUZZ_CHECK(again.ok(), "our own file cannot be read: " + again.error);
  // What the reader doubted in our file it already doubted in the original
  // (an entity kept as read, say); saving must not add doubts of its own.
  std::set<std::string> doubted;
  for (const auto& finding : read.findings) doubted.insert(finding.message);
  const bool allListed = read.findings.size() < 200;
  for (const auto& finding : again.findings) {
    ORV_FUZZ_CHECK(
        !allListed || doubted.contains(finding.message),
        "our own file is suspect: line " + std::to_string(finding.line) + ": " + finding.message);
  }
  ORV_FUZZ_CHECK(again.drawing->blockCount() == read.drawing->blockCount(),
                 "blocks lost or gained");
  const std::string savedAgain = orv::dxf::writeDxfToString(*again.drawing);
  ORV_FUZZ_CHECK(savedAgain == saved, "saving what was read from our own file changed it");
  return 0;
}
