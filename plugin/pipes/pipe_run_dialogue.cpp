// The pipe-run dialogue of GD and DX: what they ask and keep, and how a run moves from point to point.
#include "pipes/pipe_run_dialogue.h"

#include <string>

#include "acedads.h"
#include "app/conversions.h"
#include "parts/DrawFMCmd.h"
#include "parts/part_dialogs.h"
#include "parts/part_library.h"
#include "pipes/pipe_geometry.h"
#include "pipes/pipe_run_workers.h"
#include "winapi.h"

namespace {

// The letter the next-point prompt shows as its default, by fitting mode.
const wchar_t* defaultLetter(int mode) {
  switch (mode) {
    case 1: return L"W";
    case 2: return L"X";
    case 3: return L"S";
    case 4: return L"D";
    case 5: return L"F";
    default: return L"0";
  }
}

// Asks for a point, with a rubber band from `base` when there is one. The
// host's result code; the point's x and y on RTNORM.
int askPoint(const AcGePoint2d* base, const std::wstring& prompt, AcGePoint2d& point) {
  ads_point from = {0, 0, 0};
  if (base != nullptr) {
    from[X] = base->x;
    from[Y] = base->y;
  }
  ads_point answer = {0, 0, 0};
  int result = acedGetPoint(base != nullptr ? from : nullptr, prompt.c_str(), answer);
  if (result == RTNORM) point = AcGePoint2d(answer[X], answer[Y]);
  return result;
}

// The keyword the last input call was answered with; false if it cannot be read.
bool typedKeyword(std::wstring& keyword) {
  wchar_t buffer[32] = {};
  if (acedGetInput(buffer, 32) != RTNORM) return false;
  keyword = buffer;
  return true;
}

// Asks for a diameter or a radius. A number other than 0 replaces the value;
// 0, Enter or a cancel keep it, as the prompt's "默认(0)" promises. True when
// the value was replaced.
bool askSize(const std::wstring& prompt, double& value) {
  double answer = 0;
  if (acedGetReal(prompt.c_str(), &answer) != RTNORM || answer == 0) return false;
  value = answer;
  return true;
}

void writeReal(const wchar_t* section, const wchar_t* key, double value, const std::wstring& ini) {
  WritePrivateProfileStringW(section, key, formatReal(value).c_str(), ini.c_str());
}

// The reducer form: 0 when nothing is typed; a number outside 0 to 2 is asked
// once more, and a second one falls back to the concentric form.
int askReducerForm() {
  const wchar_t* prompt = L"\n请选择大小头形式(同心0)(上平1)(下平2):";
  auto valid = [](int form) { return form >= kConcentricReducer && form <= kFlatBottomReducer; };
  int form = kConcentricReducer;
  int answer = 0;
  if (acedGetInt(prompt, &answer) == RTNORM) form = answer;
  if (valid(form)) return form;
  if (acedGetInt(prompt, &answer) == RTNORM) form = answer;
  if (valid(form)) return form;
  acutPrintf(L"%ls", L"\n输入错误,大小头默认为同心型");
  return kConcentricReducer;
}

// One invocation of GD or DX. The worker's fields are the run's state (the
// sizes, the fitting mode, the counter and the pending start S); this object
// holds the rest: the styles, the last point B, the default letter and the
// after-valve flag.
template <class Worker>
class PipeRunDialogue {
 public:
  explicit PipeRunDialogue(Worker& worker) : m_worker(worker), m_ini(worker.m_iniPath) {}

  void run() {
    start();
    if (!firstPoint()) return;
    while (nextPoint()) {
    }
  }

 private:
  // Reads the styles and the run's defaults, and asks for a diameter and a
  // radius the settings file does not hold.
  void start() {
    m_styles.centre = readLineStyle(kMidLineSection, m_ini);
    m_styles.side = readLineStyle(kSideLineSection, m_ini);
    m_worker.m_dElbowRadius = readSettingReal(L"PIPE", L"WTBJ", m_ini);
    m_worker.m_dOuterDiameter = readSettingReal(L"PIPE", L"DW", m_ini);
    m_worker.m_nFittingMode = static_cast<int>(GetPrivateProfileIntW(L"DRAW", L"ENDSTYLE", 0, m_ini.c_str()));
    // The prompts show the values as they were when the command started.
    m_shownDiameter = formatReal(m_worker.m_dOuterDiameter);
    m_shownRadius = formatReal(m_worker.m_dElbowRadius);
    if (m_worker.m_dOuterDiameter == 0) askDiameter();
    if (m_worker.m_dElbowRadius == 0) askRadius();
  }

  // A value kept (0 or no reply) is not written again: the stored text stays as
  // it was, in whatever form it was written.
  void askDiameter() {
    if (askSize(L"\n请输入请输入管道外径[" + m_shownDiameter + L"][默认(0)]:", m_worker.m_dOuterDiameter))
      writeReal(L"PIPE", L"DW", m_worker.m_dOuterDiameter, m_ini);
  }

  void askRadius() {
    if (askSize(L"\n 请输入请输入弯头半径[" + m_shownRadius + L"][默认(0)]:", m_worker.m_dElbowRadius))
      writeReal(L"PIPE", L"WTBJ", m_worker.m_dElbowRadius, m_ini);
  }

  // The first point of the run, after changing the sizes with "C" if the
  // user wants to. False when the user gives none.
  bool firstPoint() {
    acedInitGet(0, L"W C 0");
    AcGePoint2d first;
    int result = askPoint(nullptr,
                          L"\n请输入第一点[x,y][管道外径(" + m_shownDiameter + L")][弯头半径(" + m_shownRadius +
                              L")][修改(C)]:",
                          first);
    if (result == RTKWORD) {
      std::wstring keyword;
      if (!typedKeyword(keyword)) return false;
      if (keyword == L"C") {
        askDiameter();
        askRadius();
      }
      result = askPoint(nullptr, L"\n请输入第一点[x,y]:", first);
    }
    if (result != RTNORM) return false;
    m_last = first;
    m_letter = defaultLetter(m_worker.m_nFittingMode);
    return true;
  }

  // One round of the next-point prompt; false when the command ends. Enter
  // or a cancel end it without drawing the pending piece.
  bool nextPoint() {
    acedInitGet(0, L"W X S D F 0");
    AcGePoint2d point;
    int result = askPoint(&m_last,
                          std::wstring(L"\n请输入下一点[水平弯头(W)][下弯弯头(X)][上弯弯头(S)][大小头(D)][阀门(F)][默认(") +
                              m_letter + L")]<完成(0)>:",
                          point);
    if (result == RTNORM) return acceptPoint(point);
    if (result != RTKWORD) return false;
    std::wstring keyword;
    if (!typedKeyword(keyword)) return false;
    if (keyword == L"W") return chooseFitting(kHorizontalElbow);
    if (keyword == L"X") return chooseFitting(kDownBendElbow);
    if (keyword == L"S") return chooseFitting(kUpBendElbow);
    if (keyword == L"D") return reducer();
    if (keyword == L"F") return valve();
    if (keyword == L"0") {
      m_letter = L"0";
      finish();
      return false;
    }
    acutPrintf(L"%ls", L"\n 你输入的是无效的关键字！");
    return true;
  }

  bool chooseFitting(int mode) {
    m_worker.m_nFittingMode = mode;
    WritePrivateProfileStringW(L"DRAW", L"ENDSTYLE", formatInt(mode).c_str(), m_ini.c_str());
    m_letter = defaultLetter(mode);
    return true;
  }

  // A new point C. The first one of a run only fixes the run's first piece;
  // every later one makes B a corner, where the worker draws the fitting and
  // the pending piece up to it.
  bool acceptPoint(const AcGePoint2d& c) {
    m_afterValve = false;
    if (m_worker.m_nCornerCount == 0) {
      m_worker.m_ptRunStart = m_last;
      m_worker.m_ptFirstEnd = c;
      if (c == m_last) return false;
      m_worker.m_nCornerCount = 1;
      m_last = c;
      return true;
    }
    // A point on top of the last one (a double click) adds a leg of no
    // length and no direction: it is passed over and the run goes on.
    if (c == m_last) return true;
    const CornerPoints corner = cornerPoints(m_worker.m_ptRunStart, m_last, c, m_worker.m_dElbowRadius,
                                             m_worker.m_nFittingMode);
    if (corner.blocked) return false;
    if (!m_worker.drawCorner(m_last, c, corner, m_styles)) return false;
    m_worker.m_ptRunStart = corner.t2;
    if (m_worker.m_nCornerCount == 1) m_worker.m_nCornerCount = 2;
    m_last = c;
    return true;
  }

  // The run has a piece that is not drawn yet. Right after the first point,
  // a reducer or a valve it has none: closing it then draws nothing (the
  // start S is left over from before and would draw a piece back through
  // the fitting, or from the origin).
  bool hasPendingPiece() const { return m_worker.m_nCornerCount != 0 && !m_afterValve; }

  // Draws the pending piece up to B before a finish, reducer or valve. False
  // (end the command) when the pending piece has no length.
  bool closePendingPiece(PendingPieceEnd end) {
    if (!hasPendingPiece()) return true;
    if (m_worker.m_ptRunStart == m_last) return false;
    m_worker.drawPendingPiece(m_last, end, m_styles);
    return true;
  }

  void finish() { closePendingPiece(PendingPieceEnd::kFinish); }

  // A reducer from B: the rear sizes, the end point and the form. The next
  // point starts a new run at the rear end's axis with the rear diameter.
  bool reducer() {
    if (!closePendingPiece(PendingPieceEnd::kReducer)) return false;
    double rearDiameter = readSettingReal(L"DXT", L"DW2", m_ini);
    double rearRadius = readSettingReal(L"DXT", L"WTBJ2", m_ini);
    const std::wstring shownDiameter = formatReal(rearDiameter);
    const std::wstring shownRadius = formatReal(rearRadius);

    askSize(L"\n请输入请输入后管道外径[" + shownDiameter + L"][默认(0)]:", rearDiameter);
    if (rearDiameter != 0) {
      writeReal(L"DXT", L"DW2", rearDiameter, m_ini);
      writeReal(L"PIPE", L"DW", rearDiameter, m_ini);
    }
    askSize(L"\n请输入请输入后管道弯头半径[" + shownRadius + L"][默认(0)]:", rearRadius);
    if (rearRadius != 0) {
      writeReal(L"DXT", L"WTBJ2", rearRadius, m_ini);
      writeReal(L"PIPE", L"WTBJ", rearRadius, m_ini);
      m_worker.m_dElbowRadius = rearRadius;
    }
    AcGePoint2d end;
    const bool hasEnd = askPoint(&m_last, L"\n 请输入下一点[x,y]:", end) == RTNORM;
    const int form = askReducerForm();

    if (hasEnd) {
      // An end point on B gives the reducer neither length nor direction.
      if (end == m_last) return false;
      const ReducerEnds ends = reducerEnds(m_last, end, m_worker.m_dOuterDiameter, rearDiameter, form);
      if (ends.centre == m_last) return false;
      m_worker.m_ptRunStart = ends.centre;
      m_worker.drawReducer(m_last, end, ends, m_styles);
      m_last = ends.centre;
    }
    m_worker.m_dOuterDiameter = rearDiameter;
    m_worker.m_nCornerCount = 0;
    return true;
  }

  // A valve from B: the valve chosen last (or a new choice with "C") at the
  // stored pipe diameter. The next point starts a new run at its end.
  bool valve() {
    if (!closePendingPiece(PendingPieceEnd::kValve)) return false;
    ChosenPart chosen = readChosenPart(kValveLibrary, m_ini);
    const double diameter = wtof(readSettingText(L"PIPE", L"DW", m_ini).c_str());

    acedInitGet(0, L"C 0");
    AcGePoint2d end;
    int result = askPoint(&m_last,
                          L"\n请输入下一点[x,y][阀门类型(" + chosen.blockName + L")][管径(" + formatReal(diameter) +
                              L")][修改(C)]:",
                          end);
    if (result == RTKWORD) {
      std::wstring keyword;
      if (!typedKeyword(keyword)) return false;
      if (keyword == L"C") showValveDialog();
      result = askPoint(&m_last, L"\n请输入下一点[x,y]:", end);
    }
    if (result == RTNORM) {
      // The dialog may have changed the choice.
      chosen = readChosenPart(kValveLibrary, m_ini);
      m_worker.drawValveAxis(m_last, end, m_styles);
      CDrawFMCmd placer;
      placer.insertValve(AcGePoint3d(m_last.x, m_last.y, 0), AcGePoint3d(end.x, end.y, 0), diameter,
                         chosen.drawingFile, chosen.blockName);
      m_last = end;
    }
    m_worker.m_nCornerCount = 0;
    m_afterValve = true;
    return true;
  }

  Worker& m_worker;
  const std::wstring& m_ini;
  PipeRunStyles m_styles;
  std::wstring m_shownDiameter, m_shownRadius;
  AcGePoint2d m_last;             // B, the last point accepted
  const wchar_t* m_letter = L"0";  // the default letter of the next-point prompt
  bool m_afterValve = false;      // a valve was the last thing placed
};

}  // namespace

template <class Worker>
void runPipeRunDialogue(Worker& worker) {
  PipeRunDialogue<Worker>(worker).run();
}

template void runPipeRunDialogue<CDrawLineCmd>(CDrawLineCmd&);
template void runPipeRunDialogue<CDrawDXCmd>(CDrawDXCmd&);
