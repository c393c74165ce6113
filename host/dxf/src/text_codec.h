// Text of a DXF file to and from the database's UTF-8: code pages and \U+XXXX escapes.
#pragma once

#include <string>
#include <string_view>

namespace orv::dxf {

enum class CodePage { utf8, gbk, ansi1252, undeclared };

// The code page of a file from its $DWGCODEPAGE and $ACADVER (R2007 and later: UTF-8).
CodePage codePageOf(std::string_view dwgCodePage, std::string_view acadVersion);

// Bytes of the file to UTF-8: decoded by the code page, bytes invalid in it read as
// UTF-8 where they form it and as Windows-1252 otherwise, so no byte is dropped;
// \U+XXXX and \M+5XXXX (a GBK character) expanded.
std::string decodeText(std::string_view bytes, CodePage page);
// True when decodeText would return the bytes unchanged.
inline bool isPlainText(std::string_view bytes) {
  for (unsigned char c : bytes)
    if (c >= 0x80 || c == '\\') return false;
  return true;
}

// UTF-8 to the bytes the writer puts in an ANSI_936 file: GBK where it has the character,
// \U+XXXX where it does not, and control characters escaped so no value can break a line.
void encodeGbkText(std::string_view utf8, std::string& out);

}  // namespace orv::dxf
