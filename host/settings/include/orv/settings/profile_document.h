// A settings (profile, ".ini") file as a document: its bytes decoded once, every
// line kept exactly as it was, the section headers and key lines found in it,
// and the edits a write makes. Pure: no file access; the file layer feeds it bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::settings {

// How a settings file is stored. A file keeps its encoding when rewritten.
enum class FileEncoding {
  Utf8,         // UTF-8 without byte-order mark (what new files use)
  Utf8WithBom,  // UTF-8 after the bytes EF BB BF
  Utf16Le,      // UTF-16 little-endian after the bytes FF FE
  Gbk,          // code page 936, as written by Chinese Windows
};

// What an edit did to the document.
enum class Change {
  None,  // the document already said so: nothing to write
  Made,
};

class ProfileDocument {
 public:
  // An empty document, as a new file: UTF-8 without byte-order mark, "\n" line ends.
  ProfileDocument() = default;

  // Reads a file's bytes. Returns nullopt, and the reason (Chinese, for a
  // message) in whyNot, when the bytes are not text in a known encoding: NUL
  // bytes outside UTF-16, bytes valid in neither UTF-8 nor GBK, damaged UTF-16.
  static std::optional<ProfileDocument> parse(std::string_view bytes,
                                              std::string* whyNot = nullptr);

  // The file's bytes: the original bytes for every line no edit touched.
  std::string serialize() const;

  FileEncoding encoding() const { return encoding_; }
  // The line end used for lines an edit adds: the file's first one, "\n" when it has none.
  std::string_view newline() const { return newline_; }
  // The whole text in UTF-8, without byte-order mark.
  std::string_view text() const { return text_; }

  // The value a reader sees: blanks around it dropped, enclosing matching
  // quotes removed. Names match case-insensitively; the first section of a
  // name and the first key of a name in it win. nullopt when there is no such key.
  std::optional<std::string_view> value(std::string_view section, std::string_view key) const;
  bool hasSection(std::string_view section) const;
  // Section names in file order, each name once (its first spelling).
  std::vector<std::string> sectionNames() const;
  // Key names of the first section of that name, each once; empty when there is none.
  std::vector<std::string> keyNames(std::string_view section) const;

  // Why section, key and value cannot be written as one line each (a line
  // break in any, "]" in the section name, "=" in the key name, an empty key
  // name...), in Chinese; empty when they can. Null key or value: not checked.
  static std::string checkWritable(std::string_view section, const std::string_view* key,
                                   const std::string_view* value);

  // Sets key in section to value: changes the key's first line in place, or adds
  // "key=value" after the last key line of the section, or adds the section at
  // the end. Every other line stays as it was. The arguments must pass
  // checkWritable. A GBK document becomes UTF-8 when GBK cannot hold the new text
  // (see keepReadableAsGbk).
  Change setValue(std::string_view section, std::string_view key, std::string_view value);
  // Removes the key from every section of that name, so that it reads as missing.
  Change removeKey(std::string_view section, std::string_view key);
  // Removes every section of that name with all its lines.
  Change removeSection(std::string_view section);

 private:
  enum class Kind : std::uint8_t { Section, Key };
  // A section header or key line. Offsets into text_: the line, its end before
  // the line break, the start of the next line, and the trimmed name and value.
  struct Entry {
    Kind kind;
    std::uint32_t line, lineEnd, next;
    std::uint32_t nameBegin, nameEnd;
    std::uint32_t valueBegin, valueEnd;
  };

  // Finds section headers and key lines again after the text changed.
  void index();
  std::string_view name(const Entry& e) const;
  std::string_view rawValue(const Entry& e) const;
  // Index of the first header named section, or entries_.size().
  std::size_t findSection(std::string_view section) const;
  // One past the last entry of the section whose header is at index header.
  std::size_t sectionEnd(std::size_t header) const;
  // Replaces text_ with the text minus the given [begin, end) ranges (sorted, disjoint).
  void cut(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& ranges);
  void insert(std::uint32_t at, const std::string& lines);
  // After an edit of a GBK document: switches it to UTF-8 when its text has no
  // GBK form, or when its GBK bytes would read back as other text in UTF-8 (an
  // edit may remove the only bytes that told the file was GBK).
  void keepReadableAsGbk();

  std::string text_;
  FileEncoding encoding_ = FileEncoding::Utf8;
  std::string newline_ = "\n";
  std::vector<Entry> entries_;
};

}  // namespace orv::settings
