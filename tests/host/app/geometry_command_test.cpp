// CHGEOM from a script: each kind's geometry changed by its one-line form as one step
// of UNDO, and values that do not fit refused in Chinese with the entity unchanged.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "orv/prompt/script_console.h"
#include "session.h"

#include <unistd.h>

namespace {

using namespace orv;

std::string num(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v + 0.0);
  return std::string(b, r.ptr);
}

// The last entity of model space, its geometry in one line.
std::string describeLast(const db::Database& d) {
  std::string out;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    auto pt = [](const db::Point3& p) { return num(p.x) + "," + num(p.y) + "," + num(p.z); };
    if (const auto* l = e.as<db::Line>()) out = "LINE " + pt(l->start) + " " + pt(l->end);
    else if (const auto* c = e.as<db::Circle>()) out = "CIRCLE " + pt(c->center) + " " + num(c->radius);
    else if (const auto* a = e.as<db::Arc>())
      out = "ARC " + pt(a->center) + " " + num(a->radius) + " " + num(a->startAngle) + " " + num(a->endAngle);
    else if (const auto* p = e.as<db::Polyline>()) {
      out = p->closed() ? "PLINE closed" : "PLINE";
      for (std::size_t i = 0; i < p->size(); ++i) out += " " + num(p->point(i).x) + "," + num(p->point(i).y);
    } else if (const auto* r = e.as<db::BlockReference>())
      out = "INSERT " + pt(r->position) + " " + num(r->xScale) + " " + num(r->yScale) + " " + num(r->rotation);
    else if (const auto* po = e.as<db::Point>())
      out = "POINT " + pt(po->position);
    else if (const auto* el = e.as<db::Ellipse>())
      out = "ELLIPSE " + pt(el->center) + " " + num(el->ratio);
    else if (const auto* k = e.as<db::UnknownEntity>()) {
      out = std::string(d.name(k->type));
      for (db::RawTag t : k->tags)
        if (t.code == 1 || t.code == 40) out += " " + std::to_string(t.code) + "=" + std::string(t.value);
    }
  });
  return out;
}

struct Ran {
  std::string transcript, last;
};

Ran run(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  session.run();
  return {out.str(), describeLast(session.database())};
}

const std::string kLine = "LINE\n0,0\n10,0\n\n";
const std::string kCircle = "CIRCLE\n0,0\n10\n";
const std::string kArc = "ARC\n10,0\n0,10\n-10,0\n";
const std::string kPline = "PLINE\n0,0\n10,0\n10,10\n\n";

TEST(GeometryCommand, changesOneValueOfTheSelectedEntityAndRefusesWhatDoesNotFit) {
  struct Case {
    const char* what;
    std::string script;
    std::string last, message;
  };
  const Case cases[] = {
      {"a line's start", kLine + "CHGEOM START 1,2\nL\n\n", "LINE 1,2,0 10,0,0", ""},
      {"a line's end with z", kLine + "CHGEOM END 5, 6, 7\nL\n\n", "LINE 0,0,0 5,6,7", ""},
      {"asked when not on the line", kLine + "CHGEOM\nL\n\nend 3,4\n", "LINE 0,0,0 3,4,0", ""},
      {"a point that is none", kLine + "CHGEOM END 5;6\nL\n\n", "LINE 0,0,0 10,0,0", "“5;6”不是点"},
      {"a circle's radius", kCircle + "CHGEOM RADIUS 2.5\nL\n\n", "CIRCLE 0,0,0 2.5", ""},
      {"a negative radius", kCircle + "CHGEOM RADIUS -1\nL\n\n", "CIRCLE 0,0,0 10", "半径须是正数"},
      {"a radius that is not a number", kCircle + "CHGEOM RADIUS abc\nL\n\n", "CIRCLE 0,0,0 10", "“abc”不是数"},
      {"a circle's centre", kCircle + "CHGEOM CENTER 3,4\nL\n\n", "CIRCLE 3,4,0 10", ""},
      {"a key the kind has not", kCircle + "CHGEOM START 1,1\nL\n\n", "CIRCLE 0,0,0 10", "没有可修改的几何数据“START”"},
      {"an arc's start angle, turned into a circle's degrees", kArc + "CHGEOM STARTANGLE -90\nL\n\n",
       "ARC 0,0,0 10 270 180", ""},
      {"an arc's end angle", kArc + "CHGEOM ENDANGLE 200\nL\n\n", "ARC 0,0,0 10 0 200", ""},
      {"a polyline's vertex", kPline + "CHGEOM VERTEX 2 20,0\nL\n\n", "PLINE 0,0 20,0 10,10", ""},
      {"a vertex that is not there", kPline + "CHGEOM VERTEX 4 20,0\nL\n\n", "PLINE 0,0 10,0 10,10",
       "顶点编号须在 1 到 3 之间"},
      {"a polyline closed", kPline + "CHGEOM CLOSED Y\nL\n\n", "PLINE closed 0,0 10,0 10,10", ""},
      {"closed answered wrongly", kPline + "CHGEOM CLOSED maybe\nL\n\n", "PLINE 0,0 10,0 10,10", "闭合须答 Y"},
      {"two entities chosen", kLine + kCircle + "CHGEOM RADIUS 1\nALL\n\n", "CIRCLE 0,0,0 10",
       "只能修改一个对象的几何数据（选中了 2 个）"},
      {"undone as one step", kCircle + "CHGEOM RADIUS 3\nL\n\nUNDO\n", "CIRCLE 0,0,0 10", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Ran r = run(c.script);
    EXPECT_EQ(r.last, c.last) << r.transcript;
    if (!c.message.empty()) {
      EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
    }
  }
}

// Kinds no drawing command makes yet, opened from a file.
TEST(GeometryCommand, changesPointsAndEllipsesOpenedFromAFile) {
  const std::string path = ::testing::TempDir() + "chgeom_kinds.dxf";
  {
    std::ofstream f(path, std::ios::binary);
    f << "0\nSECTION\n2\nENTITIES\n"
         "0\nELLIPSE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n4\n21\n0\n31\n0\n40\n0.5\n41\n0\n42\n6.283185307179586\n"
         "0\nPOINT\n8\n0\n10\n5\n20\n6\n30\n0\n"
         "0\nENDSEC\n0\nEOF\n";
  }
  struct Case {
    const char* what;
    std::string script;
    std::string last, message;
  };
  const std::string open = "OPEN\n" + path + "\n";
  const Case cases[] = {
      {"a point moved", open + "CHGEOM POSITION 7,8\nL\n\n", "POINT 7,8,0", ""},
      {"a point's key refused", open + "CHGEOM RADIUS 1\nL\n\n", "POINT 5,6,0", "没有可修改的几何数据“RADIUS”"},
      {"an ellipse's ratio", open + "ERASE\nL\n\nCHGEOM RATIO 0.25\nL\n\n", "ELLIPSE 1,2,0 0.25", ""},
      {"a ratio above one refused", open + "ERASE\nL\n\nCHGEOM RATIO 2\nL\n\n", "ELLIPSE 1,2,0 0.5", "不大于 1"},
      {"an ellipse's centre, undone", open + "ERASE\nL\n\nCHGEOM CENTER 3,3\nL\n\nUNDO\n", "ELLIPSE 1,2,0 0.5", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Ran r = run(c.script);
    EXPECT_EQ(r.last, c.last) << r.transcript;
    if (!c.message.empty()) {
      EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
    }
  }
}

}  // namespace

namespace {

// A drawing of one kept text entity, opened from a file of its own.
std::string withText(const std::string& entity, const std::string& script) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("orv-chgeom-" + std::to_string(::getpid()) + "-" + std::to_string(std::hash<std::string>{}(entity)) + ".dxf");
  std::ofstream(file, std::ios::binary) << "0\nSECTION\n2\nENTITIES\n" << entity << "0\nENDSEC\n0\nEOF\n";
  return "OPEN\n" + file.string() + "\n" + script;
}

const std::string kText = "0\nTEXT\n8\n0\n10\n1\n20\n2\n30\n0\n40\n2.5\n1\nOLD\n";
const std::string kMtext = "0\nMTEXT\n8\n0\n10\n0\n20\n0\n30\n0\n40\n3\n3\nFIRST PIECE \n1\nLAST\n";

TEST(GeometryCommand, changesATextsContentsAndHeightInItsKeptTags) {
  const std::string longText(300, 'x');
  struct Case {
    const char* what;
    std::string script;
    std::string last, message;
  };
  const Case cases[] = {
      {"a text's contents", withText(kText, "CHGEOM CONTENTS NEW WORDS\nL\n\n"), "TEXT 40=2.5 1=NEW WORDS", ""},
      {"a text's height", withText(kText, "CHGEOM HEIGHT 5\nL\n\n"), "TEXT 40=5 1=OLD", ""},
      {"a height of zero", withText(kText, "CHGEOM HEIGHT 0\nL\n\n"), "TEXT 40=2.5 1=OLD", "文字高度须是正数"},
      {"a text longer than a line holds", withText(kText, "CHGEOM CONTENTS " + longText + "\nL\n\n"),
       "TEXT 40=2.5 1=OLD", "单行文字不能超过 250 个字节"},
      {"an MTEXT's pieces become one", withText(kMtext, "CHGEOM CONTENTS ONE\nL\n\n"), "MTEXT 40=3 1=ONE", ""},
      {"a long MTEXT in pieces again", withText(kMtext, "CHGEOM CONTENTS " + longText + "\nL\n\n"),
       "MTEXT 40=3 1=" + std::string(50, 'x'), ""},
      {"a key texts have not", withText(kText, "CHGEOM RADIUS 5\nL\n\n"), "TEXT 40=2.5 1=OLD",
       "没有可修改的几何数据“RADIUS”"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Ran r = run(c.script);
    EXPECT_EQ(r.last, c.last) << r.transcript;
    if (!c.message.empty()) {
      EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
    }
  }
}

}  // namespace
