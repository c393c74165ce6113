// PLOT: a drawing on a sheet at a scale, from the command line, scripts and `orvcad --plot`.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "drawing_files.h"
#include "orv/core/document.h"
#include "plot_setup.h"
#include "session.h"

namespace orv::app {

// The PLOT command (PRINT) and TK (FRAME).
std::vector<Session::HostCommand> plotCommands();
Session::HostCommand frameCommand();

// The choices PLOT offers a drawing first: its page setup; else those of the last PLOT,
// with the window, sheet and scale of the drawing's frame (TK) when it has one.
PlotChoices plotDefaults(const db::Database& d);

// What --plot asks for: the output file, and the choices given as options (empty: the
// drawing's page setup, else PLOT's defaults).
struct PlotOrder {
  std::filesystem::path out;
  std::string paper;  // "A1", "A3x3", "594×841"; a trailing ",P" or ",L" sets the orientation
  std::string scale;  // "1:100", "布满"
  std::string area;   // extents, limits, or a window "x1,y1,x2,y2"
};

// Plots a drawing read from a file without a session: the message for the user in
// `message` (the success line, or why it failed).
FileResult plotDrawingFile(const std::filesystem::path& drawing, const PlotOrder& order);

}  // namespace orv::app
