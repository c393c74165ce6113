// Tokenizer, value parsing and formatting, and the text sink of the DXF tag layer.
#include "orv/dxf/tags.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>

namespace orv::dxf {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

namespace {

// Bytes to quote in a message: printable ASCII as it is, anything else as \xNN (a
// code line that is no number may hold any bytes, and the message must stay text).
std::string printable(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

Tokenizer::Tokenizer(std::string_view bytes) : bytes_(bytes) {
  // A byte-order mark is not part of the first code.
  if (bytes_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

Tokenizer::~Tokenizer() { stopReadAhead(); }

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

Tokenizer::Step Tokenizer::againOrError(Tag& tag) {
  if (!pushedBack_) return Step::error;
  pushedBack_ = false;
  tag = last_;
  return Step::tag;
}

Tokenizer::Step Tokenizer::nextInGeneral(Tag& tag) {
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
    setError(codeLineNo, "此处应为组码，却是“" + printable(codeLine.substr(0, 40)) + "”");
    return Step::error;
  }
  std::string_view value;
  if (!readLine(value)) {
    setError(codeLineNo, "组码 " + std::to_string(code) + " 没有值：文件不完整");
    return Step::error;
  }
  last_ = Tag{static_cast<int>(code), value, codeLineNo};
  tag = last_;
  return Step::tag;
}

void Tokenizer::setError(std::size_t line, std::string reason) {
  error_ = "第 " + std::to_string(line) + " 行：" + reason;
  errorLine_ = line;
  errorReason_ = std::move(reason);
}

Tokenizer::Mark Tokenizer::mark() const {
  return pushedBack_ ? lastMark_ : Mark{pos_, line_};
}


namespace {

// Exact powers of ten: a whole number below 2^53 divided by one of them is the correctly
// rounded value of the decimal, the same double any correct parser gives.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// ---- eight digits at a time (the first character in the lowest byte)

constexpr std::uint64_t kZeros = 0x3030303030303030u;

std::uint64_t load8(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

// A high bit in each byte of w that is not an ASCII digit.
std::uint64_t nonDigits(std::uint64_t w) {
  constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0u;
  // A digit has high nibble 3, and still has it after adding 6; a carry out of a
  // byte that is no digit only disturbs the bytes after it.
  const std::uint64_t t = ((w & kHighNibbles) ^ kZeros) |
                          (((w + 0x0606060606060606u) & kHighNibbles) ^ kZeros);
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
  return (t | ((t & kLow7) + kLow7)) & 0x8080808080808080u;
}

// The number that eight digits make, the first the most significant.
std::uint64_t eightDigits(std::uint64_t w) {
  std::uint64_t d = w - kZeros;
  d = d * 10 + (d >> 8);
  return (((d & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) +
          (((d >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >> 32;
}

// Plain decimals of at most 15 digits, as drawings hold coordinates: "-1234.5". False
// for anything else (blanks, signs other than a leading minus, exponents, more digits).
bool parsePlainDecimalByBytes(std::string_view text, double& out) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  std::uint64_t mantissa = 0;
  const char* const first = p;
  while (p != end && static_cast<unsigned>(*p - '0') < 10u) mantissa = mantissa * 10 + (*p++ - '0');
  const auto whole = p - first;
  std::ptrdiff_t fraction = 0;
  if (p != end && *p == '.') {
    const char* const afterPoint = ++p;
    while (p != end && static_cast<unsigned>(*p - '0') < 10u) mantissa = mantissa * 10 + (*p++ - '0');
    fraction = p - afterPoint;
    if (fraction == 0) return false;
  }
  if (p != end || whole == 0 || whole + fraction > 15) return false;
  const double value = static_cast<double>(mantissa) / kPowersOfTen[fraction];
  out = negative ? -value : value;
  return true;
}

// The same, eight characters at a time for texts of eight characters or more, such as
// "31672.8125": the whole part from the first eight bytes, the fraction from the last.
bool parsePlainDecimal(std::string_view text, double& out) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  if (end - p < 8) return parsePlainDecimalByBytes(text, out);
  const std::uint64_t head = load8(p);
  const std::uint64_t headStops = nonDigits(head);
  if (headStops == 0) return parsePlainDecimalByBytes(text, out);  // eight digits or more
  const int whole = std::countr_zero(headStops) / 8;
  if (whole == 0) return false;
  std::uint64_t mantissa = eightDigits((head << (8 * (8 - whole))) | (kZeros >> (8 * whole)));
  const char* point = p + whole;
  int fraction = 0;
  if (point != end) {
    if (*point != '.') return false;
    fraction = static_cast<int>(end - point - 1);
    if (fraction == 0) return false;
    if (fraction > 8 || whole + fraction > 15) return parsePlainDecimalByBytes(text, out);
    // The fraction's digits are the last `fraction` bytes of the text; the bytes before
    // them are made zeros.
    const std::uint64_t tail = load8(end - 8);
    const int lead = 8 - fraction;
    const std::uint64_t kept = lead ? ~std::uint64_t{0} << (8 * lead) : ~std::uint64_t{0};
    const std::uint64_t digits = (tail & kept) | (kZeros & ~kept);
    if (nonDigits(digits) != 0) return false;
    mantissa = mantissa * static_cast<std::uint64_t>(kPowersOfTen[fraction]) + eightDigits(digits);
  }
  const double value = static_cast<double>(mantissa) / kPowersOfTen[fraction];
  out = negative ? -value : value;
  return true;
}

}  // namespace

namespace detail {
thread_local ParsedReal lastParsedReal;
std::atomic<int> readAheadsRunning{0};
}

bool detail::parseDoubleAhead(std::string_view text, double& out) {
  const detail::ParsedReal& parsed = detail::lastParsedReal;
  if (parsed.text && text.data() == parsed.text && text.size() == parsed.size) {
    out = parsed.value;
    return true;
  }
  return detail::parseDoubleText(text, out);
}

bool detail::parseDoubleText(std::string_view text, double& out) {
  if (parsePlainDecimal(text, out)) return true;
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
  // Up to 18 digits cannot overflow: the common short values without from_chars.
  const bool negative = text.front() == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (!digits.empty() && digits.size() <= 18) {
    std::int64_t v = 0;
    for (char c : digits) {
      const unsigned d = static_cast<unsigned char>(c) - unsigned{'0'};
      if (d > 9) return false;
      v = v * 10 + static_cast<std::int64_t>(d);
    }
    out = negative ? -v : v;
    return true;
  }
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

bool parseHandle(std::string_view text, std::uint64_t& out) {
  text = trimBlanks(text);
  if (text.empty() || text.size() > 16) return false;
  std::uint64_t v = 0;
  for (char c : text) {
    const unsigned lower = static_cast<unsigned char>(c) | 0x20u;  // 'A'-'F' as 'a'-'f'
    unsigned d;
    if (static_cast<unsigned char>(c) - unsigned{'0'} <= 9) d = static_cast<unsigned char>(c) - unsigned{'0'};
    else if (lower - unsigned{'a'} <= 5) d = lower - unsigned{'a'} + 10;
    else return false;
    v = v << 4 | d;
  }
  out = v;
  return true;
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


// ---- reading ahead on a second thread

namespace {

// Group codes whose values are reals: those the read-ahead parses.
bool isRealGroupCode(int code) {
  return (code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
         (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059);
}

}  // namespace

// The tags from a place of the input on, split (and their reals parsed) by a thread of
// its own into blocks of a ring, which the reader takes in turn. The reader keeps the
// last few blocks it read, so that it may go back to the start of the object it reads.
//
// Every tag takes two lines, so the n-th tag read ahead has its code on line
// from.line + 1 + 2n and starts where the one before it ends: an entry holds no more
// than where its value ends, which keeps the ring small for the processor's caches.
class ReadAhead {
 public:
  struct Entry {
    std::uint64_t end;   // offset after the value's line
    std::uint32_t size;  // of the value
    std::int16_t code;
    std::uint8_t lineEnd;  // bytes between the value and `end`: 0 (the input's end), 1 or 2
    bool realParsed;       // `real` holds the value's number
    double real;
  };
  struct Block {
    std::vector<Entry> entries;
    std::size_t count = 0;
    bool last = false;  // after its entries the input ends, or a tag is broken
  };

  ReadAhead(std::string_view bytes, Tokenizer::Mark from, std::size_t blockTags)
      : bytes_(bytes), from_(from), blockTags_(blockTags < 1 ? 1 : blockTags), ring_(kRing) {
    for (Block& b : ring_) b.entries.resize(blockTags_);
  }
  ~ReadAhead() { stop(); }

  void start() { thread_ = std::thread([this] { produce(); }); }
  void stop() {
    if (!thread_.joinable()) return;
    stop_.store(true, std::memory_order_relaxed);
    released_.fetch_add(1, std::memory_order_release);  // wakes a producer waiting for room
    released_.notify_all();
    thread_.join();
  }

  // The block the reader is at, once the producer has finished it.
  const Block& current() {
    while (seenReady_ <= block_) {
      const std::uint32_t r = ready_.load(std::memory_order_acquire);
      if (r > block_) {
        seenReady_ = r;
        break;
      }
      ready_.wait(r, std::memory_order_acquire);
    }
    return ring_[block_ % kRing];
  }
  // Where the reader stands: the number of the next tag it gets, counted from `from`.
  std::size_t tagNumber() const { return std::size_t{block_} * blockTags_ + index_; }
  const char* valueOf(const Entry& e) const { return bytes_.data() + e.end - e.lineEnd - e.size; }
  std::size_t lineOf(std::size_t tag) const { return from_.line + 1 + 2 * tag; }

  // Steps to the next block, giving back those the reader no longer keeps.
  void nextBlock() { setPlace(block_ + 1, 0); }
  // Puts the reader at a mark taken among the tags read ahead; false when the blocks
  // kept do not reach back that far, or the mark is not where a tag starts.
  bool locate(Tokenizer::Mark m) {
    if (m.line < from_.line || (m.line - from_.line) % 2 != 0) return false;
    const std::size_t tag = (m.line - from_.line) / 2;
    const std::size_t b = tag / blockTags_, i = tag % blockTags_;
    if (b < held_ || b > seenReady_) return false;
    // Where that tag starts: where the one before it ends.
    std::size_t start = from_.offset;
    if (tag > 0) {
      const std::size_t pb = (tag - 1) / blockTags_, pi = (tag - 1) % blockTags_;
      if (pb < held_ || pb >= seenReady_ || pi >= ring_[pb % kRing].count) return false;
      start = ring_[pb % kRing].entries[pi].end;
    }
    if (start != m.offset) return false;
    if (b < seenReady_) {
      const Block& block = ring_[b % kRing];
      if (i > block.count || (i == block.count && !block.last)) return false;
    } else if (i != 0) {
      return false;
    }
    setPlace(static_cast<std::uint32_t>(b), i);
    return true;
  }

  std::size_t index_ = 0;  // the reader's place in block_
  // How the input ends after the last block: set before that block is published.
  Tokenizer::Step endStep = Tokenizer::Step::end;
  Tokenizer::Mark endMark{0, 0};
  std::string error, errorReason;
  std::size_t errorLine = 0;

 private:
  static constexpr std::uint32_t kRing = 16;
  static constexpr std::uint32_t kKept = 4;  // blocks the reader keeps: the one it reads and three before

  void setPlace(std::uint32_t b, std::size_t i) {
    block_ = b;
    index_ = i;
    if (block_ >= kKept && block_ - (kKept - 1) > held_) {
      held_ = block_ - (kKept - 1);
      released_.store(held_, std::memory_order_release);
      released_.notify_one();
    }
  }

  void produce() {
    Tokenizer t(bytes_);
    t.seek(from_);
    for (std::uint32_t b = 0;; ++b) {
      for (std::uint32_t r = released_.load(std::memory_order_acquire); b - r >= kRing;
           r = released_.load(std::memory_order_acquire)) {
        if (stop_.load(std::memory_order_relaxed)) return;
        released_.wait(r, std::memory_order_acquire);
      }
      if (stop_.load(std::memory_order_relaxed)) return;
      Block& block = ring_[b % kRing];
      block.count = 0;
      block.last = false;
      while (block.count < blockTags_) {
        Tag tag;
        const Tokenizer::Step step = t.next(tag);
        if (step != Tokenizer::Step::tag) {
          endStep = step;
          endMark = Tokenizer::Mark{t.pos_, t.line_};
          error = t.error();
          errorReason = t.errorReason();
          errorLine = t.errorLine();
          block.last = true;
          break;
        }
        Entry& e = block.entries[block.count++];
        e.end = t.pos_;
        e.size = static_cast<std::uint32_t>(tag.value.size());
        e.code = static_cast<std::int16_t>(tag.code);
        e.lineEnd = static_cast<std::uint8_t>(t.pos_ - static_cast<std::size_t>(tag.value.data() - bytes_.data()) -
                                              tag.value.size());
        e.realParsed = isRealGroupCode(tag.code) && detail::parseDoubleText(tag.value, e.real);
      }
      ready_.store(b + 1, std::memory_order_release);
      ready_.notify_one();
      if (block.last) return;
    }
  }

  std::string_view bytes_;
  Tokenizer::Mark from_;
  std::size_t blockTags_;
  std::vector<Block> ring_;
  std::atomic<std::uint32_t> ready_{0};     // blocks the producer has finished
  std::atomic<std::uint32_t> released_{0};  // blocks below this one are free again
  std::atomic<bool> stop_{false};
  std::thread thread_;
  // The reader's own: its block, what it saw of ready_, and the oldest block it keeps.
  std::uint32_t block_ = 0;
  std::uint32_t seenReady_ = 0;
  std::uint32_t held_ = 0;
};

void Tokenizer::seek(Mark m) {
  if (ahead_ && !ahead_->locate(m)) stopReadAhead();  // read on here from the mark
  pos_ = m.offset;
  line_ = m.line;
  pushedBack_ = false;
  error_.clear();
  errorLine_ = 0;
  errorReason_.clear();
}

bool Tokenizer::startReadAhead(std::size_t blockTags) {
  if (ahead_) return true;
  if (!error_.empty()) return false;
  // Values longer than a block entry holds are left to this thread.
  if (bytes_.size() >= (std::size_t{1} << 32)) return false;
  try {
    auto ahead = std::make_unique<ReadAhead>(bytes_, Mark{pos_, line_}, blockTags);
    ahead->start();
    ahead_ = std::move(ahead);
    detail::readAheadsRunning.fetch_add(1, std::memory_order_relaxed);
  } catch (const std::system_error&) {
    return false;  // no thread to be had
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void Tokenizer::stopReadAhead() {
  if (!ahead_) return;
  ahead_->stop();
  ahead_.reset();
  detail::lastParsedReal = detail::ParsedReal{};
  detail::readAheadsRunning.fetch_sub(1, std::memory_order_relaxed);
}

Tokenizer::Step Tokenizer::nextAhead(Tag& tag) {
  lastMark_ = Mark{pos_, line_};
  ReadAhead& a = *ahead_;
  for (;;) {
    const ReadAhead::Block& block = a.current();
    if (a.index_ < block.count) {
      const std::size_t line = a.lineOf(a.tagNumber());
      const ReadAhead::Entry& e = block.entries[a.index_++];
      const char* value = a.valueOf(e);
      pos_ = e.end;
      line_ = line + 1;
      const Tag t{e.code, std::string_view(value, e.size), line};
      last_ = t;
      tag = t;
      detail::lastParsedReal = e.realParsed ? detail::ParsedReal{value, e.size, e.real} : detail::ParsedReal{};
      return Step::tag;
    }
    if (!block.last) {
      a.nextBlock();
      continue;
    }
    pos_ = a.endMark.offset;
    line_ = a.endMark.line;
    detail::lastParsedReal = detail::ParsedReal{};
    if (a.endStep == Step::error) {
      error_ = a.error;
      errorLine_ = a.errorLine;
      errorReason_ = a.errorReason;
    }
    return a.endStep;
  }
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
    if (failure_.empty()) failure_ = "无法写入";
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
