// ZDY: a custom part from the custom-part library placed at a picked point with x and y scale factors.
#pragma once

#include <string>

#include "gept.h"

class CDrawZDYCmd {
 public:
  // The whole command: the part last chosen ("ZDY"/"ZDYNAME",
  // "ZDY"/"ZDYFILENAME"), or with "C" a new choice in the custom-part
  // dialog first; then the insertion point and the two scale factors, which
  // are not kept. One part per invocation.
  void run();

  // Places part `blockName` of the library drawing `drawingFile` at point
  // (z = 0) with scale factors (xScale, yScale, 1), unrotated; negative
  // factors mirror it. Returns 1 when the part was placed, 0 after telling
  // the user why not.
  int insertPart(const AcGePoint3d& point, double xScale, double yScale, std::wstring drawingFile,
                 std::wstring blockName);

  std::wstring m_iniPath;
};
