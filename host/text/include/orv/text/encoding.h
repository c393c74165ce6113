// Conversions between the host's text forms: UTF-8 inside the host, wide text
// (one wchar_t per code point) at the SDK boundary, and the GBK code page
// (Windows code page 936) of files made on Chinese Windows systems.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orv::text {

// UTF-8 to wide text. An invalid byte sequence becomes U+FFFD.
std::wstring widen(std::string_view utf8);
// Wide text to UTF-8. A value that is not a Unicode scalar becomes U+FFFD.
std::string narrow(std::wstring_view wide);

bool isValidUtf8(std::string_view bytes);

// GBK bytes to UTF-8; nullopt when the bytes are not valid GBK.
std::optional<std::string> gbkToUtf8(std::string_view gbk);
// UTF-8 to GBK bytes; nullopt when a character has no GBK form.
std::optional<std::string> utf8ToGbk(std::string_view utf8);

// One code point in GBK, appended to out; false (out unchanged) when GBK lacks it.
bool appendGbk(char32_t codePoint, std::string& out);
// Decodes the GBK character at the start of bytes into codePoint and returns the
// number of bytes it takes (1 or 2), or 0 when the bytes do not start one.
std::size_t decodeGbk(std::string_view bytes, char32_t& codePoint);

// Appends the UTF-8 form of a code point (U+FFFD for a value that is not a
// Unicode scalar).
void appendUtf8(char32_t codePoint, std::string& out);
// Decodes the UTF-8 character at the start of bytes into codePoint and returns
// the number of bytes it takes, or 0 when the bytes do not start a well-formed
// one (overlong forms, surrogates and values past U+10FFFF are not).
std::size_t decodeUtf8(std::string_view bytes, char32_t& codePoint);

// UTF-16LE bytes (without byte-order mark) to UTF-8; nullopt when the length is
// odd or a surrogate is unpaired.
std::optional<std::string> utf16leToUtf8(std::string_view bytes);
// UTF-8 to UTF-16LE bytes; an invalid byte sequence becomes U+FFFD.
std::string utf8ToUtf16le(std::string_view utf8);

}  // namespace orv::text
