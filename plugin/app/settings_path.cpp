// Finding the module directory from the path the host loaded the module from.
#include "app/settings_path.h"

#include <vector>

#include "app/orvpipe_app.h"
#include "winapi.h"

std::wstring moduleDirectory() {
  HMODULE module = GetModuleHandleW(L"orvpipe07.arx");
  if (!module) module = moduleInstance();  // loaded under another file name
  // Paths here may be longer than the platform's classic limit: grow until it fits.
  std::vector<wchar_t> name(MAX_PATH);
  DWORD n = 0;
  for (;;) {
    n = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
    if (n < name.size() || name.size() >= (1u << 20)) break;
    name.resize(name.size() * 4);
  }
  if (n == 0 || n >= name.size()) return {};
  std::wstring path(name.data(), n);
  // The module's own file name is the last path element.
  auto slash = path.find_last_of(L'/');
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring settingsFilePath() { return moduleDirectory() + L"/draw.ini"; }

std::wstring partLibraryFolder(const wchar_t* library) {
  return moduleDirectory() + L"/resource/" + library;
}
