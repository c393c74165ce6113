// Reading a settings file's bytes into a document, finding its sections and
// keys, answering queries, and writing the bytes back.
#include "orv/settings/profile_document.h"

#include <cstring>
#include <limits>
#include <unordered_set>

#include "blanks.h"
#include "orv/text/case_fold.h"
#include "orv/text/encoding.h"

namespace orv::settings {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";


// Decodes bytes into UTF-8 text, or says why they are not text.
std::optional<std::string> decode(std::string_view bytes, FileEncoding& encoding,
                                  std::string& whyNot) {
  if (bytes.starts_with(kUtf16LeBom)) {
    encoding = FileEncoding::Utf16Le;
    auto text = text::utf16leToUtf8(bytes.substr(kUtf16LeBom.size()));
    if (!text) {
      whyNot = "不是文本文件（UTF-16 编码已损坏）";
      return std::nullopt;
    }
    if (text->find('\0') != std::string::npos) {
      whyNot = "不是文本文件（含有空字符）";
      return std::nullopt;
    }
    return text;
  }
  if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) {
    whyNot = bytes.starts_with(kUtf16BeBom) ? "是不支持的 UTF-16 大端编码"
                                            : "不是文本文件（含有空字节）";
    return std::nullopt;
  }
  if (bytes.starts_with(kUtf8Bom)) {
    encoding = FileEncoding::Utf8WithBom;
    bytes.remove_prefix(kUtf8Bom.size());
    if (!text::isValidUtf8(bytes)) {
      whyNot = "不是文本文件（UTF-8 编码已损坏）";
      return std::nullopt;
    }
    return std::string(bytes);
  }
  if (text::isValidUtf8(bytes)) {
    encoding = FileEncoding::Utf8;
    return std::string(bytes);
  }
  encoding = FileEncoding::Gbk;
  auto text = text::gbkToUtf8(bytes);
  if (!text) whyNot = "不是文本文件（既不是 UTF-8 也不是 GBK 编码）";
  return text;
}

}  // namespace

std::optional<ProfileDocument> ProfileDocument::parse(std::string_view bytes, std::string* whyNot) {
  std::string reason;
  ProfileDocument doc;
  auto text = decode(bytes, doc.encoding_, reason);
  if (text && text->size() >= std::numeric_limits<std::uint32_t>::max()) {
    text.reset();
    reason = "过大";
  }
  if (!text) {
    if (whyNot) *whyNot = reason;
    return std::nullopt;
  }
  doc.text_ = std::move(*text);
  const std::size_t lf = doc.text_.find('\n');
  doc.newline_ = (lf != std::string::npos && lf > 0 && doc.text_[lf - 1] == '\r') ? "\r\n" : "\n";
  doc.index();
  return doc;
}

std::string ProfileDocument::serialize() const {
  switch (encoding_) {
    case FileEncoding::Utf8:
      return text_;
    case FileEncoding::Utf8WithBom:
      return std::string(kUtf8Bom) + text_;
    case FileEncoding::Utf16Le:
      return std::string(kUtf16LeBom) + text::utf8ToUtf16le(text_);
    case FileEncoding::Gbk:
      // Edits switch a document that GBK cannot hold to UTF-8 (setValue).
      if (auto bytes = text::utf8ToGbk(text_)) return std::move(*bytes);
      return text_;
  }
  return text_;
}

void ProfileDocument::index() {
  entries_.clear();
  const char* const data = text_.data();
  const auto size = static_cast<std::uint32_t>(text_.size());
  bool inSection = false;  // key lines before the first header belong to no section
  std::uint32_t pos = 0;
  while (pos < size) {
    const void* lf = std::memchr(data + pos, '\n', size - pos);
    const std::uint32_t next =
        lf ? static_cast<std::uint32_t>(static_cast<const char*>(lf) - data) + 1 : size;
    std::uint32_t end = lf ? next - 1 : size;
    if (lf && end > pos && data[end - 1] == '\r') --end;
    const std::uint32_t line = pos;
    pos = next;

    std::uint32_t b = line;
    while (b < end && isBlank(data[b])) ++b;
    if (b == end || data[b] == ';') continue;  // blank line or comment

    auto trimRange = [data](std::uint32_t from, std::uint32_t to) {
      while (from < to && isBlank(data[from])) ++from;
      while (to > from && isBlank(data[to - 1])) --to;
      return std::pair{from, to};
    };
    if (data[b] == '[') {
      std::uint32_t close = end;
      while (close > b + 1 && data[close - 1] != ']') --close;
      if (close > b + 1) {  // text after the last "]" is ignored
        const auto [nb, ne] = trimRange(b + 1, close - 1);
        entries_.push_back({Kind::Section, line, end, next, nb, ne, ne, ne});
        inSection = true;
        continue;
      }
    }
    if (!inSection) continue;
    const void* eq = std::memchr(data + b, '=', end - b);
    if (!eq) continue;  // a line without "=" is not a key
    const auto at = static_cast<std::uint32_t>(static_cast<const char*>(eq) - data);
    const auto [nb, ne] = trimRange(b, at);
    const auto [vb, ve] = trimRange(at + 1, end);
    entries_.push_back({Kind::Key, line, end, next, nb, ne, vb, ve});
  }
}

std::string_view ProfileDocument::name(const Entry& e) const {
  return std::string_view(text_).substr(e.nameBegin, e.nameEnd - e.nameBegin);
}

std::string_view ProfileDocument::rawValue(const Entry& e) const {
  return std::string_view(text_).substr(e.valueBegin, e.valueEnd - e.valueBegin);
}

std::size_t ProfileDocument::findSection(std::string_view section) const {
  section = trimBlanks(section);  // a name asked for matches without its blanks too
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].kind == Kind::Section && text::equalsFolded(name(entries_[i]), section))
      return i;
  }
  return entries_.size();
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < entries_.size() && entries_[i].kind == Kind::Key) ++i;
  return i;
}

std::optional<std::string_view> ProfileDocument::value(std::string_view section,
                                                       std::string_view key) const {
  const std::size_t header = findSection(section);
  if (header == entries_.size()) return std::nullopt;
  key = trimBlanks(key);
  for (std::size_t i = header + 1, end = sectionEnd(header); i < end; ++i) {
    if (!text::equalsFolded(name(entries_[i]), key)) continue;
    std::string_view v = rawValue(entries_[i]);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    return v;
  }
  return std::nullopt;
}

bool ProfileDocument::hasSection(std::string_view section) const {
  return findSection(section) != entries_.size();
}

std::vector<std::string> ProfileDocument::sectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Entry& e : entries_) {
    if (e.kind != Kind::Section || e.nameBegin == e.nameEnd) continue;
    if (seen.insert(text::foldCase(name(e))).second) names.emplace_back(name(e));
  }
  return names;
}

std::vector<std::string> ProfileDocument::keyNames(std::string_view section) const {
  std::vector<std::string> names;
  const std::size_t header = findSection(section);
  if (header == entries_.size()) return names;
  std::unordered_set<std::string> seen;
  for (std::size_t i = header + 1, end = sectionEnd(header); i < end; ++i) {
    const std::string_view key = name(entries_[i]);
    if (!key.empty() && seen.insert(text::foldCase(key)).second) names.emplace_back(key);
  }
  return names;
}

}  // namespace orv::settings
