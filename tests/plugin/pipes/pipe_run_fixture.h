// What the GD and DX tests share: line styles, a valve library, the dialogue's prompts and matchers.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "command_fixture.h"
#include "drawn_entities.h"
#include "parts/library_drawings.h"

namespace pipes_test {

using P = AcGePoint2d;

// Centre lines red CENTER, side lines green DASHED.
inline constexpr const char* kStyles =
    "[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n";

inline auto centre(P a, P b) { return PieceIs(a, b, 1, "CENTER"); }
inline auto side(P a, P b) { return PieceIs(a, b, 3, "DASHED"); }
inline auto sideArc(P c, double r, double from, double to) { return ArcIs(c, r, from, to, 3, "DASHED"); }
inline auto centreArc(P c, double r, double from, double to) { return ArcIs(c, r, from, to, 1, "CENTER"); }

MATCHER(IsBlockReference, "") { return arg.kind == Drawn::Kind::other; }

// The prompts of the dialogue, as the transcript shows them.
inline std::string firstPointPrompt(const std::string& d, const std::string& r) {
  return "\n请输入第一点[x,y][管道外径(" + d + ")][弯头半径(" + r + ")][修改(C)]:";
}
inline std::string nextPointPrompt(const std::string& letter) {
  return "\n请输入下一点[水平弯头(W)][下弯弯头(X)][上弯弯头(S)][大小头(D)][阀门(F)][默认(" + letter + ")]<完成(0)>:";
}
inline std::string diameterPrompt(const std::string& d) { return "\n请输入请输入管道外径[" + d + "][默认(0)]:"; }
inline std::string radiusPrompt(const std::string& r) { return "\n 请输入请输入弯头半径[" + r + "][默认(0)]:"; }
inline std::string rearDiameterPrompt(const std::string& d) {
  return "\n请输入请输入后管道外径[" + d + "][默认(0)]:";
}
inline std::string rearRadiusPrompt(const std::string& r) {
  return "\n请输入请输入后管道弯头半径[" + r + "][默认(0)]:";
}
inline std::string valvePrompt(const std::string& name, const std::string& d) {
  return "\n请输入下一点[x,y][阀门类型(" + name + ")][管径(" + d + ")][修改(C)]:";
}
inline constexpr const char* kPlainFirstPoint = "\n请输入第一点[x,y]:";
inline constexpr const char* kPlainNextPoint = "\n请输入下一点[x,y]:";
inline constexpr const char* kReducerEndPrompt = "\n 请输入下一点[x,y]:";
inline constexpr const char* kFormPrompt = "\n请选择大小头形式(同心0)(上平1)(下平2):";
inline constexpr const char* kFormError = "\n输入错误,大小头默认为同心型";

// A prompt answered in the script.
inline std::string answered(const std::string& prompt, const std::string& reply) { return prompt + reply + "\n"; }

class PipeRunFixture : public CommandFixture {
 protected:
  // A settings file with the styles and the given pipe settings before them.
  void settings(const std::string& pipe) { writeIni(pipe + kStyles); }

  // A valve library drawing "Gate" beside the settings file, chosen as the
  // valve to place.
  std::string gateValve() {
    const std::filesystem::path folder = std::filesystem::path(iniPath()).parent_path() / "resource" / "FM";
    parts_test::writeValve(folder, "Gate");
    return "[FM]\nFMNAME=Gate\nFMFILENAME=" + (folder / "Gate.dxf").string() + "\n";
  }

  // The entities drawn, with the valve references kept as opaque entries.
  std::vector<Drawn> drawn() { return drawnEntities(drawing()); }
};

}  // namespace pipes_test
