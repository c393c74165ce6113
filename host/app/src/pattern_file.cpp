// Reading the hatch pattern file from disk.
#include "pattern_file.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace orv::app {

std::filesystem::path patternFilePath() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (exe.parent_path() / ".." / "share" / "orvcad" / "orvcad.pat").lexically_normal();
}

core::PatternFile readPatternFile(const std::filesystem::path& path, std::string& problem) {
  // A pattern file is a few kilobytes; anything far larger is not one.
  constexpr std::uintmax_t kLargest = 16u << 20;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) {
    problem = "无法读取图案文件“" + path.string() + "”：文件不存在或不是普通文件。";
    return {};
  }
  if (size > kLargest) {
    problem = "无法读取图案文件“" + path.string() + "”：文件太大，不是图案文件。";
    return {};
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) {
    if (size == 0) return {};
    problem = "无法读取图案文件“" + path.string() + "”。";
    return {};
  }
  return core::readPatterns(text.str());
}

}  // namespace orv::app
