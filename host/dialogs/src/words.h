// Comparing the words typed at a dialog's or a question's prompt.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace orv::dialogs {

// Equal but for the case of ASCII letters.
inline bool sameWord(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace orv::dialogs
