// The building blocks every drawing command uses: line styles from the
// settings file, the straight piece, the model-space append and a little
// plane geometry.
#pragma once

#include <cmath>
#include <string>

#include "dbmain.h"
#include "gept.h"

// How the entities of one kind of line look: the colour index and the
// linetype name kept in a section of the settings file.
struct LineStyle {
  int colorIndex = 0;     // "LINECOLOR"; 0 is BYBLOCK, as the host counts
  std::wstring linetype;  // "LINETYPE", at most 19 characters
};

// The settings sections of the two line styles.
inline constexpr const wchar_t* kSideLineSection = L"SIDELINE";
inline constexpr const wchar_t* kMidLineSection = L"MIDLINE";

// The style kept in a section ("SIDELINE" or "MIDLINE") of the settings file.
// A missing colour reads as 0, a missing linetype as empty text; a linetype
// name longer than 19 characters is cut there.
LineStyle readLineStyle(const wchar_t* section, const std::wstring& iniPath);

// A real kept as text in the settings file (read into a 20-character buffer);
// missing or non-numeric text reads as 0.
double readSettingReal(const wchar_t* section, const wchar_t* key, const std::wstring& iniPath);

// Gives an entity the colour index and linetype of a style, sub-entities
// included. A linetype the drawing lacks (or an empty name) leaves the
// entity's linetype as it was; so does a colour index outside 0-256, which is
// never folded into another colour.
void applyLineStyle(AcDbEntity& entity, const LineStyle& style);

// Adds a new entity to the model space of the current drawing and closes it;
// the entity belongs to the drawing from then on and the caller must not touch
// it again. Returns its id, or a null id when it could not be added (then the
// entity is discarded).
AcDbObjectId appendToModelSpace(AcDbEntity* entity);

// A straight piece: an open two-vertex lightweight polyline from start
// (vertex 0) to end (vertex 1), no bulge and no widths, in the given style,
// appended to model space. A piece whose ends coincide is still drawn.
void drawStraightPiece(const AcGePoint2d& start, const AcGePoint2d& end, const LineStyle& style);

// pi, computed as 4 * atan(1).
double pi();

// x raised to a whole power by repeated squaring; a negative n gives the
// reciprocal.
double power(double x, int n);

// The distance between two points of the plane.
double distance(const AcGePoint2d& a, const AcGePoint2d& b);

// The point at a distance from `from` in the direction of an angle (radians
// from +x).
inline AcGePoint2d along(const AcGePoint2d& from, double angle, double length) {
  return {from.x + length * std::cos(angle), from.y + length * std::sin(angle)};
}
