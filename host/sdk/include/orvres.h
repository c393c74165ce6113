// Resources of a module: dialog templates, bitmaps and strings, as a table the
// module hands to the host (IMPLEMENT_ARX_RESOURCES) instead of a compiled
// resource script.
#pragma once

#include "winapi.h"

// Window and control styles used by dialog templates.
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_POPUP 0x80000000u
#define WS_CAPTION 0x00C00000u
#define WS_SYSMENU 0x00080000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define DS_MODALFRAME 0x00000080u
#define DS_SETFONT 0x00000040u
#define BS_PUSHBUTTON 0x00000000u
#define BS_DEFPUSHBUTTON 0x00000001u
#define BS_AUTORADIOBUTTON 0x00000009u
#define SS_BITMAP 0x0000000Eu

// One control of a dialog template; position and size in dialog units.
struct ORV_DIALOG_ITEM {
  int id;
  const wchar_t* windowClass;  // L"BUTTON" or L"STATIC"
  const wchar_t* text;         // a caption, or for an SS_BITMAP static the bitmap id as L"#203"
  DWORD style;
  short x, y, cx, cy;
};

struct ORV_DIALOG_TEMPLATE {
  int id;
  const wchar_t* caption;
  const wchar_t* fontName;
  int fontSize;
  DWORD style;
  short cx, cy;
  const ORV_DIALOG_ITEM* items;
  int itemCount;
};

// A bitmap resource: a device-independent bitmap without file header.
struct ORV_BITMAP_RESOURCE {
  int id;
  const BYTE* dib;
  size_t size;
};

struct ORV_STRING_RESOURCE {
  int id;
  const wchar_t* text;
};

struct ORV_RESOURCE_TABLE {
  const ORV_DIALOG_TEMPLATE* dialogs;
  int dialogCount;
  const ORV_BITMAP_RESOURCE* bitmaps;
  int bitmapCount;
  const ORV_STRING_RESOURCE* strings;
  int stringCount;
};

// Exports the module's resources to the host, which looks them up by name.
#define IMPLEMENT_ARX_RESOURCES(table) \
  ORV_MODULE_EXPORT const ORV_RESOURCE_TABLE* orvModuleResources() { return &(table); }

// The resources of a loaded module, or null when it has none.
ORV_SDK_API const ORV_RESOURCE_TABLE* orvFindModuleResources(HINSTANCE module);
// A bitmap resource of the current resource module as a bitmap; null if absent.
ORV_SDK_API HBITMAP LoadBitmapW(HINSTANCE module, int id);
