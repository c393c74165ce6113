// What a session's text prompts offer a presentation (see text_entry.h).
#include "text_entry.h"

#include <unordered_map>

namespace orv::app {

namespace {

// Per session: commands run on the one thread that asks.
std::unordered_map<const Session*, const TextEntry*>& entries() {
  static std::unordered_map<const Session*, const TextEntry*> map;
  return map;
}

}  // namespace

const TextEntry* textEntry(const Session& s) {
  const auto& map = entries();
  const auto it = map.find(&s);
  return it == map.end() ? nullptr : it->second;
}

TextEntryScope::TextEntryScope(const Session& s, TextEntry entry)
    : session_(s), entry_(std::move(entry)), before_(textEntry(s)) {
  entries()[&s] = &entry_;
}

TextEntryScope::~TextEntryScope() {
  if (before_) entries()[&session_] = before_;
  else entries().erase(&session_);
}

std::vector<std::string> contentLines(const std::string& content) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\\' && i + 1 < content.size()) {
      if (content[i + 1] == 'P') {
        lines.emplace_back();
        ++i;
        continue;
      }
      lines.back() += content[i];
      lines.back() += content[++i];  // an escaped character stays escaped
      continue;
    }
    lines.back() += content[i];
  }
  return lines;
}

std::string joinedContent(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\\P" : "") + lines[i];
  return out;
}

}  // namespace orv::app
