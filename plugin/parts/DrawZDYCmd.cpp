// ZDY: the custom-part command's dialogue and the part placement.
#include "parts/DrawZDYCmd.h"

#include <cwchar>

#include "acedads.h"
#include "parts/block_loader.h"
#include "parts/part_dialogs.h"
#include "parts/part_library.h"

namespace {

// A scale factor: a number other than 0 as given; 0, Enter or Esc give 1.
double askScale(const wchar_t* prompt) {
  double answer = 0;
  if (acedGetReal(prompt, &answer) == RTNORM && answer != 0) return answer;
  return 1.0;
}

}  // namespace

int CDrawZDYCmd::insertPart(const AcGePoint3d& point, double xScale, double yScale, std::wstring drawingFile,
                            std::wstring blockName) {
  BlockPlacement placement;
  placement.position = point;
  placement.xScale = xScale;
  placement.yScale = yScale;
  return placeLibraryBlock(drawingFile, blockName, placement);
}

void CDrawZDYCmd::run() {
  ChosenPart part = readChosenPart(kCustomPartLibrary, m_iniPath);

  ads_point point = {0, 0, 0};
  acedInitGet(0, L"W C 0");
  const std::wstring prompt = L"\n请输入插入点[x,y][部件类型(" + part.blockName + L")][修改(C)]:";
  int result = acedGetPoint(nullptr, prompt.c_str(), point);
  if (result == RTKWORD) {
    wchar_t keyword[32];
    if (acedGetInput(keyword, 32) != RTNORM) return;
    if (std::wcscmp(keyword, L"C") == 0) showCustomPartDialog();
    result = acedGetPoint(nullptr, L"\n请输入插入点[x,y]:", point);
  }
  if (result != RTNORM) return;

  // The dialog may have changed the choice.
  part = readChosenPart(kCustomPartLibrary, m_iniPath);
  const double xScale = askScale(L"\n请输入x方向缩放比例[默认(0)]:");
  const double yScale = askScale(L"\n请输入y方向缩放比例[默认(0)]:");
  insertPart(AcGePoint3d(point[X], point[Y], point[Z]), xScale, yScale, part.drawingFile, part.blockName);
}
