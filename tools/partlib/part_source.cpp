// Reading part source files: statements, numbers and points, with a message per error.
#include "part_source.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "orv/db/tables.h"
#include "orv/text/encoding.h"

namespace orv::partlib {

namespace {

std::vector<std::string_view> splitBlanks(std::string_view s) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return db::foldName(a) == db::foldName(b);
}

// Thrown inside one statement; the reader turns it into a diagnostic and goes on.
struct StatementError {
  std::string message;
};

double number(std::string_view text, std::string_view what) {
  double v = 0.0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (ec != std::errc() || ptr != end || !std::isfinite(v))
    throw StatementError{std::string(what) + " must be a finite number, not \"" + std::string(text) + "\""};
  return v;
}

std::pair<double, double> pair(std::string_view text, std::string_view what) {
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos)
    throw StatementError{std::string(what) + " must be two numbers joined by a comma (X,Y), not \"" +
                         std::string(text) + "\""};
  return {number(text.substr(0, comma), what), number(text.substr(comma + 1), what)};
}

db::Point2 point(std::string_view text) {
  auto [x, y] = pair(text, "a point");
  return {x, y};
}

double positive(std::string_view text, std::string_view what) {
  const double v = number(text, what);
  if (!(v > 0.0)) throw StatementError{std::string(what) + " must be greater than 0"};
  return v;
}

// "key=value": the value when the token has that key.
std::optional<std::string_view> option(std::string_view token, std::string_view key) {
  if (token.size() > key.size() && token.substr(0, key.size()) == key && token[key.size()] == '=')
    return token.substr(key.size() + 1);
  return std::nullopt;
}

void expectCount(const std::vector<std::string_view>& t, std::size_t n, std::string_view usage) {
  if (t.size() != n) throw StatementError{"expected \"" + std::string(usage) + "\""};
}

class Reader {
 public:
  Reader(std::string_view name, std::string_view file) : file_(file) {
    part_.name = std::string(name);
    part_.block.name = part_.name;
    if (auto problem = blockNameProblem(name))
      fail(0, "the file name \"" + std::string(name) + "\" cannot name a block: " + *problem);
  }

  void line(int number, std::string_view text) {
    if (auto hash = text.find('#'); hash != std::string_view::npos) text = text.substr(0, hash);
    if (!text::isValidUtf8(text)) return fail(number, "not UTF-8 text");
    const auto tokens = splitBlanks(text);
    if (tokens.empty()) return;
    try {
      statement(number, tokens);
    } catch (const StatementError& e) {
      fail(number, e.message);
    }
  }

  ReadResult finish() {
    if (open_) fail(open_->line, "block \"" + open_->name + "\" has no \"end\"");
    else if (part_.block.items.empty() && errors_.empty()) fail(0, "the part draws nothing");
    ReadResult r;
    r.errors = std::move(errors_);
    if (r.errors.empty()) r.part = std::move(part_);
    return r;
  }

 private:
  struct Style {
    std::int16_t color = db::color::byLayer;
    std::string linetype = "ByLayer";
  };

  void fail(int line, std::string message) { errors_.push_back({file_, line, std::move(message)}); }

  BlockSource& current() { return open_ ? *open_ : part_.block; }

  void add(int line, Shape shape) {
    current().items.push_back({line, std::move(shape), style_.color, style_.linetype});
  }

  void statement(int n, const std::vector<std::string_view>& t) {
    const std::string_view k = t[0];
    if (k == "line") {
      expectCount(t, 3, "line X,Y X,Y");
      const db::Point2 a = point(t[1]), b = point(t[2]);
      if (a == b) throw StatementError{"a line needs two different points"};
      add(n, db::Line{{a.x, a.y, 0.0}, {b.x, b.y, 0.0}});
    } else if (k == "arc") {
      expectCount(t, 5, "arc X,Y R START END");
      const db::Point2 c = point(t[1]);
      db::Arc arc{{c.x, c.y, 0.0}, positive(t[2], "the radius"), number(t[3], "the start angle"),
                  number(t[4], "the end angle")};
      if (std::fmod(arc.endAngle - arc.startAngle, 360.0) == 0.0)
        throw StatementError{"an arc's start and end angles must differ (a full turn is a circle)"};
      add(n, arc);
    } else if (k == "circle") {
      expectCount(t, 3, "circle X,Y R");
      const db::Point2 c = point(t[1]);
      add(n, db::Circle{{c.x, c.y, 0.0}, positive(t[2], "the radius")});
    } else if (k == "dot") {
      expectCount(t, 3, "dot X,Y D");
      add(n, dot(point(t[1]), positive(t[2], "the diameter")));
    } else if (k == "polyline") {
      add(n, polyline(t));
    } else if (k == "insert") {
      add(n, insert(t));
    } else if (k == "color") {
      expectCount(t, 2, "color N|bylayer|byblock");
      style_.color = color(t[1]);
    } else if (k == "linetype") {
      expectCount(t, 2, "linetype NAME|bylayer");
      style_.linetype = linetype(t[1]);
    } else if (k == "block") {
      beginBlock(n, t);
    } else if (k == "end") {
      expectCount(t, 1, "end");
      if (!open_) throw StatementError{"\"end\" without \"block\""};
      if (open_->items.empty() && errors_.size() == errorsBeforeBlock_)
        fail(open_->line, "block \"" + open_->name + "\" draws nothing");
      part_.nested.push_back(std::move(*open_));
      open_.reset();
      style_ = outerStyle_;
    } else if (k == "extent") {
      expectCount(t, 3, "extent X,Y X,Y");
      if (open_) throw StatementError{"\"extent\" belongs to the part, not inside a block"};
      if (part_.extent) throw StatementError{"a second \"extent\" (the first is on line " +
                                             std::to_string(part_.extentLine) + ")"};
      const db::Point2 lo = point(t[1]), hi = point(t[2]);
      if (!(lo.x < hi.x && lo.y < hi.y))
        throw StatementError{"the extent's first corner must be below and left of the second"};
      part_.extent = Box{lo.x, lo.y, hi.x, hi.y};
      part_.extentLine = n;
    } else {
      throw StatementError{"unknown statement \"" + std::string(k) + "\""};
    }
  }

  // A filled disc: a closed polyline of two half circles whose width fills the middle.
  static db::Polyline dot(db::Point2 c, double diameter) {
    db::Polyline pl;
    const double r = diameter / 4.0;
    pl.addVertex({c.x - r, c.y}, 1.0);
    pl.addVertex({c.x + r, c.y}, 1.0);
    pl.setClosed(true);
    if (pl.setConstantWidth(diameter / 2.0) != db::Status::ok)
      throw StatementError{"a value is out of range"};
    return pl;
  }

  static db::Polyline polyline(const std::vector<std::string_view>& t) {
    db::Polyline pl;
    bool bulgeSet = false, widthsSet = false, widthSet = false;
    for (std::size_t i = 1; i < t.size(); ++i) {
      const std::string_view tok = t[i];
      if (tok == "closed") {
        pl.setClosed(true);
      } else if (auto w = option(tok, "width")) {
        if (widthSet) throw StatementError{"\"width=\" given twice"};
        const double v = number(*w, "the width");
        if (v < 0.0 || pl.setConstantWidth(v) != db::Status::ok)
          throw StatementError{"the width must not be negative"};
        widthSet = true;
      } else if (auto b = option(tok, "bulge")) {
        if (pl.empty()) throw StatementError{"\"bulge=\" must follow the vertex it belongs to"};
        if (bulgeSet) throw StatementError{"a second \"bulge=\" for one vertex"};
        pl.setBulge(pl.size() - 1, number(*b, "the bulge"));
        bulgeSet = true;
      } else if (auto ws = option(tok, "widths")) {
        if (pl.empty()) throw StatementError{"\"widths=\" must follow the vertex it belongs to"};
        if (widthsSet) throw StatementError{"a second \"widths=\" for one vertex"};
        auto [s, e] = pair(*ws, "the widths");
        if (s < 0.0 || e < 0.0) throw StatementError{"widths must not be negative"};
        pl.setWidths(pl.size() - 1, s, e);
        widthsSet = true;
      } else {
        const db::Point2 p = point(tok);
        if (!pl.empty() && pl.point(pl.size() - 1) == p)
          throw StatementError{"vertex " + std::to_string(pl.size() + 1) + " repeats the one before it"};
        pl.addVertex(p);
        bulgeSet = widthsSet = false;
      }
    }
    if (pl.size() < 2) throw StatementError{"a polyline needs at least two vertices"};
    if (pl.closed() && pl.point(0) == pl.point(pl.size() - 1))
      throw StatementError{"a closed polyline must not repeat its first vertex at the end"};
    if (!pl.closed() && pl.bulge(pl.size() - 1) != 0.0)
      throw StatementError{"the last vertex of an open polyline has no segment to bulge"};
    return pl;
  }

  Insert insert(const std::vector<std::string_view>& t) {
    if (t.size() < 3 || t.size() > 5)
      throw StatementError{"expected \"insert NAME X,Y [scale=SX,SY] [rotation=DEG]\""};
    Insert ins;
    ins.block = std::string(t[1]);
    bool known = false;
    for (const BlockSource& b : part_.nested) known = known || equalsNoCase(b.name, ins.block);
    if (!known) {
      if (open_ && equalsNoCase(open_->name, ins.block))
        throw StatementError{"block \"" + ins.block + "\" cannot insert itself"};
      throw StatementError{"no block \"" + ins.block + "\" is defined above this line"};
    }
    ins.position = point(t[2]);
    bool scaled = false, rotated = false;
    for (std::size_t i = 3; i < t.size(); ++i) {
      if (auto s = option(t[i], "scale"); s && !scaled) {
        std::tie(ins.xScale, ins.yScale) = pair(*s, "the scale");
        if (ins.xScale == 0.0 || ins.yScale == 0.0) throw StatementError{"a scale must not be 0"};
        scaled = true;
      } else if (auto r = option(t[i], "rotation"); r && !rotated) {
        ins.rotation = number(*r, "the rotation");
        rotated = true;
      } else {
        throw StatementError{"unexpected \"" + std::string(t[i]) + "\" (scale=SX,SY or rotation=DEG, once each)"};
      }
    }
    return ins;
  }

  static std::int16_t color(std::string_view v) {
    if (equalsNoCase(v, "bylayer")) return db::color::byLayer;
    if (equalsNoCase(v, "byblock")) return db::color::byBlock;
    int c = 0;
    auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), c);
    if (ec != std::errc() || ptr != v.data() + v.size() || c < 1 || c > 255)
      throw StatementError{"a colour is a colour index from 1 to 255, bylayer or byblock, not \"" +
                           std::string(v) + "\""};
    return static_cast<std::int16_t>(c);
  }

  static std::string linetype(std::string_view v) {
    for (const char* fixed : {"ByLayer", "ByBlock", "Continuous"})
      if (equalsNoCase(v, fixed)) return fixed;
    for (const db::StandardLinetype& s : db::metricLinetypes())
      if (equalsNoCase(v, s.name)) return s.name;
    std::string known = "ByLayer, ByBlock, Continuous";
    for (const db::StandardLinetype& s : db::metricLinetypes()) known += std::string(", ") + s.name;
    throw StatementError{"unknown linetype \"" + std::string(v) + "\" (known: " + known + ")"};
  }

  void beginBlock(int n, const std::vector<std::string_view>& t) {
    expectCount(t, 2, "block NAME");
    if (open_) throw StatementError{"block \"" + open_->name + "\" (line " + std::to_string(open_->line) +
                                    ") has no \"end\" before this block"};
    const std::string name(t[1]);
    // The block opens even with a bad name, so that its statements and its "end" are
    // read as the block's.
    const std::optional<std::string> problem = nestedNameProblem(name);
    open_ = BlockSource{name, n, {}};
    errorsBeforeBlock_ = errors_.size() + (problem ? 1 : 0);
    outerStyle_ = style_;
    style_ = Style{};
    if (problem) throw StatementError{*problem};
  }

  std::optional<std::string> nestedNameProblem(const std::string& name) const {
    if (auto problem = blockNameProblem(name)) return "\"" + name + "\" cannot name a block: " + *problem;
    const std::string prefix = part_.name + "-";
    if (name.size() <= prefix.size() || !equalsNoCase(name.substr(0, prefix.size()), prefix))
      return "a nested block's name begins with the part's name and '-' (\"" + prefix +
             "...\"), so that no two parts share a block name";
    for (const BlockSource& b : part_.nested)
      if (equalsNoCase(b.name, name))
        return "block \"" + name + "\" is defined twice (first on line " + std::to_string(b.line) + ")";
    return std::nullopt;
  }

  std::string file_;
  PartSource part_;
  std::optional<BlockSource> open_;
  Style style_, outerStyle_;
  std::vector<Diagnostic> errors_;
  std::size_t errorsBeforeBlock_ = 0;  // an empty block with errors of its own is not reported again
};

}  // namespace

std::string format(const Diagnostic& d) {
  if (d.line > 0) return d.file + ":" + std::to_string(d.line) + ": " + d.message;
  return d.file + ": " + d.message;
}

std::optional<std::string> blockNameProblem(std::string_view name) {
  if (name.empty()) return "it is empty";
  if (!text::isValidUtf8(name)) return "it is not UTF-8 text";
  if (name.front() == ' ' || name.back() == ' ') return "it begins or ends with a blank";
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return "it holds a control character";
    if (std::string_view("<>/\\\":;?*|,=`").find(c) != std::string_view::npos)
      return std::string("it holds '") + c + "'";
  }
  if (!text::utf8ToGbk(name)) return "it holds a character that the GBK code page lacks";
  return std::nullopt;
}

ReadResult readPartSource(std::string_view text, std::string_view name, std::string_view file) {
  Reader reader(name, file);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int number = 0;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.line(++number, line);
  }
  return reader.finish();
}

ReadResult readPartSourceFile(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  const std::string label(u8.begin(), u8.end());
  std::error_code ec;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, ec)) in.open(path, std::ios::binary);
  std::ostringstream text;
  if (in.is_open()) text << in.rdbuf();
  if (!in.is_open() || in.bad()) {
    ReadResult r;
    r.errors.push_back({label, 0, "cannot be read (not a readable file)"});
    return r;
  }
  const std::u8string stem = path.stem().u8string();
  return readPartSource(text.str(), std::string(stem.begin(), stem.end()), label);
}

}  // namespace orv::partlib
