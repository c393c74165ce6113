// orvcad's command-line options.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orv::app {

struct Options {
  std::optional<std::filesystem::path> module;  // default: the one installed with orvcad
  std::optional<std::string> script;            // "-" is standard input
  std::optional<std::filesystem::path> save;    // DXF written when the session ends
  std::vector<std::filesystem::path> exports;   // pictures rendered when the session ends
  std::optional<std::filesystem::path> drawing; // opened at the start
  bool window = false;    // --window: the drawing window
  bool terminal = false;  // --terminal: the terminal command line even with a display
  // --plot FILE: the drawing plotted to FILE without a session, with these choices.
  std::optional<std::filesystem::path> plot;
  std::optional<std::string> paper;  // --paper
  std::optional<std::string> scale;  // --scale
  std::optional<std::string> area;   // --area
  bool help = false;
  bool version = false;
};

struct ParsedOptions {
  std::optional<Options> options;  // empty when the command line was wrong
  std::string error;               // one line for standard error
};

ParsedOptions parseOptions(const std::vector<std::string>& args);

// The text of --help.
std::string usage();

}  // namespace orv::app
