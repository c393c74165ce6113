// The lowest DXF layer: splitting ASCII DXF into tags, parsing their values, and sinks that take tags.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv::dxf {

// One group code and its value, as bytes of the file (no decoding).
struct Tag {
  int code = 0;
  std::string_view value;
  std::size_t line = 0;  // line number of the group code, from 1
};

// Reads tags from an ASCII DXF held in memory. Lines end with LF or CRLF; codes may be
// padded with blanks. Nothing is copied: values point into the input.
class ReadAhead;

class Tokenizer {
 public:
  enum class Step { tag, end, error };

  explicit Tokenizer(std::string_view bytes);
  ~Tokenizer();
  Tokenizer(const Tokenizer&) = delete;
  Tokenizer& operator=(const Tokenizer&) = delete;

  // The next tag; `end` when the input is exhausted, `error` (see error()) when a code
  // line is not a number or the value line is missing.
  Step next(Tag& tag) {
    if (pushedBack_ || !error_.empty()) return againOrError(tag);
    if (ahead_) return nextAhead(tag);
    lastMark_ = Mark{pos_, line_};
    if (quickTag(tag)) return Step::tag;
    return nextInGeneral(tag);
  }
  // Makes the last tag read the next one again.
  void pushBack() { pushedBack_ = true; }
  const std::string& error() const { return error_; }
  // The line error() is about, and what is wrong there (error() without the line).
  std::size_t errorLine() const { return errorLine_; }
  const std::string& errorReason() const { return errorReason_; }
  std::size_t line() const { return line_; }

  // A position to come back to (for reading a stretch of tags twice).
  struct Mark {
    std::size_t offset;
    std::size_t line;
  };
  Mark mark() const;
  void seek(Mark m);

  // From here on, a second thread splits the tags and parses their real numbers ahead
  // of the caller, which gets the same tags, errors and line numbers as without it (and
  // parseDouble of the tag just given returns the number parsed there). `blockTags` is
  // how many tags go from one thread to the other at a time. False when no thread could
  // be had: reading goes on here.
  bool startReadAhead(std::size_t blockTags = 1024);
  // Back to reading on the caller's thread alone, where the caller has got to.
  void stopReadAhead();
  bool readingAhead() const { return ahead_ != nullptr; }

 private:
  friend class ReadAhead;
  // The tag pushed back, or the error that stopped reading.
  Step againOrError(Tag& tag);
  Step nextAhead(Tag& tag);
  bool readLine(std::string_view& line);
  // Reads a tag of the usual form at once; false (nothing consumed) for any other.
  // Inline (below): it runs for every tag of a drawing.
  bool quickTag(Tag& tag);
  // Every form of tag, and the ends of the input.
  Step nextInGeneral(Tag& tag);

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
  Tag last_;
  Mark lastMark_{0, 0};
  bool pushedBack_ = false;
  std::string error_;
  std::size_t errorLine_ = 0;
  std::string errorReason_;
  std::unique_ptr<ReadAhead> ahead_;
  void setError(std::size_t line, std::string reason);
};

// ---- the tokenizer's fast path

namespace detail {

// The first line feed in [p, end), or end. Eight bytes at a time: values are mostly
// short, and a call to memchr costs more than it saves on them.
inline const char* findLineFeed(const char* p, const char* end) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  constexpr std::uint64_t kFeeds = 0x0A0A0A0A0A0A0A0Au;
  for (int words = 0; end - p >= 8; ++words, p += 8) {
    if (words == 8) {  // a long value, such as hex data: the library is faster there
      const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
      return nl ? static_cast<const char*>(nl) : end;
    }
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    const std::uint64_t x = w ^ kFeeds;  // a zero byte where a line feed was
    // The lowest flagged byte is the first zero byte (those above it may be false hits).
    const std::uint64_t found = (x - kOnes) & ~x & kHighs;
    if (found) return p + std::countr_zero(found) / 8;
  }
  while (p != end && *p != '\n') ++p;
  return p;
}

}  // namespace detail

inline bool Tokenizer::quickTag(Tag& tag) {
  // The form every writer uses: a code of one to four digits, right-aligned with blanks,
  // then LF or CRLF; then a value line ending in LF or CRLF. Anything else is left to
  // the general path.
  const char* const begin = bytes_.data() + pos_;
  const char* const end = bytes_.data() + bytes_.size();
  const char* p = begin;
  int code = 0;
  const char* value = nullptr;
  if (end - p >= 5 && (p[3] == '\n' || (p[3] == '\r' && p[4] == '\n'))) {
    // Right-aligned in three columns, as AutoCAD and this program write codes: decoded
    // without a loop, whose exit the processor would mispredict at every tag.
    const unsigned d0 = static_cast<unsigned>(p[0] - '0');
    const unsigned d1 = static_cast<unsigned>(p[1] - '0');
    const unsigned d2 = static_cast<unsigned>(p[2] - '0');
    const bool blank0 = p[0] == ' ', blank1 = p[1] == ' ';
    const bool ok = d2 < 10u && (d1 < 10u ? (d0 < 10u || blank0) : (blank1 && blank0));
    if (!ok) return false;
    code = static_cast<int>((d0 < 10u ? d0 * 100 : 0) + (d1 < 10u ? d1 * 10 : 0) + d2);
    value = p + (p[3] == '\n' ? 4 : 5);
  } else {
    while (p != end && *p == ' ') ++p;
    const char* const digits = p;
    while (p != end && p - digits < 4 && static_cast<unsigned>(*p - '0') < 10u)
      code = code * 10 + (*p++ - '0');
    if (p == digits || end - p < 2) return false;
    if (*p == '\r') ++p;
    if (*p != '\n') return false;
    value = ++p;
  }
  const char* nl = detail::findLineFeed(value, end);
  if (nl == end) return false;  // the last line: let the general path see how it ends
  const char* valueEnd = nl != value && nl[-1] == '\r' ? nl - 1 : nl;
  pos_ = static_cast<std::size_t>(nl + 1 - bytes_.data());
  // Built in registers and stored to both: copying last_ to tag would read back what was
  // just stored in pieces, which stalls the processor.
  const Tag t{code, std::string_view(value, static_cast<std::size_t>(valueEnd - value)), line_ + 1};
  line_ += 2;
  last_ = t;
  tag = t;
  return true;
}

namespace detail {
// The real number of the tag the read-ahead last gave this thread, parsed on the other
// thread: the text it was parsed from, and the value (only ever a number that parsed).
struct ParsedReal {
  const char* text = nullptr;
  std::size_t size = 0;
  double value = 0.0;
};
bool parseDoubleText(std::string_view text, double& out);
// How many read-aheads run in the process, and parseDouble's way while one does: the
// number the read-ahead parsed for this thread's last tag (kept in the file that holds
// that thread-local value, so no other library reaches it across a boundary).
extern std::atomic<int> readAheadsRunning;
bool parseDoubleAhead(std::string_view text, double& out);
}  // namespace detail

// Value parsing. Blanks around a number are allowed; false when the text is no number.
// A real the read-ahead thread already parsed is taken from there; with no read-ahead
// running (the usual case) the text is parsed without looking.
inline bool parseDouble(std::string_view text, double& out) {
  if (detail::readAheadsRunning.load(std::memory_order_relaxed) != 0) [[unlikely]]
    return detail::parseDoubleAhead(text, out);
  return detail::parseDoubleText(text, out);
}
// A value without the blanks around it: spaces, tabs and carriage returns, as numbers
// are read and as values kept as read are saved.
std::string_view trimBlanks(std::string_view s);
bool parseInt(std::string_view text, std::int64_t& out);
bool parseHandle(std::string_view text, std::uint64_t& out);  // hex, 1 to 16 digits

// Value formatting. A real is the shortest text that reads back to the same double and
// always has a decimal point. The buffer must hold 32 characters; returns the length.
std::size_t formatReal(double value, char* buffer);
std::string formatHandle(std::uint64_t handle);

// Where a writer puts tags.
class TagSink {
 public:
  virtual ~TagSink() = default;
  virtual void tag(int code, std::string_view value) = 0;
  // False once something could not be written; the message says why.
  virtual bool good() const { return true; }
  virtual std::string failure() const { return {}; }
};

// Formats tags as ASCII DXF text: the code right-aligned in three columns, CRLF line
// ends. Bytes go to `flush` in large pieces; a false return stops further output.
class TextSink : public TagSink {
 public:
  using FlushFn = bool (*)(void* context, std::string_view bytes, std::string& failure);
  TextSink(FlushFn flush, void* context);
  ~TextSink() override;
  void tag(int code, std::string_view value) override;
  bool finish();  // writes what is buffered
  bool good() const override { return failure_.empty(); }
  std::string failure() const override { return failure_; }

 private:
  bool flushBuffer();
  FlushFn flush_;
  void* context_;
  std::string buffer_;
  std::string failure_;
};

// Collects tags in memory, for tests and for callers that want the whole file as text.
class CollectingSink : public TagSink {
 public:
  struct Item {
    int code;
    std::string value;
    bool operator==(const Item&) const = default;
  };
  void tag(int code, std::string_view value) override {
    items.push_back(Item{code, std::string(value)});
  }
  std::vector<Item> items;
};

// A TextSink into a string.
class StringSink : public TextSink {
 public:
  StringSink();
  std::string text;
};

}  // namespace orv::dxf
