// DXT: the reducer dialogue and its drawing.
#include "fittings/DrawDXTCmd.h"

#include <cmath>
#include <cwchar>

#include "acedads.h"
#include "app/conversions.h"
#include "app/drawing_primitives.h"
#include "winapi.h"

namespace {

// Asks for a new diameter of one end, showing the current one. A number
// other than 0 replaces it; 0, Enter or a cancel keep it, as the prompt's
// "默认(0)" promises. The diameter is then written back unless it is 0.
void askDiameter(const wchar_t* end, double& diameter, const wchar_t* key, const std::wstring& ini) {
  std::wstring prompt = std::wstring(L"\n请输入请输入") + end + L"管道外径[" + formatReal(diameter) + L"][默认(0)]:";
  double answer = 0;
  if (acedGetReal(prompt.c_str(), &answer) == RTNORM && answer != 0) diameter = answer;
  if (diameter != 0) WritePrivateProfileStringW(L"DXT", key, formatReal(diameter).c_str(), ini.c_str());
}

// The point s units from p along the unit normal n.
AcGePoint2d across(const AcGePoint2d& p, const AcGeVector2d& n, double s) {
  return {p.x + s * n.x, p.y + s * n.y};
}

}  // namespace

void CDrawDXTCmd::drawReducer(const AcGePoint2d& p0, const AcGePoint2d& p1, double d1, double d2, int form) {
  if (p1 == p0) return;
  const double dx = p1.x - p0.x;
  const double dy = p1.y - p0.y;
  const double length = std::sqrt(power(dx, 2) + power(dy, 2));
  const AcGeVector2d n(-dy / length, dx / length);

  // Where the rear end line meets the top and the bottom side, and where the
  // centre line ends, as offsets along n from p1. The flat forms keep one
  // side at d1/2 and put the rear end, d2 across, against it: the sloped
  // side ends d2 from the straight one, on whichever side of the axis that
  // falls (past the axis when d2 is below d1/2).
  double rearTop = d2 / 2;
  double rearBottom = -(d2 / 2);
  double centreEnd = 0;
  if (form == kFlatOnTop) {
    rearTop = d1 / 2;
    rearBottom = -(d2 - d1 / 2);
    centreEnd = (d1 - d2) / 2;
  } else if (form == kFlatAtBottom) {
    rearTop = d2 - d1 / 2;
    rearBottom = -(d1 / 2);
    centreEnd = -((d1 - d2) / 2);
  }

  LineStyle centre = readLineStyle(kMidLineSection, m_iniPath);
  drawStraightPiece(p0, across(p1, n, centreEnd), centre);
  LineStyle side = readLineStyle(kSideLineSection, m_iniPath);
  drawStraightPiece(across(p0, n, d1 / 2), across(p1, n, rearTop), side);
  drawStraightPiece(across(p0, n, -(d1 / 2)), across(p1, n, rearBottom), side);
  drawStraightPiece(across(p0, n, d1 / 2), across(p0, n, -(d1 / 2)), side);
  drawStraightPiece(across(p1, n, rearTop), across(p1, n, rearBottom), side);
}

void CDrawDXTCmd::run() {
  double front = readSettingReal(L"DXT", L"DW1", m_iniPath);
  double rear = readSettingReal(L"DXT", L"DW2", m_iniPath);

  ads_point first = {0, 0, 0};
  ads_point second = {0, 0, 0};
  acedInitGet(0, L"W C 0");
  std::wstring prompt = L"\n请输入第一点[x,y][管道外径(前" + formatReal(front) + L")(后" + formatReal(rear) +
                        L")][修改(C)]:";
  int result = acedGetPoint(nullptr, prompt.c_str(), first);
  if (result == RTKWORD) {
    wchar_t keyword[32];
    if (acedGetInput(keyword, 32) != RTNORM) return;
    if (std::wcscmp(keyword, L"C") == 0) {
      askDiameter(L"前", front, L"DW1", m_iniPath);
      askDiameter(L"后", rear, L"DW2", m_iniPath);
    }
    result = acedGetPoint(nullptr, L"\n请输入第一点[x,y]:", first);
  }
  // Without a first point there is no reducer to place.
  if (result != RTNORM) return;

  int hasSecond = acedGetPoint(first, L"\n 请输入下一点[x,y]:", second);

  int form = kConcentric;
  int answer = 0;
  if (acedGetInt(L"\n请选择大小头形式(中心0)(上平1)(下平2):", &answer) == RTNORM) {
    form = answer;
    if (form < kConcentric || form > kFlatAtBottom) {
      acutPrintf(L"%ls", L"\n输入错误,大小头默认为同心型");
      form = kConcentric;
    }
  }
  if (hasSecond != RTNORM) return;
  drawReducer(AcGePoint2d(first[X], first[Y]), AcGePoint2d(second[X], second[Y]), front, rear, form);
}
