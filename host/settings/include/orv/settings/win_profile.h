// The Windows profile-file functions on wide strings and caller buffers, with
// the Windows results: what GetPrivateProfileStringW, GetPrivateProfileIntW
// and WritePrivateProfileStringW return for the same file and arguments.
// Each takes an optional problem string: it receives a one-line message (UTF-8,
// in Chinese, naming the file) when the file cannot be read, is not text, or
// cannot be written, and is left empty otherwise. A missing file is no problem.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::settings {

// Copies the value of key in section to buffer: at most size - 1 characters and
// a terminator; returns the number of characters copied (size - 1 when the value
// was cut). A missing key gives defaultValue without its trailing blanks (null:
// empty). A null section lists every section name, a null key every key of the
// section: each name terminated, the list ending with a second terminator; a
// list cut short by the buffer ends with two terminators and returns size - 2.
// A null buffer or a size of 0 returns 0.
std::uint32_t getPrivateProfileString(const wchar_t* section, const wchar_t* key,
                                      const wchar_t* defaultValue, wchar_t* buffer,
                                      std::uint32_t size, const wchar_t* fileName,
                                      std::string* problem = nullptr);

// The value of key as a number (profileTextToInt); a missing key or an empty
// value gives defaultValue.
unsigned getPrivateProfileInt(const wchar_t* section, const wchar_t* key, int defaultValue,
                              const wchar_t* fileName, std::string* problem = nullptr);

// Sets key in section to value, creating the file, section or key where
// missing; a null value removes the key, a null key the section. All three
// null is accepted and does nothing (there is no cache to flush). False when
// the change was not saved.
bool writePrivateProfileString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                               const wchar_t* fileName, std::string* problem = nullptr);

// A value read as a number the Windows way: leading blanks, an optional sign,
// then decimal digits, or hexadecimal digits after "0x", up to the first other
// character. No digits give 0; a negative number wraps to its unsigned form;
// overflow wraps modulo 2^32.
unsigned profileTextToInt(std::wstring_view text);

}  // namespace orv::settings
