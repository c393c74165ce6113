// FM: the valve command's dialogue and the valve placement.
#include "parts/DrawFMCmd.h"

#include <cmath>
#include <cwchar>

#include "acedads.h"
#include "app/conversions.h"
#include "parts/block_loader.h"
#include "parts/part_dialogs.h"
#include "parts/part_library.h"
#include "winapi.h"

namespace {

constexpr const wchar_t* kValveWithoutDiameter = L"\n管径为零，阀门的宽度为零，未画阀门。";
constexpr const wchar_t* kValveWithoutLength = L"\n两点重合，阀门的长度为零，未画阀门。";

}  // namespace

int CDrawFMCmd::insertValve(const AcGePoint3d& p1, const AcGePoint3d& p2, double diameter,
                            std::wstring drawingFile, std::wstring blockName) {
  BlockPlacement placement;
  placement.position = p1;
  const double dx = p1.x - p2.x;
  const double dy = p1.y - p2.y;
  placement.xScale = std::sqrt(dx * dx + dy * dy) / 300.0;
  placement.yScale = diameter / 219.0;
  placement.rotation = AcGeVector2d(p2.x - p1.x, p2.y - p1.y).angle();
  placement.noSizeMessage = placement.yScale == 0 ? kValveWithoutDiameter : kValveWithoutLength;
  return placeLibraryBlock(drawingFile, blockName, placement);
}

void CDrawFMCmd::run() {
  ChosenPart valve = readChosenPart(kValveLibrary, m_iniPath);
  double diameter = wtof(readSettingText(L"FM", L"DW", m_iniPath).c_str());

  ads_point first = {0, 0, 0};
  acedInitGet(0, L"W C 0");
  const std::wstring prompt = L"\n请输入第一点[x,y][阀门类型(" + valve.blockName + L")][管径(" +
                              formatReal(diameter) + L")][修改(C)]:";
  int result = acedGetPoint(nullptr, prompt.c_str(), first);
  if (result == RTKWORD) {
    wchar_t keyword[32];
    if (acedGetInput(keyword, 32) != RTNORM) return;
    if (std::wcscmp(keyword, L"C") == 0) {
      showValveDialog();
      // Whatever the dialog's outcome, a new diameter may follow; 0, Enter
      // or Esc keep the one shown.
      const std::wstring ask = L"\n请输入管径[" + formatReal(diameter) + L"][默认(0)]:";
      double answer = 0;
      if (acedGetReal(ask.c_str(), &answer) == RTNORM && answer != 0) diameter = answer;
      if (diameter != 0) WritePrivateProfileStringW(L"FM", L"DW", formatReal(diameter).c_str(), m_iniPath.c_str());
    }
    // "W", "0" and "C" alike go on to the plain first point.
    result = acedGetPoint(nullptr, L"\n请输入第一点[x,y]:", first);
  }
  if (result != RTNORM) return;

  ads_point second = {0, 0, 0};
  if (acedGetPoint(first, L"\n 请输入下一点[x,y]:", second) != RTNORM) return;

  // The dialog may have changed the choice.
  valve = readChosenPart(kValveLibrary, m_iniPath);
  insertValve(AcGePoint3d(first[X], first[Y], first[Z]), AcGePoint3d(second[X], second[Y], second[Z]), diameter,
              valve.drawingFile, valve.blockName);
}
