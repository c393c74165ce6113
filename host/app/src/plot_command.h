// PLOT: a drawing on a sheet at a scale, from the command line, scripts and `orvcad --plot`.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drawing_files.h"
#include "orv/core/document.h"
#include "orv/render/pictures.h"
#include "plot_setup.h"
#include "session.h"

namespace orv::app {

// The PLOT command (PRINT) and TK (FRAME).
std::vector<Session::HostCommand> plotCommands();
Session::HostCommand frameCommand();

// The choices PLOT offers a drawing first: its page setup; else those of the last PLOT,
// with the window, sheet and scale of the drawing's frame (TK) when it has one.
PlotChoices plotDefaults(const db::Database& d);

// What PLOT plots for the choices: the sheet, the area (`shown`: what the window shows,
// for 显示; without it 显示 plots the extents) or the layout; nullopt with the reason in `why`.
std::optional<render::PlotRequest> plotRequest(const render::Pictures& r, const db::Database& d, const PlotChoices& c,
                                               const std::optional<render::Extents>& shown, std::string& why);

// PLOT's one-line form of the choices and the file: what follows "PLOT " on a command
// line that plots without asking ("PDF A1 L E 1:100 C M plan.pdf").
std::string plotLine(const PlotChoices& c, const std::filesystem::path& out);

// The file PLOT offers: the drawing's name with the output's ending, in its folder.
std::filesystem::path defaultPlotFile(Session& s, render::PictureFormat f);

// PLOTWINDOW asks two corners of a window to plot and says them; a presentation that plots
// through a dialog (the window's 打印) takes them for its session here: nullopt when the
// corners were cancelled. An empty taker removes the session's.
using PlotCorners = std::pair<prompt::Point3, prompt::Point3>;  // as given, first and opposite
using PlotWindowTaker = std::function<void(const std::optional<PlotCorners>& corners)>;
void setPlotWindowTaker(const Session& s, PlotWindowTaker taker);

// What --plot asks for: the output file, and the choices given as options (empty: the
// drawing's page setup, else PLOT's defaults).
struct PlotOrder {
  std::filesystem::path out;
  std::string paper;  // "A1", "A3x3", "594×841"; a trailing ",P" or ",L" sets the orientation
  std::string scale;  // "1:100", "布满"
  std::string area;   // extents, limits, layout:NAME, or a window "x1,y1,x2,y2"
};

// Plots a drawing read from a file without a session: the message for the user in
// `message` (the success line, or why it failed).
FileResult plotDrawingFile(const std::filesystem::path& drawing, const PlotOrder& order);

}  // namespace orv::app
