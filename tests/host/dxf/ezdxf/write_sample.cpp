// Writes the sample drawing (or re-saves a DXF file through the reader and writer) for the ezdxf checks.
#include <cstdio>
#include <string_view>

#include "orv/dxf/reader.h"
#include "orv/dxf/writer.h"
#include "sample_drawing.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--resave") {
    orv::dxf::ReadResult in = orv::dxf::readDxfFile(argv[2]);
    if (!in.ok()) {
      std::fprintf(stderr, "%s\n", in.error.c_str());
      return 1;
    }
    for (const auto& f : in.findings) std::printf("finding: line %zu: %s\n", f.line, f.message.c_str());
    orv::dxf::WriteResult out = orv::dxf::saveDxfFile(*in.drawing, argv[3]);
    if (!out) std::fprintf(stderr, "%s\n", out.message.c_str());
    return out ? 0 : 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.dxf | --resave IN.dxf OUT.dxf\n", argv[0]);
    return 2;
  }
  orv::dxf::WriteResult r = orv::dxf::saveDxfFile(orv::dxf::testing::sampleDrawing(), argv[1]);
  if (!r) {
    std::fprintf(stderr, "%s\n", r.message.c_str());
    return 1;
  }
  return 0;
}
