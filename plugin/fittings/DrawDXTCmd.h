// DXT: a reducer between two picked points, concentric, flat on top or flat
// at the bottom, with the front and rear outer diameters kept in the
// settings file ("DXT"/"DW1", "DXT"/"DW2").
#pragma once

#include <string>

#include "gept.h"

class CDrawDXTCmd {
 public:
  // The reducer forms, as the user numbers them.
  enum Form { kConcentric = 0, kFlatOnTop = 1, kFlatAtBottom = 2 };

  void run();

  // The reducer from p0 (front, diameter d1) to p1 (rear, diameter d2):
  // the centre line, the top and bottom side lines, the end line at p0 and
  // the end line at p1, in this order. The top is on the left of the
  // direction from p0 to p1. Coinciding points draw nothing.
  void drawReducer(const AcGePoint2d& p0, const AcGePoint2d& p1, double d1, double d2, int form);

  std::wstring m_iniPath;
};
