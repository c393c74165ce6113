// Tokenizer, value parsing and formatting, and the text sink of the DXF tag layer.
#include "orv/dxf/tags.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace orv::dxf {

namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

Tokenizer::Tokenizer(std::string_view bytes) : bytes_(bytes) {
  // A byte-order mark is not part of the first code.
  if (bytes_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

bool Tokenizer::readLine(std::string_view& line) {
  if (pos_ >= bytes_.size()) return false;
  const char* start = bytes_.data() + pos_;
  const std::size_t left = bytes_.size() - pos_;
  // Most lines are short: a plain scan beats a library call for them.
  std::size_t len = 0;
  const std::size_t quick = left < 24 ? left : 24;
  while (len < quick && start[len] != '\n') ++len;
  bool found = len < quick;
  if (!found && quick < left) {
    const void* nl = std::memchr(start + quick, '\n', left - quick);
    found = nl != nullptr;
    len = found ? static_cast<std::size_t>(static_cast<const char*>(nl) - start) : left;
  }
  pos_ += found ? len + 1 : len;
  if (len > 0 && start[len - 1] == '\r') --len;
  line = std::string_view(start, len);
  ++line_;
  return true;
}

Tokenizer::Step Tokenizer::next(Tag& tag) {
  if (pushedBack_) {
    pushedBack_ = false;
    tag = last_;
    return Step::tag;
  }
  if (!error_.empty()) return Step::error;
  lastMark_ = Mark{pos_, line_};
  std::string_view codeLine;
  if (!readLine(codeLine)) return Step::end;
  const std::size_t codeLineNo = line_;
  std::int64_t code = 0;
  // Fast path: blanks then up to four digits, the form every writer uses.
  std::size_t i = 0;
  while (i < codeLine.size() && codeLine[i] == ' ') ++i;
  std::size_t digits = 0;
  while (i < codeLine.size() && digits < 5 && codeLine[i] >= '0' && codeLine[i] <= '9') {
    code = code * 10 + (codeLine[i++] - '0');
    ++digits;
  }
  const bool quick = digits > 0 && digits < 5 && i == codeLine.size();
  if (!quick && (!parseInt(codeLine, code) || code < -32768 || code > 32767)) {
    if (trimBlanks(codeLine).empty() && pos_ >= bytes_.size()) return Step::end;  // last blank line
    error_ = "line " + std::to_string(codeLineNo) + ": a group code was expected, found \"" +
             std::string(codeLine.substr(0, 40)) + "\"";
    return Step::error;
  }
  std::string_view value;
  if (!readLine(value)) {
    error_ = "line " + std::to_string(codeLineNo) + ": group code " + std::to_string(code) +
             " has no value: the file is cut short";
    return Step::error;
  }
  last_ = Tag{static_cast<int>(code), value, codeLineNo};
  tag = last_;
  return Step::tag;
}

Tokenizer::Mark Tokenizer::mark() const {
  return pushedBack_ ? lastMark_ : Mark{pos_, line_};
}

void Tokenizer::seek(Mark m) {
  pos_ = m.offset;
  line_ = m.line;
  pushedBack_ = false;
  error_.clear();
}

bool parseDouble(std::string_view text, double& out) {
  text = trimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  if (ec == std::errc::result_out_of_range) {
    out = HUGE_VAL;  // overflow: a value that is not finite, reported by the caller
    return end == text.data() + text.size();
  }
  return ec == std::errc() && end == text.data() + text.size();
}

bool parseInt(std::string_view text, std::int64_t& out) {
  text = trimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

bool parseHandle(std::string_view text, std::uint64_t& out) {
  text = trimBlanks(text);
  if (text.empty() || text.size() > 16) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, 16);
  return ec == std::errc() && end == text.data() + text.size();
}

std::size_t formatReal(double value, char* buffer) {
  char* p = buffer;
  const double magnitude = std::fabs(value);
  if (value == std::trunc(value) && magnitude < 1e15) {
    // Whole numbers, the most common case in drawings: digits and ".0".
    long long whole = static_cast<long long>(value);
    if (whole == 0 && std::signbit(value)) *p++ = '-';
    p = std::to_chars(p, buffer + 32, whole).ptr;
    *p++ = '.';
    *p++ = '0';
    return static_cast<std::size_t>(p - buffer);
  }
  const bool plain = magnitude >= 1e-5 && magnitude < 1e15;
  p = std::to_chars(buffer, buffer + 32, value,
                    plain ? std::chars_format::fixed : std::chars_format::scientific)
          .ptr;
  std::size_t n = static_cast<std::size_t>(p - buffer);
  if (!std::memchr(buffer, '.', n)) {
    // Scientific form without a fraction, like 1e-20: make it 1.0e-20.
    char* e = static_cast<char*>(std::memchr(buffer, 'e', n));
    if (e) {
      std::memmove(e + 2, e, static_cast<std::size_t>(p - e));
      e[0] = '.';
      e[1] = '0';
      n += 2;
    }
  }
  return n;
}

std::string formatHandle(std::uint64_t handle) {
  char buffer[24];
  char* end = std::to_chars(buffer, buffer + sizeof buffer, handle, 16).ptr;
  for (char* c = buffer; c != end; ++c)
    if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
  return std::string(buffer, end);
}

// ---- text output

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}

TextSink::TextSink(FlushFn flush, void* context) : flush_(flush), context_(context) {
  buffer_.reserve(kFlushSize + 4096);
}

TextSink::~TextSink() = default;

void TextSink::tag(int code, std::string_view value) {
  char head[16];
  char* p = head;
  if (code >= 0 && code < 10) {
    *p++ = ' ';
    *p++ = ' ';
  } else if (code >= 10 && code < 100) {
    *p++ = ' ';
  }
  p = std::to_chars(p, head + sizeof head - 2, code).ptr;
  *p++ = '\r';
  *p++ = '\n';
  buffer_.append(head, p);
  buffer_.append(value);
  buffer_.append("\r\n", 2);
  if (buffer_.size() >= kFlushSize) flushBuffer();
}

bool TextSink::flushBuffer() {
  if (!good()) {
    buffer_.clear();
    return false;
  }
  if (!buffer_.empty() && !flush_(context_, buffer_, failure_)) {
    if (failure_.empty()) failure_ = "the output could not be written";
  }
  buffer_.clear();
  return good();
}

bool TextSink::finish() { return flushBuffer(); }

StringSink::StringSink()
    : TextSink(
          [](void* ctx, std::string_view bytes, std::string&) {
            static_cast<StringSink*>(ctx)->text.append(bytes);
            return true;
          },
          this) {}

}  // namespace orv::dxf
