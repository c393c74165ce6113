// CGD: asks for the pipe outer diameter, then the elbow radius, and stores each at once.
#include "styles/ChangePipeParametersCmd.h"

#include "acedads.h"
#include "app/conversions.h"
#include "winapi.h"

void CChangePipeParametersCmd::run() {
  const wchar_t* ini = m_iniPath.c_str();
  wchar_t buffer[20];
  GetPrivateProfileStringW(L"PIPE", L"WTBJ", L"", buffer, 20, ini);
  double radius = wtof(buffer);
  GetPrivateProfileStringW(L"PIPE", L"DW", L"", buffer, 20, ini);
  double diameter = wtof(buffer);

  // Both texts show the stored values, whatever is typed in between.
  const std::wstring shownDiameter = formatReal(diameter);
  const std::wstring shownRadius = formatReal(radius);

  // Enter or Esc keeps the stored value; it is written back unless it is 0.
  std::wstring prompt = L"\n请输入请输入管道外径[" + shownDiameter + L"][默认(0)]:";
  acedGetReal(prompt.c_str(), &diameter);
  if (diameter != 0) WritePrivateProfileStringW(L"PIPE", L"DW", formatReal(diameter).c_str(), ini);

  prompt = L"\n 请输入请输入弯头半径[" + shownRadius + L"][默认(0)]:";
  acedGetReal(prompt.c_str(), &radius);
  if (radius != 0) WritePrivateProfileStringW(L"PIPE", L"WTBJ", formatReal(radius).c_str(), ini);
}
