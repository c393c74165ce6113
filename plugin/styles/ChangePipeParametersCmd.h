// CGD: changes the pipe defaults every pipe and fitting command starts from,
// the outer diameter ("PIPE"/"DW") and the elbow radius ("PIPE"/"WTBJ").
#pragma once

#include <string>

class CChangePipeParametersCmd {
 public:
  void run();

  std::wstring m_iniPath;
};
