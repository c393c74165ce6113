// ST: takes the data of a tee (main and branch diameters, branch length, two
// points and the branch form) and keeps the diameters and length in the
// settings file. It draws nothing.
#pragma once

#include <string>

class CDrawSTCmd {
 public:
  void run();

  std::wstring m_iniPath;
};
