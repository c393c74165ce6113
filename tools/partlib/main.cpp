// orvpartlib: builds part library drawings (NAME.dxf) from part sources (NAME.part).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "part_drawing.h"

namespace {

constexpr const char* kUsage =
    "usage: orvpartlib --out DIR SOURCE.part...\n"
    "Writes the library drawing DIR/NAME.dxf of every part source NAME.part: the block NAME\n"
    "with its preview icon and one reference to it. Every error is reported as\n"
    "FILE:LINE: MESSAGE; the status is 1 when a source has errors (its drawing is not\n"
    "written), 2 for a bad command line.\n";

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path outDir;
  std::vector<std::filesystem::path> sources;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(arg, "--out") == 0) {
      if (i + 1 >= argc) {
        std::fputs("orvpartlib: --out needs a folder\n", stderr);
        return 2;
      }
      outDir = std::filesystem::path(reinterpret_cast<const char8_t*>(argv[++i]));
    } else if (arg[0] == '-' && arg[1] != '\0') {
      std::fprintf(stderr, "orvpartlib: unknown option %s\n%s", arg, kUsage);
      return 2;
    } else {
      sources.emplace_back(reinterpret_cast<const char8_t*>(arg));
    }
  }
  if (outDir.empty() || sources.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  int failed = 0;
  for (const auto& source : sources) {
    const auto errors = orv::partlib::buildPartFile(source, outDir);
    for (const auto& e : errors) std::fprintf(stderr, "%s\n", orv::partlib::format(e).c_str());
    if (!errors.empty()) ++failed;
  }
  if (failed > 0) {
    std::fprintf(stderr, "orvpartlib: %d of %zu part sources have errors\n", failed, sources.size());
    return 1;
  }
  return 0;
}
