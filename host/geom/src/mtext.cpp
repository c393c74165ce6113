// The MTEXT inline-code parser: formats on a stack of groups, runs, paragraphs.
#include "orv/geom/mtext.h"

#include <cmath>

#include "orv/geom/kept.h"
#include "utf8.h"

namespace orv::geom {

namespace {

// Bounds the groups that nest: deeper ones keep the format they had.
constexpr std::size_t kMaxGroupDepth = 64;

class Parser {
 public:
  Parser(std::string_view s, double baseHeight) : s_(s) {
    current_.height = std::isfinite(baseHeight) && baseHeight > 0.0 ? baseHeight : 0.0;
    runFormat_ = current_;
    paragraphs_.emplace_back();
  }

  std::vector<MTextParagraph> run() {
    while (i_ < s_.size()) {
      const char c = s_[i_];
      if (c == '\\') escape();
      else if (c == '{') openGroup();
      else if (c == '}') closeGroup();
      else if (c == '%' && percent()) {}
      else if (c == '^' && caret()) {}
      else if (c == '\n') endParagraph(), ++i_;
      else if (c == '\r') ++i_;
      else {
        const std::size_t n = utf8Length(s_, i_);
        text_.append(s_.substr(i_, n));
        i_ += n;
      }
    }
    flushRun();
    // A last paragraph that holds nothing, after a final \P, is no paragraph.
    if (paragraphs_.size() > 1 && paragraphs_.back().runs.empty()) paragraphs_.pop_back();
    return std::move(paragraphs_);
  }

 private:
  void flushRun() {
    if (text_.empty()) return;
    auto& runs = paragraphs_.back().runs;
    if (!runs.empty() && runs.back().format == runFormat_) {
      runs.back().text += text_;
    } else {
      runs.push_back(MTextRun{std::move(text_), runFormat_});
    }
    text_.clear();
  }
  // Makes `current_` the format of the text that follows.
  void formatChanged() {
    if (current_ == runFormat_) return;
    flushRun();
    runFormat_ = current_;
  }
  void endParagraph() {
    flushRun();
    MTextParagraph next;
    next.align = paragraphs_.back().align;  // paragraph settings carry on
    next.indentFirst = paragraphs_.back().indentFirst;
    next.indentLeft = paragraphs_.back().indentLeft;
    paragraphs_.push_back(std::move(next));
  }
  void openGroup() {
    ++i_;
    if (stack_.size() < kMaxGroupDepth) stack_.push_back(current_);
    else ++overflow_;
  }
  void closeGroup() {
    ++i_;
    if (overflow_ > 0) {
      --overflow_;
    } else if (!stack_.empty()) {
      current_ = stack_.back();
      stack_.pop_back();
    }
    formatChanged();
  }

  // The argument of a code up to its ";" (or the end of the text), the ";" consumed.
  std::string_view argument() {
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] != ';') ++i_;
    std::string_view arg = s_.substr(start, i_ - start);
    if (i_ < s_.size()) ++i_;
    return arg;
  }
  // A number argument, "x" after it making it relative to `current`.
  double factorArgument(double current, bool relativeAllowed) {
    std::string_view arg = argument();
    bool relative = false;
    if (!arg.empty() && (arg.back() == 'x' || arg.back() == 'X')) {
      relative = relativeAllowed;
      arg.remove_suffix(1);
    }
    double v = 0.0;
    if (!parseReal(arg, v)) return current;
    return relative ? current * v : v;
  }

  void escape() {
    if (i_ + 1 >= s_.size()) {
      ++i_;
      return;
    }
    const char code = s_[i_ + 1];
    i_ += 2;
    switch (code) {
      case 'P': case 'N': case 'X': endParagraph(); return;
      case '~': appendUtf8(text_, 0x00A0); return;
      case '\\': case '{': case '}': text_ += code; return;
      case 'f': case 'F': font(code == 'F'); return;
      case 'H': {
        const double h = factorArgument(current_.height, true);
        if (h > 0.0 && std::isfinite(h)) current_.height = h;
        formatChanged();
        return;
      }
      case 'W': {
        const double w = factorArgument(current_.widthFactor, true);
        if (w > 0.0 && w < 100.0) current_.widthFactor = w;
        formatChanged();
        return;
      }
      case 'Q': {
        const double q = factorArgument(current_.oblique, false);
        if (std::abs(q) < 85.0) current_.oblique = q;
        formatChanged();
        return;
      }
      case 'T': {
        const double t = factorArgument(current_.tracking, true);
        if (t > 0.0 && t < 100.0) current_.tracking = t;
        formatChanged();
        return;
      }
      case 'A': argument(); return;
      case 'C': case 'c': color(code == 'c'); return;
      case 'L': case 'l': current_.underline = code == 'L', formatChanged(); return;
      case 'O': case 'o': current_.overline = code == 'O', formatChanged(); return;
      case 'K': case 'k': current_.strike = code == 'K', formatChanged(); return;
      case 'S': stack(); return;
      case 'p': paragraph(); return;
      case 'U': unicode(); return;
      default:
        // Unknown: a backslash and an ASCII letter are dropped; a backslash before any
        // other character only, so that the character stays whole.
        if (static_cast<unsigned char>(code) >= 0x80) --i_;
        return;
    }
  }

  void font(bool file) {
    const std::string_view arg = argument();
    std::size_t bar = arg.find('|');
    current_.font.assign(arg.substr(0, bar));
    if (!file) {
      current_.bold = current_.italic = false;
      while (bar != std::string_view::npos) {
        const std::size_t next = arg.find('|', bar + 1);
        const std::string_view part = arg.substr(bar + 1, next == std::string_view::npos ? next : next - bar - 1);
        if (part.size() >= 2 && part[0] == 'b') current_.bold = part[1] == '1';
        if (part.size() >= 2 && part[0] == 'i') current_.italic = part[1] == '1';
        bar = next;
      }
    }
    formatChanged();
  }

  void color(bool trueColor) {
    std::int64_t n = 0;
    if (parseInteger(argument(), n)) {
      if (trueColor) {
        // The value holds blue in its high byte and red in its low one.
        const auto v = static_cast<std::uint32_t>(n) & 0xFFFFFFu;
        current_.color = {RunColor::Kind::rgb, ((v & 0xFF) << 16) | (v & 0xFF00) | (v >> 16)};
      } else if (n >= 0 && n <= 256) {
        current_.color = {RunColor::Kind::index, static_cast<std::uint32_t>(n)};
        if (n == 256) current_.color = {};
      }
    }
    formatChanged();
  }

  // \Supper^lower; \Supper/lower; \Supper#lower; with \; for a semicolon inside.
  void stack() {
    std::string upper, lower;
    std::string* into = &upper;
    bool split = false;
    char separator = 0;
    while (i_ < s_.size() && s_[i_] != ';') {
      char c = s_[i_];
      if (c == '\\' && i_ + 1 < s_.size()) {
        into->push_back(s_[i_ + 1]);
        i_ += 2;
        continue;
      }
      if (!split && (c == '^' || c == '/' || c == '#')) {
        split = true;
        separator = c;
        into = &lower;
        ++i_;
        continue;
      }
      into->push_back(c);
      ++i_;
    }
    if (i_ < s_.size()) ++i_;
    if (separator == '^') {
      while (!lower.empty() && lower.front() == ' ') lower.erase(lower.begin());
      while (!upper.empty() && upper.back() == ' ') upper.pop_back();
    }
    text_ += upper;
    if (split && !lower.empty()) {
      text_ += '/';
      text_ += lower;
    }
  }

  // \pxqc; \pi-1,l1; \pxi0,l0,qr,t4;
  void paragraph() {
    std::string_view arg = argument();
    MTextParagraph& p = paragraphs_.back();
    std::size_t at = 0;
    while (at <= arg.size()) {
      std::size_t comma = arg.find(',', at);
      std::string_view item = arg.substr(at, comma == std::string_view::npos ? comma : comma - at);
      if (!item.empty() && item.front() == 'x') item.remove_prefix(1);
      if (item.size() >= 2 && item[0] == 'q') {
        switch (item[1]) {
          case 'c': p.align = ParagraphAlign::center; break;
          case 'r': p.align = ParagraphAlign::right; break;
          case 'j': p.align = ParagraphAlign::justified; break;
          case 'd': p.align = ParagraphAlign::distributed; break;
          default: p.align = ParagraphAlign::left; break;
        }
      } else if (item.size() >= 2 && (item[0] == 'i' || item[0] == 'l')) {
        double v = 0.0;
        if (parseReal(item.substr(1), v) && std::abs(v) < 1000.0)
          (item[0] == 'i' ? p.indentFirst : p.indentLeft) = v;
      }
      if (comma == std::string_view::npos) break;
      at = comma + 1;
    }
  }

  // \U+XXXX: four hex digits.
  void unicode() {
    if (i_ >= s_.size() || s_[i_] != '+') return;
    std::size_t j = i_ + 1;
    std::uint32_t c = 0;
    while (j < s_.size() && j < i_ + 5) {
      const char h = s_[j];
      const int d = h >= '0' && h <= '9' ? h - '0' : h >= 'a' && h <= 'f' ? h - 'a' + 10
                  : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
      if (d < 0) break;
      c = c * 16 + static_cast<std::uint32_t>(d);
      ++j;
    }
    if (j - i_ - 1 < 4) return;  // not an escape: "\U" dropped, the rest stays text
    i_ = j;
    appendUtf8(text_, c);
  }

  bool percent() {
    if (i_ + 2 >= s_.size() || s_[i_ + 1] != '%') return false;
    const char c = s_[i_ + 2];
    std::uint32_t out = 0;
    switch (c) {
      case 'c': case 'C': out = 0x2300; break;
      case 'd': case 'D': out = 0x00B0; break;
      case 'p': case 'P': out = 0x00B1; break;
      case '%': out = '%'; break;
      default: return false;
    }
    appendUtf8(text_, out);
    i_ += 3;
    return true;
  }

  bool caret() {
    if (i_ + 1 >= s_.size()) return false;
    const char c = s_[i_ + 1];
    i_ += 2;
    if (c == 'J' || c == 'j') endParagraph();
    else if (c == 'I' || c == 'i') text_ += '\t';
    else if (c == ' ') text_ += '^';
    else if (c == 'M' || c == 'm') {}
    else i_ -= 1, text_ += '^';  // not a control: the caret is a character
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  RunFormat current_;
  RunFormat runFormat_;
  std::vector<RunFormat> stack_;
  std::size_t overflow_ = 0;
  std::string text_;
  std::vector<MTextParagraph> paragraphs_;
};

}  // namespace

std::vector<MTextParagraph> parseMText(std::string_view content, double baseHeight) {
  return Parser(content, baseHeight).run();
}

std::string plainMText(std::string_view content) {
  std::string out;
  bool first = true;
  for (const MTextParagraph& p : parseMText(content, 1.0)) {
    if (!first) out += '\n';
    first = false;
    for (const MTextRun& r : p.runs) out += r.text;
  }
  return out;
}

}  // namespace orv::geom
