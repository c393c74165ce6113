// The lowest DXF layer: splitting ASCII DXF into tags, parsing their values, and sinks that take tags.
#pragma once

#include <cstddef>
#include <cstdint>
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
class Tokenizer {
 public:
  enum class Step { tag, end, error };

  explicit Tokenizer(std::string_view bytes);

  // The next tag; `end` when the input is exhausted, `error` (see error()) when a code
  // line is not a number or the value line is missing.
  Step next(Tag& tag);
  // Makes the last tag read the next one again.
  void pushBack() { pushedBack_ = true; }
  const std::string& error() const { return error_; }
  std::size_t line() const { return line_; }

  // A position to come back to (for reading a stretch of tags twice).
  struct Mark {
    std::size_t offset;
    std::size_t line;
  };
  Mark mark() const;
  void seek(Mark m);

 private:
  bool readLine(std::string_view& line);

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
  Tag last_;
  Mark lastMark_{0, 0};
  bool pushedBack_ = false;
  std::string error_;
};

// Value parsing. Blanks around a number are allowed; false when the text is no number.
bool parseDouble(std::string_view text, double& out);
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
