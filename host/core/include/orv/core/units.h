// How the drawing writes lengths and angles for its user: the unit formats and
// precisions its header holds ($LUNITS, $LUPREC, $AUNITS, $AUPREC, $INSUNITS).
#pragma once

#include <string>

#include "orv/db/database.h"

namespace orv::core {

struct Units {
  int linear = 2;            // 1 scientific, 2 decimal, 3 engineering, 4 architectural, 5 fractional
  int linearPrecision = 4;   // digits after the point (denominator 2^n for fractions)
  int angular = 0;           // 0 degrees, 1 degrees/minutes/seconds, 2 grads, 3 radians, 4 surveyor's
  int angularPrecision = 0;
  int insertion = 4;         // $INSUNITS: what one drawing unit is (4 millimetres)
};

// The drawing's formats; a value the header lacks or that is out of range keeps its default.
Units unitsOf(const db::Database& d);
std::string formatLength(const Units& u, double value);
// An angle given in degrees counter-clockwise from +x.
std::string formatAngle(const Units& u, double degrees);
// What one drawing unit is, in Chinese ("毫米"); empty when the drawing says nothing.
std::string unitName(const Units& u);

}  // namespace orv::core
