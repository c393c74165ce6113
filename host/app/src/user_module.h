// The user's own module folder. An installed module lies in a folder its user may
// not write (a system prefix), yet the plug-in keeps its settings and part libraries
// beside its module. Such a user gets a module folder of their own
// ($XDG_DATA_HOME/orvcad/module, by default ~/.local/share/orvcad/module) holding a
// link to the installed module, which is loaded from there: "draw.ini" starts as a
// copy of the installed one, and "resource/FM" and "resource/ZDY" hold a link to each
// installed sample part beside the user's own parts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace orv::app {

struct ModuleToLoad {
  std::filesystem::path module;  // the file to load
  // When it is the link in the user's own folder: the folder of the installed module.
  std::optional<std::filesystem::path> installedFolder;
  // Why the user's folder could not be made (the installed module is loaded as it is).
  std::string problem;
};

// The folder the user's own module folder is in: $XDG_DATA_HOME/orvcad/module when
// that is an absolute path, else ~/.local/share/orvcad/module; empty when there is
// no home folder.
std::filesystem::path userModuleFolder();

// What to load for the installed module: the module itself when its folder is
// writable, else its link in the user's own folder, made or brought up to date
// (links to sample parts added since, links to parts no longer installed removed).
ModuleToLoad moduleToLoad(const std::filesystem::path& installedModule);

// What the session loaded, for ARX: set once by the program.
void noteModuleInUse(const ModuleToLoad& loaded);
const std::optional<ModuleToLoad>& moduleInUse();

}  // namespace orv::app
