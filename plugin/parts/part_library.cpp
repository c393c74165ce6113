// The part libraries: settings of the chosen part, the folder listing and the library scan.
#include "parts/part_library.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "acedads.h"
#include "parts/block_loader.h"

namespace {

// Entry names as the file system holds them are bytes, UTF-8 by convention.
// Bytes that are not UTF-8 become U+FFFD: such an entry then names no file
// the host can open, and is reported like any unreadable entry.
std::wstring fromUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
    char32_t c = lead & (0x7Fu >> (extra > 0 ? extra + 1 : 0));
    bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < bytes.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (valid) {
      out.push_back(static_cast<wchar_t>(c));
      i += 1 + static_cast<std::size_t>(extra);
    } else {
      out.push_back(L'\uFFFD');
      ++i;
    }
  }
  return out;
}

}  // namespace

std::wstring readSettingText(const wchar_t* section, const wchar_t* key, const std::wstring& iniPath) {
  // The profile function cuts a value to the buffer and then fills it to the
  // last place but one: grow the buffer until the value fits with room to spare.
  std::vector<wchar_t> buffer(128);
  for (;;) {
    const DWORD n = GetPrivateProfileStringW(section, key, L"", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), iniPath.c_str());
    if (n + 1 < buffer.size() || buffer.size() >= (std::size_t{1} << 22)) {
      return std::wstring(buffer.data(), std::min<std::size_t>(n, buffer.size() - 1));
    }
    buffer.resize(buffer.size() * 4);
  }
}

ChosenPart readChosenPart(const PartLibrary& library, const std::wstring& iniPath) {
  ChosenPart part;
  part.drawingFile = readSettingText(library.section, library.fileKey, iniPath);
  part.blockName = readSettingText(library.section, library.nameKey, iniPath);
  return part;
}

std::wstring blockNameOfEntry(const std::wstring& entryName) {
  return entryName.size() > 4 ? entryName.substr(0, entryName.size() - 4) : std::wstring();
}

bool listFolder(const std::wstring& folder, std::vector<std::wstring>& names) {
  names.clear();
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return false;
  // The entries come in whatever order the file system keeps them, which
  // differs from one machine to the next; the dialogs show them sorted by
  // name (byte order of the UTF-8 names, that is code-point order) so that
  // a library looks the same everywhere. "." and ".." are never listed.
  std::vector<std::string> raw;
  for (const fs::directory_entry& entry : it) raw.push_back(entry.path().filename().native());
  std::sort(raw.begin(), raw.end());
  names.reserve(raw.size());
  for (const std::string& name : raw) names.push_back(fromUtf8(name));
  return true;
}

std::vector<LibraryPart> scanPartLibrary(const PartLibrary& library, const std::wstring& folder, HDC dc,
                                         int slots) {
  std::vector<LibraryPart> parts;
  std::vector<std::wstring> entries;
  if (!listFolder(folder, entries)) {
    MessageBoxW(nullptr, library.missingMessage, nullptr, MB_OK);
    return parts;
  }
  for (const std::wstring& entry : entries) {
    LibraryPart part;
    part.drawingFile = folder + L"/" + entry;
    part.blockName = blockNameOfEntry(entry);
    LibraryDrawing drawing;
    const LibraryRead read = readLibraryDrawing(part.drawingFile, part.blockName, drawing);
    if (read == LibraryRead::noReference) continue;  // not offered, not reported
    if (read != LibraryRead::ok) {
      // Left out, and named: one broken file must not empty or shorten the dialog.
      acutPrintf(kPartSkipped, entry.c_str());
      continue;
    }
    if (static_cast<int>(parts.size()) >= slots) continue;
    part.preview = previewBitmap(drawing.blockRecord, dc);
    parts.push_back(std::move(part));
  }
  return parts;
}
