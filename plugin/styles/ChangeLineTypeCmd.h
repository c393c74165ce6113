// CLT: sets the linetype and colour of the side lines and of the centre line
// that the drawing commands give their entities.
#pragma once

#include <string>

class CChangeLineTypeCmd {
 public:
  void run();

  std::wstring m_iniPath;
};
