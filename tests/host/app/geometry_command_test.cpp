// CHGEOM from a script: each kind's geometry changed by its one-line form as one step
// of UNDO, and values that do not fit refused in Chinese with the entity unchanged.
#include "scripted_session.h"

namespace {

using namespace orv::apptest;

const std::string kLine = "LINE\n0,0\n10,0\n\n";
const std::string kCircle = "CIRCLE\n0,0\n10\n";
const std::string kArc = "ARC\n10,0\n0,10\n-10,0\n";
const std::string kPline = "PLINE\n0,0\n10,0\n10,10\n\n";
// Kinds no drawing command makes, opened from files.
const std::string kPoint = "OPEN\n" + dxfWith("0\nPOINT\n8\n0\n10\n5\n20\n6\n30\n0\n") + "\n";
const std::string kEllipse =
    "OPEN\n" +
    dxfWith("0\nELLIPSE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n4\n21\n0\n31\n0\n40\n0.5\n41\n0\n42\n6.283185307179586\n") + "\n";
const std::string kText = "OPEN\n" + dxfWith("0\nTEXT\n8\n0\n10\n1\n20\n2\n30\n0\n40\n2.5\n1\nOLD\n") + "\n";
const std::string kMtext =
    "OPEN\n" + dxfWith("0\nMTEXT\n8\n0\n10\n0\n20\n0\n30\n0\n40\n3\n3\nFIRST PIECE \n1\nLAST\n") + "\n";
const std::string kLong(300, 'x');

TEST(GeometryCommand, changesOneValueOfTheSelectedEntityAndRefusesWhatDoesNotFit) {
  const struct {
    const char* what;
    std::string script;
    std::string last, message;
  } cases[] = {
      {"a line's start", kLine + "CHGEOM START 1,2\nL\n\n", "LINE 1,2,0 10,0,0", ""},
      {"a line's end with z", kLine + "CHGEOM END 5, 6, 7\nL\n\n", "LINE 0,0,0 5,6,7", ""},
      {"asked when not on the line", kLine + "CHGEOM\nL\n\nend 3,4\n", "LINE 0,0,0 3,4,0", ""},
      {"a radius that is not a number", kCircle + "CHGEOM RADIUS abc\nL\n\n", "CIRCLE 0,0,0 10", "“abc”不是数"},
      {"a circle's centre", kCircle + "CHGEOM CENTER 3,4\nL\n\n", "CIRCLE 3,4,0 10", ""},
      {"a key the kind has not", kCircle + "CHGEOM START 1,1\nL\n\n", "CIRCLE 0,0,0 10", "没有可修改的几何数据“START”"},
      {"an arc's start angle, turned into a circle's degrees", kArc + "CHGEOM STARTANGLE -90\nL\n\n",
       "ARC 0,0,0 10 270 180", ""},
      {"an arc's end angle", kArc + "CHGEOM ENDANGLE 200\nL\n\n", "ARC 0,0,0 10 0 200", ""},
      {"a vertex that is not there", kPline + "CHGEOM VERTEX 4 20,0\nL\n\n", "PLINE 0,0 10,0 10,10",
       "顶点编号须在 1 到 3 之间"},
      {"closed answered wrongly", kPline + "CHGEOM CLOSED maybe\nL\n\n", "PLINE 0,0 10,0 10,10", "闭合须答 Y"},
      {"two entities chosen", kLine + kCircle + "CHGEOM RADIUS 1\nALL\n\n", "CIRCLE 0,0,0 10",
       "只能修改一个对象的几何数据（选中了 2 个）"},
      {"a point moved", kPoint + "CHGEOM POSITION 7,8\nL\n\n", "POINT 7,8,0", ""},
      {"an ellipse's ratio", kEllipse + "CHGEOM RATIO 0.25\nL\n\n", "ELLIPSE 1,2,0 0.25", ""},
      {"a ratio above one", kEllipse + "CHGEOM RATIO 2\nL\n\n", "ELLIPSE 1,2,0 0.5", "不大于 1"},
      {"an ellipse's centre, undone", kEllipse + "CHGEOM CENTER 3,3\nL\n\nUNDO\n", "ELLIPSE 1,2,0 0.5", ""},
      {"a text's contents", kText + "CHGEOM CONTENTS NEW WORDS\nL\n\n", "TEXT 40=2.5 1=NEW WORDS", ""},
      {"a text's height", kText + "CHGEOM HEIGHT 5\nL\n\n", "TEXT 40=5 1=OLD", ""},
      {"a height of zero", kText + "CHGEOM HEIGHT 0\nL\n\n", "TEXT 40=2.5 1=OLD", "文字高度须是正数"},
      {"a text longer than a line holds", kText + "CHGEOM CONTENTS " + kLong + "\nL\n\n", "TEXT 40=2.5 1=OLD",
       "单行文字不能超过 250 个字节"},
      {"a key texts have not", kText + "CHGEOM RADIUS 5\nL\n\n", "TEXT 40=2.5 1=OLD", "没有可修改的几何数据“RADIUS”"},
      {"an MTEXT's pieces become one", kMtext + "CHGEOM CONTENTS ONE\nL\n\n", "MTEXT 40=3 1=ONE", ""},
      {"a long MTEXT whole", kMtext + "CHGEOM CONTENTS " + kLong + "\nL\n\n", "MTEXT 40=3 1=" + kLong, ""},
      {"an MTEXT's height", kMtext + "CHGEOM HEIGHT 4.5\nL\n\n", "MTEXT 40=4.5 1=FIRST PIECE LAST", ""},
      {"an MTEXT's rotation", kMtext + "CHGEOM ROTATION x\nL\n\n", "MTEXT 40=3 1=FIRST PIECE LAST", "“x”不是数"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedSession s(c.script);
    EXPECT_EQ(describeLast(s.database()), c.last) << s.transcript();
    EXPECT_TRUE(s.said(c.message)) << s.transcript();
  }
}

}  // namespace
