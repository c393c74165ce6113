// Reading .pat pattern files and placing a pattern's lines.
#include "orv/core/hatch_patterns.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "orv/db/tables.h"

namespace orv::core {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::optional<double> number(std::string_view field) {
  field = trim(field);
  if (field.empty()) return std::nullopt;
  const std::string s(field);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size() || !std::isfinite(v) || std::abs(v) > 1e12) return std::nullopt;
  return v;
}

// The most dashes one line may hold; more is a damaged file, not a pattern.
constexpr std::size_t kMostDashes = 64;

// A pattern line's fields, or why it cannot be read.
std::optional<PatternLineDef> lineOf(std::string_view text, std::string& problem) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() < 5) {
    problem = "图案线须有角度、原点 X、原点 Y、偏移 X、偏移 Y 五个数值，这里只有 " + std::to_string(fields.size()) + " 个";
    return std::nullopt;
  }
  if (fields.size() - 5 > kMostDashes) {
    problem = "划线太多（最多 " + std::to_string(kMostDashes) + " 个）";
    return std::nullopt;
  }
  std::vector<double> v;
  for (std::string_view f : fields) {
    const auto n = number(f);
    if (!n) {
      problem = "“" + std::string(trim(f)) + "”不是数值";
      return std::nullopt;
    }
    v.push_back(*n);
  }
  PatternLineDef line{v[0], {v[1], v[2]}, {v[3], v[4]}, {v.begin() + 5, v.end()}};
  if (line.offset.y == 0) {
    problem = "偏移 Y（线与线的间距）不能为零";
    return std::nullopt;
  }
  bool anyDash = line.dashes.empty();
  for (double d : line.dashes) anyDash = anyDash || d >= 0;
  if (!anyDash) {
    problem = "划线全是空白，画不出任何东西";
    return std::nullopt;
  }
  return line;
}

}  // namespace

bool HatchPattern::solid() const { return db::foldName(name) == "SOLID"; }

const HatchPattern* PatternFile::find(std::string_view name) const {
  const std::string wanted = db::foldName(name);
  for (const HatchPattern& p : patterns)
    if (db::foldName(p.name) == wanted) return &p;
  return nullptr;
}

PatternFile readPatterns(std::string_view text) {
  PatternFile file;
  std::optional<HatchPattern> open;
  bool damaged = false;
  auto close = [&] {
    if (open && !damaged) {
      if (open->lines.empty() && !open->solid())
        file.problems.push_back("图案“" + open->name + "”没有图案线，已略去");
      else
        file.patterns.push_back(std::move(*open));
    }
    open.reset();
    damaged = false;
  };
  std::size_t number = 0;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (const std::size_t semicolon = line.find(';'); semicolon != std::string_view::npos)
      line = line.substr(0, semicolon);
    line = trim(line);
    if (line.empty()) continue;
    const std::string where = "第 " + std::to_string(number) + " 行：";
    if (line.front() == '*') {
      close();
      const std::size_t comma = line.find(',');
      const std::string_view name = trim(line.substr(1, comma == std::string_view::npos ? line.npos : comma - 1));
      if (name.empty()) {
        file.problems.push_back(where + "图案名为空");
        continue;
      }
      if (file.find(name)) {
        file.problems.push_back(where + "图案“" + std::string(name) + "”已定义过，这次的定义略去");
        damaged = true;
      }
      open = HatchPattern{std::string(name),
                          comma == std::string_view::npos ? std::string() : std::string(trim(line.substr(comma + 1))),
                          {}};
      continue;
    }
    if (!open) {
      file.problems.push_back(where + "图案线之前没有图案名（*名称）");
      continue;
    }
    std::string problem;
    if (auto l = lineOf(line, problem)) {
      open->lines.push_back(std::move(*l));
    } else {
      if (!damaged) file.problems.push_back(where + problem + "，图案“" + open->name + "”已略去");
      damaged = true;
    }
  }
  close();
  return file;
}

std::vector<HatchPatternLine> patternLines(const HatchPattern& pattern, double scale, double angleDegrees) {
  std::vector<HatchPatternLine> out;
  if (pattern.solid() || !(scale > 0) || !std::isfinite(angleDegrees)) return out;
  const Affine2 turn = Affine2::rotation({0, 0}, angleDegrees);
  for (const PatternLineDef& l : pattern.lines) {
    HatchPatternLine h;
    h.angle = normalizeDegrees(l.angle + angleDegrees);
    h.base = turn.apply(scale * l.base);
    // The offset is given along and across the line: turned with it.
    const Vec2 along = unitAtDegrees(h.angle);
    h.offset = scale * (l.offset.x * along + l.offset.y * perp(along));
    for (double d : l.dashes) h.dashes.push_back(scale * d);
    out.push_back(std::move(h));
  }
  return out;
}

}  // namespace orv::core
