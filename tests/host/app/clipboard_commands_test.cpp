// COPYCLIP, CUTCLIP and PASTECLIP from scripts: what is copied is a DXF drawing of its
// own that another session pastes with the layers and linetypes it uses, at the point
// given; cut and paste are steps of UNDO; a clipboard without a drawing is refused.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "clipboard_commands.h"
#include "orv/dxf/reader.h"
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

std::vector<std::string> describe(const db::Database& d) {
  std::vector<std::string> out;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    std::string s = std::string(d.name(e.layer)) + " " + std::to_string(e.color) + " ";
    if (const auto* l = e.as<db::Line>())
      s += "LINE " + num(l->start.x) + "," + num(l->start.y) + " " + num(l->end.x) + "," + num(l->end.y);
    else if (const auto* c = e.as<db::Circle>())
      s += "CIRCLE " + num(c->center.x) + "," + num(c->center.y) + " " + num(c->radius);
    else if (const auto* r = e.as<db::BlockReference>())
      s += "INSERT " + d.block(r->block).name + " " + num(r->position.x) + "," + num(r->position.y);
    else
      s += "OTHER";
    out.push_back(s);
  });
  return out;
}

struct Ran {
  std::string transcript;
  std::vector<std::string> drawing;
  std::string pipeLayer;  // PIPE's colour and linetype, when the drawing has it
};

Ran run(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  session.run();
  Ran r{out.str(), describe(session.database()), {}};
  if (const db::Layer* l = session.database().layers().get("PIPE"))
    r.pipeLayer = std::to_string(l->color) + " " + l->linetype;
  return r;
}

// What the process's clipboard holds when no window binds another.
class Held final : public app::Clipboard {
 public:
  void put(const std::string& dxf) override { text_ = dxf; }
  std::optional<std::string> text() override { return text_; }
  std::optional<std::string> text_;
};

// The sessions' clipboard while it lives, even when a test ends early.
class Bound {
 public:
  explicit Bound(app::Clipboard& c) { app::setClipboard(&c); }
  ~Bound() { app::setClipboard(nullptr); }
  Bound(const Bound&) = delete;
  Bound& operator=(const Bound&) = delete;
};

const std::string kPipe = "LINETYPE\nL\nDASHED\n\nLAYER\nM\nPIPE\nC\n3\n\nL\nDASHED\n\n\n";

TEST(ClipboardCommands, copyCutAndPasteWithinAndBetweenDrawings) {
  Held held;
  const Bound bound(held);
  struct Case {
    const char* what;
    std::string copying;  // run first, in a session of its own ("" for none)
    std::string pasting;
    std::vector<std::string> drawing;
    std::string pipeLayer, message;
  };
  const Case cases[] = {
      {"pasted at a point, its lower left corner there",
       "", "LINE\n0,0\n10,5\n\nLINE\n20,-2\n22,0\n\nCOPYCLIP\nALL\n\nPASTECLIP\n100,100\n",
       {"0 256 LINE 0,0 10,5", "0 256 LINE 20,-2 22,0", "0 256 LINE 100,102 110,107", "0 256 LINE 120,100 122,102"},
       "", "已复制 2 个对象到剪贴板"},
      {"into another drawing with its layer and that layer's linetype",
       kPipe + "LINE\n1,1\n2,2\n\nCHPROP C 5\nL\n\nCOPYCLIP\nL\n\n", "PASTECLIP\n0,0\n",
       {"PIPE 5 LINE 0,0 1,1"}, "3 DASHED", "已粘贴 1 个对象"},
      {"a layer of the same name keeps this drawing's colour",
       kPipe + "LINE\n1,1\n2,2\n\nCOPYCLIP\nL\n\n", "LAYER\nN\nPIPE\nC\n4\nPIPE\n\nPASTECLIP\n0,0\n",
       {"PIPE 256 LINE 0,0 1,1"}, "4 Continuous", ""},
      {"cut, then pasted back", "",
       "LINE\n0,0\n10,0\n\nCUTCLIP\nL\n\nPASTECLIP\n5,5\n", {"0 256 LINE 5,5 15,5"}, "", "已剪切 1 个对象"},
      {"a cut undone", "", "LINE\n0,0\n10,0\n\nCUTCLIP\nL\n\nUNDO\n", {"0 256 LINE 0,0 10,0"}, "", ""},
      {"a paste undone whole", "", "LINE\n0,0\n10,0\n\nCOPYCLIP\nL\n\nPASTECLIP\n5,5\nUNDO\n",
       {"0 256 LINE 0,0 10,0"}, "", ""},
      {"a paste cancelled changes nothing", "LINE\n0,0\n10,0\n\nCOPYCLIP\nL\n\n", "PASTECLIP\n", {}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    held.text_.reset();
    if (!c.copying.empty()) run(c.copying);
    const Ran r = run(c.pasting);
    EXPECT_EQ(r.drawing, c.drawing) << r.transcript;
    EXPECT_EQ(r.pipeLayer, c.pipeLayer);
    if (!c.message.empty()) {
      EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
    }
  }
}

TEST(ClipboardCommands, refuseAClipboardWithoutADrawing) {
  Held held;
  const Bound bound(held);
  struct Case {
    const char* what;
    std::optional<std::string> text;
    std::string message;
  };
  const Case cases[] = {
      {"empty", std::nullopt, "剪贴板中没有可粘贴的图形"},
      {"text of another kind", std::string("pipe run 3\n"), "剪贴板中的内容不是可读的 DXF 图形"},
      {"a DXF without entities", std::string("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n"),
       "剪贴板中的图形没有对象"},
      {"a DXF cut short", std::string("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n"), "剪贴板中的内容不是可读的 DXF 图形"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    held.text_ = c.text;
    const Ran r = run("LINE\n0,0\n1,0\n\nPASTECLIP\n0,0\n");
    EXPECT_EQ(r.drawing, std::vector<std::string>{"0 256 LINE 0,0 1,0"});
    EXPECT_NE(r.transcript.find(c.message), std::string::npos) << r.transcript;
  }
}

TEST(ClipboardCommands, theCopiedDrawingHoldsWhatItUsesAndItsBasePoint) {
  Held held;
  const Bound bound(held);
  // A block of two lines, inserted twice on PIPE; one reference copied.
  run(kPipe +
      "LINE\n0,0\n4,0\n\nLINE\n2,1\n2,3\n\nBLOCK\nVALVE\n0,0\nALL\n\nINSERT\nVALVE\n50,60\n\n\n\n"
      "INSERT\nVALVE\n80,60\n\n\n\nCOPYCLIP\nL\n\n");
  ASSERT_TRUE(held.text_.has_value());
  dxf::ReadResult read = dxf::readDxf(*held.text_);
  ASSERT_TRUE(read.ok()) << read.error;
  const db::Database& clip = *read.drawing;
  EXPECT_EQ(describe(clip), std::vector<std::string>{"PIPE 256 INSERT VALVE 80,60"});
  ASSERT_TRUE(clip.findBlock("VALVE").has_value());
  EXPECT_EQ(clip.block(*clip.findBlock("VALVE")).entities.size(), 2u);
  ASSERT_NE(clip.layers().get("PIPE"), nullptr);
  EXPECT_EQ(clip.layers().get("PIPE")->linetype, "DASHED");
  EXPECT_TRUE(clip.hasLinetype("DASHED"));
  // The lower left corner of the reference's extents.
  EXPECT_EQ(clip.header.insertionBase.x, 80.0);
  EXPECT_EQ(clip.header.insertionBase.y, 60.0);
  // Pasted into an empty drawing: the block comes along.
  const Ran pasted = run("PASTECLIP\n0,0\n");
  EXPECT_EQ(pasted.drawing, std::vector<std::string>{"PIPE 256 INSERT VALVE 0,0"}) << pasted.transcript;
}

}  // namespace

namespace {

TEST(ClipboardCommands, aTextComesWithItsStyle) {
  Held held;
  const Bound bound(held);
  const auto file = std::filesystem::temp_directory_path() / ("orv-clip-text-" + std::to_string(::getpid()) + ".dxf");
  std::ofstream(file, std::ios::binary)
      << "0\nSECTION\n2\nENTITIES\n0\nTEXT\n8\nNOTES\n7\nHZ\n10\n1\n20\n2\n30\n0\n40\n2.5\n1\nVALVE\n0\nENDSEC\n0\nEOF\n";
  run("OPEN\n" + file.string() + "\nCOPYCLIP\nL\n\n");
  std::filesystem::remove(file);
  std::istringstream in("PASTECLIP\n10,10\n");
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  session.run();
  const db::Database& d = session.database();
  EXPECT_EQ(describe(d), std::vector<std::string>{"NOTES 256 OTHER"}) << out.str();
  EXPECT_NE(d.textStyles().get("HZ"), nullptr);
  EXPECT_NE(d.layers().get("NOTES"), nullptr);
}

}  // namespace
