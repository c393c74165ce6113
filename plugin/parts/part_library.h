// The part libraries: where they lie, the choice kept in the settings file, and the scan that fills the picture dialogs.
#pragma once

#include <string>
#include <vector>

#include "parts/preview_bitmap.h"
#include "winapi.h"

// One part library and the settings keys of the part chosen from it.
struct PartLibrary {
  const wchar_t* folderName;      // below "resource" in the module directory
  const wchar_t* missingMessage;  // shown when the folder cannot be listed
  const wchar_t* section;         // settings section of the choice
  const wchar_t* nameKey;         // block name of the chosen part
  const wchar_t* fileKey;         // full path of the chosen part's drawing
};

inline constexpr PartLibrary kValveLibrary = {L"FM", L"找不到阀门资料!", L"FM", L"FMNAME", L"FMFILENAME"};
inline constexpr PartLibrary kCustomPartLibrary = {L"ZDY", L"找不到自定义部件资料!", L"ZDY", L"ZDYNAME",
                                                   L"ZDYFILENAME"};

// A text value of the settings file, however long: a file path is never cut.
std::wstring readSettingText(const wchar_t* section, const wchar_t* key, const std::wstring& iniPath);

// The part last chosen from a library, as the settings file keeps it.
struct ChosenPart {
  std::wstring blockName;
  std::wstring drawingFile;
};
ChosenPart readChosenPart(const PartLibrary& library, const std::wstring& iniPath);

// The block name a library entry stands for: its name without the last four
// characters ("Gate.dxf" gives "Gate"); empty for a shorter name.
std::wstring blockNameOfEntry(const std::wstring& entryName);

// The names of the entries of a folder (files, folders, anything), sorted by
// name; false when the folder cannot be listed.
bool listFolder(const std::wstring& folder, std::vector<std::wstring>& names);

// Said of a library entry left out of the dialog; %ls is the entry's name.
inline constexpr const wchar_t* kPartSkipped = L"\n部件图形“%ls”无法读取，已略过.";

// A part the scan found: what one slot of a picture dialog shows.
struct LibraryPart {
  std::wstring blockName;
  std::wstring drawingFile;  // folder + "/" + entry name
  BitmapHandle preview;      // null: the block has no usable preview
};

// Reads a library folder for a picture dialog, entry by entry in name
// order. Each entry is read as a library drawing; an entry whose block has
// no reference gets no slot. An entry that cannot be read, or lacks the block
// of its name, is reported, then named on the command line (kPartSkipped) and
// left out; the scan goes on with the next entry. Entries after the first `slots` parts are still read (and reported if
// broken), but dropped. A folder that cannot be listed shows the library's
// message box and gives no parts.
std::vector<LibraryPart> scanPartLibrary(const PartLibrary& library, const std::wstring& folder, HDC dc,
                                         int slots);
