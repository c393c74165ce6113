// FM: a valve from the valve library stretched between two picked points and sized to the pipe diameter.
#pragma once

#include <string>

#include "gept.h"

class CDrawFMCmd {
 public:
  // The whole command: the valve last chosen ("FM"/"FMNAME", "FM"/"FMFILENAME")
  // at the diameter last given ("FM"/"DW"), or with "C" a new choice in the
  // valve dialog and a new diameter first. One valve per invocation.
  void run();

  // Places valve `blockName` of the library drawing `drawingFile` from p1 to
  // p2: a block reference at p1 (z = 0), scaled along its length by
  // |p1 p2| / 300 and across by diameter / 219 (a valve block is drawn 300
  // long and 219 across), turned to the direction from p1 to p2. The z of
  // the points takes no part. Returns 1 when the valve was placed, 0 after
  // telling the user why not. Uses nothing of the worker but this call, so a
  // temporary worker serves (the pipe runs place their valves this way).
  int insertValve(const AcGePoint3d& p1, const AcGePoint3d& p2, double diameter, std::wstring drawingFile,
                  std::wstring blockName);

  std::wstring m_iniPath;
};
