// The few platform functions of the Windows API that modules use: the
// profile-file (.ini) functions and the module-file functions.
//
// The profile functions behave as their Windows namesakes: sections and keys
// match case-insensitively, blanks around names and values are dropped, a
// value in matching quotes loses them, and values are cut to the caller's
// buffer. Files may be UTF-8, UTF-16LE with a byte-order mark, or GBK; a file
// keeps its encoding when rewritten. Every write replaces the file atomically.
#pragma once

#include "adesk.h"

typedef int BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#define MAX_PATH 260

// Copies the value of key in section to buffer (at most size - 1 characters and
// a terminator) and returns the number of characters copied. A missing key gives
// defaultValue (trailing blanks removed; null means empty). A null section lists
// every section name, a null key every key of the section, each terminated, the
// list ending with a second terminator.
ORV_SDK_API DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                                           LPWSTR buffer, DWORD size, LPCWSTR fileName);
// The value of key as an integer: leading blanks, a sign, then decimal digits
// (or 0x hexadecimal) up to the first other character. A missing key or an
// empty value gives defaultValue.
ORV_SDK_API UINT GetPrivateProfileIntW(LPCWSTR section, LPCWSTR key, INT defaultValue,
                                       LPCWSTR fileName);
// Sets key in section to value, creating the file, the section or the key where
// missing. A null value removes the key, a null key the whole section.
ORV_SDK_API BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value,
                                            LPCWSTR fileName);

// The handle of a loaded module by its file name (without directory), or null.
ORV_SDK_API HMODULE GetModuleHandleW(LPCWSTR moduleName);
// The full path the module was loaded from, as given to the host (links are
// not resolved). Returns its length; when it does not fit, the path is cut to
// size - 1 characters and size is returned.
ORV_SDK_API DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
