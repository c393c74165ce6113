// COPYCLIP, CUTCLIP and PASTECLIP from scripts: what is copied is a DXF drawing of its
// own that another session pastes with the layers, linetypes, blocks and text styles it
// uses, at the point given; cut and paste are steps of UNDO; a clipboard without a
// drawing is refused.
#include "scripted_session.h"

#include <optional>

#include "clipboard_commands.h"

namespace {

using namespace orv;
using namespace orv::apptest;

// What the process's clipboard holds when no window binds another: the sessions' while
// it lives, even when a test ends early.
class Held final : public app::Clipboard {
 public:
  Held() { app::setClipboard(this); }
  ~Held() override { app::setClipboard(nullptr); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  void put(const std::string& dxf) override { text_ = dxf; }
  std::optional<std::string> text() override { return text_; }
  std::optional<std::string> text_;
};

// The layers, blocks and text styles a drawing has besides those every
// drawing has; the block with the number of its entities.
std::string tables(const db::Database& d) {
  std::string out;
  if (const auto valve = d.findBlock("VALVE")) out += "VALVE(" + std::to_string(d.block(*valve).entities.size()) + ") ";
  for (const db::Layer& l : d.layers())
    if (l.name != "0" && l.name != "Defpoints") out += l.name + " " + std::to_string(l.color) + " " + l.linetype + ";";
  for (const db::TextStyle& st : d.textStyles())
    if (st.name != "Standard") out += " style " + st.name;
  return out;
}

const std::string kPipe = "LINETYPE\nL\nDASHED\n\nLAYER\nM\nPIPE\nC\n3\n\nL\nDASHED\n\n\n";
const std::string kValves =  // a block of two lines, inserted twice on PIPE
    kPipe + "LINE\n0,0\n4,0\n\nLINE\n2,1\n2,3\n\nBLOCK\nVALVE\n0,0\nALL\n\nINSERT\nVALVE\n50,60\n\n\n\n"
            "INSERT\nVALVE\n80,60\n\n\n\n";

TEST(ClipboardCommands, copyCutAndPasteWithinAndBetweenDrawings) {
  Held held;
  const std::string text =
      dxfWith("0\nTEXT\n8\nNOTES\n7\nHZ\n10\n1\n20\n2\n30\n0\n40\n2.5\n1\nVALVE\n");
  const struct {
    const char* what;
    std::string copying;  // run first, in a session of its own ("" for none)
    std::string pasting;
    std::vector<std::string> drawing;
    std::string tables, message;
  } cases[] = {
      {"pasted at a point, its lower left corner there",
       "", "LINE\n0,0\n10,5\n\nLINE\n20,-2\n22,0\n\nCOPYCLIP\nALL\n\nPASTECLIP\n100,100\n",
       {"0 256 LINE 0,0,0 10,5,0", "0 256 LINE 20,-2,0 22,0,0", "0 256 LINE 100,102,0 110,107,0",
        "0 256 LINE 120,100,0 122,102,0"},
       "", "已复制 2 个对象到剪贴板"},
      {"into another drawing with its layer and that layer's linetype",
       kPipe + "LINE\n1,1\n2,2\n\nCHPROP C 5\nL\n\nCOPYCLIP\nL\n\n", "PASTECLIP\n0,0\n",
       {"PIPE 5 LINE 0,0,0 1,1,0"}, "PIPE 3 DASHED;", "已粘贴 1 个对象"},
      {"a layer of the same name keeps this drawing's colour",
       kPipe + "LINE\n1,1\n2,2\n\nCOPYCLIP\nL\n\n", "LAYER\nN\nPIPE\nC\n4\nPIPE\n\nPASTECLIP\n0,0\n",
       {"PIPE 256 LINE 0,0,0 1,1,0"}, "PIPE 4 Continuous;", ""},
      {"one reference of two with its block, its base the lower left corner of its extents",
       kValves + "COPYCLIP\nL\n\n", "PASTECLIP\n0,0\n",
       {"PIPE 256 INSERT VALVE 0,0,0 1 1 0"}, "VALVE(2) PIPE 3 DASHED;", ""},
      {"a text with its style", "OPEN\n" + text + "\nCOPYCLIP\nL\n\n", "PASTECLIP\n10,10\n",
       {"NOTES 256 TEXT 7=HZ 40=2.5 1=VALVE"}, "NOTES 7 Continuous; style HZ", ""},
      {"cut, then pasted back", "",
       "LINE\n0,0\n10,0\n\nCUTCLIP\nL\n\nPASTECLIP\n5,5\n", {"0 256 LINE 5,5,0 15,5,0"}, "", "已剪切 1 个对象"},
      {"a cut undone", "", "LINE\n0,0\n10,0\n\nCUTCLIP\nL\n\nUNDO\n", {"0 256 LINE 0,0,0 10,0,0"}, "", ""},
      {"a paste undone whole", "", "LINE\n0,0\n10,0\n\nCOPYCLIP\nL\n\nPASTECLIP\n5,5\nUNDO\n",
       {"0 256 LINE 0,0,0 10,0,0"}, "", ""},
      {"a paste cancelled changes nothing", "LINE\n0,0\n10,0\n\nCOPYCLIP\nL\n\n", "PASTECLIP\n", {}, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    held.text_.reset();
    if (!c.copying.empty()) ScriptedSession copied(c.copying);
    ScriptedSession s(c.pasting);
    EXPECT_EQ(describeAll(s.database()), c.drawing) << s.transcript();
    EXPECT_EQ(tables(s.database()), c.tables);
    EXPECT_TRUE(s.said(c.message)) << s.transcript();
  }
}

TEST(ClipboardCommands, refuseAClipboardWithoutADrawing) {
  Held held;
  const struct {
    const char* what;
    std::optional<std::string> text;
    std::string message;
  } cases[] = {
      {"empty", std::nullopt, "剪贴板中没有可粘贴的图形"},
      {"text of another kind", std::string("pipe run 3\n"), "剪贴板中的内容不是可读的 DXF 图形"},
      {"a DXF without entities", std::string("0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n"),
       "剪贴板中的图形没有对象"},
      {"a DXF cut short", std::string("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n"), "剪贴板中的内容不是可读的 DXF 图形"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    held.text_ = c.text;
    ScriptedSession s("LINE\n0,0\n1,0\n\nPASTECLIP\n0,0\n");
    EXPECT_EQ(describeAll(s.database()), std::vector<std::string>{"0 256 LINE 0,0,0 1,0,0"});
    EXPECT_TRUE(s.said(c.message)) << s.transcript();
  }
}

}  // namespace
