// The drawing-wide settings text and dimensions are made with: header values kept as
// read ($DIMSCALE, $TEXTSTYLE, ...), the values of a dimension style, and changes to them
// that UNDO takes back.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/core/document.h"
#include "orv/db/database.h"
#include "orv/db/header_values.h"

namespace orv::core {

// ---- header values the model keeps as read: a 9 $NAME tag, then its value tags

using db::headerValue;
using db::setHeaderValue;
// A number; nullopt when absent or not a finite number.
std::optional<double> headerNumber(const db::HeaderVariables& h, std::string_view name);

// A number as DXF files write it: shortest form that reads back exactly.
std::string dxfNumber(double v);

// ---- dimension styles

enum class ArrowKind { closedFilled, tick, dot };

// The values of a dimension style that shape what a dimension draws. Lengths are in
// drawing units before `scale` (DIMSCALE) is applied.
struct DimensionStyle {
  std::string name = "Standard";
  double textHeight = 2.5;        // DIMTXT
  double arrowSize = 2.5;         // DIMASZ
  ArrowKind arrow = ArrowKind::closedFilled;  // DIMBLK
  double extensionOffset = 0.625; // DIMEXO: the gap between an origin and its extension line
  double extensionBeyond = 1.25;  // DIMEXE: how far an extension line passes the dimension line
  double textGap = 0.625;         // DIMGAP: between the text and the dimension line
  int decimals = 2;               // DIMDEC
  double scale = 1.0;             // DIMSCALE
  bool operator==(const DimensionStyle&) const = default;
};

// The name of the block CAD programs give an arrow kind ("" for closed filled).
std::string_view arrowBlockName(ArrowKind kind);

// The current dimension style ($DIMSTYLE, else Standard) as the drawing holds it: values
// the record lacks come from the header, then from the metric defaults above.
DimensionStyle currentDimensionStyle(const db::Database& d);
// A dimension style of the drawing by name (Standard, or the first, when it has none such).
DimensionStyle dimensionStyleNamed(const db::Database& d, const std::string& name);
// Whether the drawing has a DIMSTYLE record of this name that holds each value above itself
// (other programs take their own defaults, in inches, for a value the record lacks).
bool dimensionStyleStored(const db::Database& d, const std::string& name);
// Writes the style into its DIMSTYLE record (made when missing) and the header's mirror
// of the current style ($DIMSTYLE, $DIMTXT, ... $DIMSCALE); a tick or dot arrow's block is
// added when the drawing lacks it. Returns false (nothing changed) when the block cannot be
// made.
bool storeDimensionStyle(db::Database& d, const DimensionStyle& style);

// ---- changes UNDO takes back

// Runs `change` on the document's drawing as part of the open step (or a step of its own
// named `name`): the header variables named, the text style table and the dimension style
// table as they were before and after are what UNDO and REDO put back. `change` returns
// false when it changed nothing.
bool changeSettings(Document& doc, const std::string& name, const std::vector<std::string>& headerNames,
                    const std::function<bool(db::Database&)>& change);

}  // namespace orv::core
