// PLOT's choices and the page setup that keeps them in a drawing (a PLOTSETTINGS object).
#pragma once

#include <optional>
#include <string>

#include "orv/db/database.h"
#include "orv/render/page.h"
#include "orv/render/render.h"

namespace orv::app {

enum class PlotArea { extents, window, display, limits, layout };

struct PlotChoices {
  render::PictureFormat format = render::PictureFormat::pdf;
  render::Paper paper = *render::paperNamed("A3");
  render::Orientation orientation = render::Orientation::landscape;
  PlotArea area = PlotArea::extents;
  render::Extents window;  // the corners of 窗口
  std::string layout;      // the name of 布局
  render::PlotScale scale;  // 布满
  bool centred = true;
  double offsetXMm = 0.0, offsetYMm = 0.0;
  bool monochrome = true;
  double dpi = 300.0;
};

// The page setup PLOT keeps under this name.
inline constexpr const char* kPageSetupName = "orvcad";

// The page setup a drawing keeps, if it holds one PLOT can read.
std::optional<PlotChoices> readPageSetup(const db::Database& d);
// Keeps the choices in the drawing as its page setup: a PLOTSETTINGS object in the
// ACAD_PLOTSETTINGS dictionary, replacing the one kept before.
void keepPageSetup(db::Database& d, const PlotChoices& choices);

// "PDF", "PNG", "SVG"; "横向" or "纵向".
std::string formatName(render::PictureFormat f);
std::string orientationName(render::Orientation o);

}  // namespace orv::app
