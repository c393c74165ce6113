// The edits a write makes to a settings document: set a key, remove a key,
// remove a section. Each touches only the lines it must.
#include "orv/settings/profile_document.h"

#include "blanks.h"
#include "orv/text/case_fold.h"
#include "orv/text/encoding.h"

namespace orv::settings {
namespace {

bool hasLineBreak(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::string ProfileDocument::checkWritable(std::string_view section, const std::string_view* key,
                                           const std::string_view* value) {
  if (hasLineBreak(section)) return "节名含有换行符";
  if (section.find(']') != std::string_view::npos) return "节名含有“]”";
  if (key) {
    const std::string_view k = trimBlanks(*key);
    if (hasLineBreak(*key)) return "键名含有换行符";
    if (k.empty()) return "键名为空";
    if (k.find('=') != std::string_view::npos) return "键名含有“=”";
    if (k.front() == '[' || k.front() == ';') return "键名以“[”或“;”开头";
  }
  if (value && hasLineBreak(*value)) return "值含有换行符";
  return {};
}

void ProfileDocument::insert(std::uint32_t at, const std::string& lines) {
  text_.insert(at, lines);
  index();
}

void ProfileDocument::keepReadableAsGbk() {
  if (encoding_ != FileEncoding::Gbk) return;
  // Rather than lose a character GBK cannot hold, or have the file read as
  // UTF-8 next time with its Chinese text garbled, the file becomes UTF-8.
  const auto bytes = text::utf8ToGbk(text_);
  if (!bytes || (*bytes != text_ && text::isValidUtf8(*bytes))) encoding_ = FileEncoding::Utf8;
}

void ProfileDocument::cut(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& ranges) {
  std::string kept;
  kept.reserve(text_.size());
  std::uint32_t from = 0;
  for (const auto& [begin, end] : ranges) {
    kept.append(text_, from, begin - from);
    from = end;
  }
  kept.append(text_, from);
  text_ = std::move(kept);
  index();
  keepReadableAsGbk();
}

Change ProfileDocument::setValue(std::string_view section, std::string_view key,
                                 std::string_view value) {
  section = trimBlanks(section);
  key = trimBlanks(key);
  const std::size_t header = findSection(section);
  if (header != entries_.size()) {
    const std::size_t end = sectionEnd(header);
    bool replaced = false;
    for (std::size_t i = header + 1; i < end && !replaced; ++i) {
      const Entry& e = entries_[i];
      if (!text::equalsFolded(name(e), key)) continue;
      if (rawValue(e) == value) return Change::None;
      // The line keeps the key's spelling in the file; blanks and quotes go.
      text_.replace(e.line, e.lineEnd - e.line, std::string(name(e)) + "=" + std::string(value));
      index();
      replaced = true;
    }
    if (!replaced) {
      const Entry& anchor = entries_[end - 1];  // last key line, or the header
      const std::string added = std::string(key) + "=" + std::string(value) + newline_;
      // The file's last line may lack its line end: give it one first.
      insert(anchor.next, anchor.next == anchor.lineEnd ? newline_ + added : added);
    }
  } else {
    const std::string added = "[" + std::string(section) + "]" + newline_ + std::string(key) +
                              "=" + std::string(value) + newline_;
    const bool needsBreak = !text_.empty() && text_.back() != '\n';
    insert(static_cast<std::uint32_t>(text_.size()), needsBreak ? newline_ + added : added);
  }
  keepReadableAsGbk();
  return Change::Made;
}

Change ProfileDocument::removeKey(std::string_view section, std::string_view key) {
  section = trimBlanks(section);
  key = trimBlanks(key);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
  bool inMatchingSection = false;
  for (const Entry& e : entries_) {
    if (e.kind == Kind::Section) {
      inMatchingSection = text::equalsFolded(name(e), section);
    } else if (inMatchingSection && text::equalsFolded(name(e), key)) {
      ranges.emplace_back(e.line, e.next);
    }
  }
  if (ranges.empty()) return Change::None;
  cut(ranges);
  return Change::Made;
}

Change ProfileDocument::removeSection(std::string_view section) {
  section = trimBlanks(section);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].kind != Kind::Section || !text::equalsFolded(name(entries_[i]), section))
      continue;
    const std::size_t end = sectionEnd(i);
    // Everything up to the next header goes: keys, comments, blank lines.
    const auto stop =
        end < entries_.size() ? entries_[end].line : static_cast<std::uint32_t>(text_.size());
    ranges.emplace_back(entries_[i].line, stop);
  }
  if (ranges.empty()) return Change::None;
  cut(ranges);
  return Change::Made;
}

}  // namespace orv::settings
