// Case-insensitive comparison of names (section and key names, command names):
// simple one-to-one case folding for ASCII, Latin, Greek, Cyrillic, Armenian and
// full-width Latin letters. Characters without case, CJK among them, fold to themselves.
#pragma once

#include <string>
#include <string_view>

namespace orv::text {

// The folded (lower-case) form of one code point.
char32_t foldCase(char32_t codePoint);
// The folded form of UTF-8 text; invalid bytes are kept as they are.
std::string foldCase(std::string_view utf8);
// True when two UTF-8 texts are equal after folding.
bool equalsFolded(std::string_view a, std::string_view b);

}  // namespace orv::text
