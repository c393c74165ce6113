// Sheets of paper and how a drawing goes on them: sizes, scales, placement, pens and the view transform they give.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "orv/render/view.h"

namespace orv::render {

// A sheet size, its short side first (portrait).
struct Paper {
  std::string name;  // "A3", "A3x3", or "W×H" for a custom size
  double shortMm = 297.0;
  double longMm = 420.0;
};

// A sheet by name, ASCII case ignored: A0-A4, the lengthened A3x3, A3x4, A4x3, A4x4, A4x5
// (x, X, × or *), or a custom "W×H" in millimetres (each 1 to 5000). nullopt otherwise.
std::optional<Paper> paperNamed(std::string_view name);

enum class Orientation { portrait, landscape };

// Drawing units per paper unit: "1:N" is paper 1, drawing N; "布满" fits the area.
struct PlotScale {
  bool fit = true;
  double paper = 1.0;
  double drawing = 1.0;
};

// "1:100", "2:1", "1:2.5" (each side a finite positive number), "布满" or F (any case):
// nullopt for anything else.
std::optional<PlotScale> parseScale(std::string_view text);
// "1:100", "2:1", "1:2.5" or "布满".
std::string scaleText(const PlotScale& scale);

// Millimetres in one drawing unit of a $INSUNITS value; unitless and unknown values are
// taken as millimetres.
double millimetresPerUnit(int insunits);

// Lineweights by colour index (mm); entry 0 is for true colours.
struct PenTable {
  std::array<double, 256> mm{};
  // Colours 1-7 0.25 mm except 7 at 0.35 mm, the rest 0.18 mm.
  static PenTable standard();
};

// How lines are inked on a plotted sheet.
struct Pens {
  bool monochrome = true;  // every colour black on the white sheet
  PenTable table = PenTable::standard();
};

// A sheet with a drawing's area on it.
struct PageModel {
  Paper paper;
  Orientation orientation = Orientation::landscape;
  double marginMm = 0.0;  // printable margin on every side
  PlotScale scale;
  Extents area;                 // drawing units
  double unitMm = 1.0;          // millimetres per drawing unit
  bool centred = true;          // else the area's lower-left corner at the offset
  double offsetXMm = 0.0;       // from the printable area's lower-left corner
  double offsetYMm = 0.0;
  // Only what lies inside the area is drawn (a window, the view, the limits), as CAD
  // programs plot them; the extents are not clipped, so that lines on their edge keep
  // their whole width.
  bool clipToArea = false;
};

// Where the area lands: millimetres of the sheet, from its upper-left corner, y down.
struct PagePlan {
  double widthMm = 0.0;  // the sheet as oriented
  double heightMm = 0.0;
  ViewTransform view;          // drawing units to sheet millimetres
  double paperMmPerUnit = 0.0; // the scale in effect
  bool fits = true;            // the whole area lies inside the printable part
  Extents printable;           // the part inside the margins, sheet millimetres (y down)

  // The same transform for a device with `unitsPerMm` device units in a millimetre.
  ViewTransform onDevice(double unitsPerMm) const;
};

// The plan of a page. An empty area (a point) is centred; a scale that is not a finite
// positive ratio fits.
PagePlan planPage(const PageModel& page);

}  // namespace orv::render
