// Where the plug-in keeps its files: the directory of the module orvpipe07.arx
// holds the settings file "draw.ini" and the part libraries under "resource".
#pragma once

#include <string>

// The directory the module was loaded from (without a trailing "/"); links in
// the path are kept as the host was given them. Empty if the host does not know
// the module.
std::wstring moduleDirectory();
// The full path of the settings file, computed afresh at every call.
std::wstring settingsFilePath();
// A part-library folder: "FM" for valves, "ZDY" for custom parts.
std::wstring partLibraryFolder(const wchar_t* library);
