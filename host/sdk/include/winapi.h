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

typedef std::intptr_t INT_PTR;
typedef std::intptr_t LRESULT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;
typedef unsigned char BYTE;
typedef std::uint16_t WORD;
typedef std::int32_t LONG;
typedef void* HANDLE;
struct HWND__;
typedef HWND__* HWND;
struct HDC__;
typedef HDC__* HDC;
struct HBITMAP__;
typedef HBITMAP__* HBITMAP;
typedef void* HGDIOBJ;

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

// ---- Message boxes

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONINFORMATION 0x00000040u
#define IDOK 1
#define IDCANCEL 2

// Shown at the command line as an alert; returns IDOK.
ORV_SDK_API int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Device-independent bitmaps

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
  DWORD biSize;  // 40
  LONG biWidth;
  LONG biHeight;  // positive: rows bottom-up
  WORD biPlanes;
  WORD biBitCount;  // 1, 4, 8, 24 or 32
  DWORD biCompression;  // BI_RGB
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
#pragma pack(pop)

#define BI_RGB 0
#define CBM_INIT 0x04
#define DIB_RGB_COLORS 0

// A bitmap made from a device-independent bitmap: header, bits, and the
// header with its colour table. Null when the header or the sizes are not
// sound (the host checks them against what it is given; it never reads past
// the colour table a header of biBitCount bits needs).
ORV_SDK_API HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                                   const BITMAPINFO* info, UINT usage);
// Frees a bitmap (or another object the host made).
ORV_SDK_API BOOL DeleteObject(HGDIOBJ object);
