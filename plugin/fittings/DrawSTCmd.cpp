// ST: the tee dialogue.
#include "fittings/DrawSTCmd.h"

#include <cwchar>

#include "acedads.h"
#include "app/conversions.h"
#include "winapi.h"

namespace {

// Asks for one value with its current value shown and stores it unless it is 0.
void askAndStore(const wchar_t* question, double& value, const wchar_t* key, const wchar_t* ini) {
  std::wstring prompt = std::wstring(L"\n请输入请输入") + question + L"[" + formatReal(value) + L"][默认(0)]:";
  acedGetReal(prompt.c_str(), &value);
  if (value != 0) WritePrivateProfileStringW(L"ST", key, formatReal(value).c_str(), ini);
}

}  // namespace

void CDrawSTCmd::run() {
  const wchar_t* ini = m_iniPath.c_str();
  wchar_t buffer[20];
  GetPrivateProfileStringW(L"ST", L"DW1", L"", buffer, 20, ini);
  double mainDiameter = wtof(buffer);
  GetPrivateProfileStringW(L"ST", L"DW2", L"", buffer, 20, ini);
  double branchDiameter = wtof(buffer);
  GetPrivateProfileStringW(L"ST", L"SIDEL", L"", buffer, 20, ini);
  double branchLength = wtof(buffer);

  ads_point first = {0, 0, 0};
  ads_point second = {0, 0, 0};
  acedInitGet(0, L"W C 0");
  std::wstring prompt = L"\n请输入第一点[x,y][管道外径(主" + formatReal(mainDiameter) + L")(支" +
                        formatReal(branchDiameter) + L")][修改(C)]:";
  int result = acedGetPoint(nullptr, prompt.c_str(), first);
  if (result == RTKWORD) {
    wchar_t keyword[32];
    if (acedGetInput(keyword, 32) != RTNORM) return;
    if (std::wcscmp(keyword, L"C") == 0) {
      askAndStore(L"主管道外径", mainDiameter, L"DW1", ini);
      askAndStore(L"支管道外径", branchDiameter, L"DW2", ini);
      askAndStore(L"三通支管部分长度", branchLength, L"SIDEL", ini);
    }
    result = acedGetPoint(nullptr, L"\n请输入第一点[x,y]:", first);
  }
  // Without a first point there is no tee to place.
  if (result != RTNORM) return;

  acedGetPoint(first, L"\n 请输入第二点[x,y]:", second);

  int form = 0;
  if (acedGetInt(L"\n请选择三通形式(支管中0)(支管上1)(支管下2):", &form) == RTNORM && (form < 0 || form > 2)) {
    acutPrintf(L"%ls", L"\n输入错误,三通默认支管为中");
    form = 0;
  }
  // The tee has no drawing of its own: the points and the form are not kept.
  (void)form;
}
