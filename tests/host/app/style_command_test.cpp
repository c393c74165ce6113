// STYLE, DIMSTYLE, DIMSCALE and LTSCALE in a session driven by a script: style names and
// fonts with a big font taken apart, Enter keeping each value, Esc changing nothing, each
// command its own step of UNDO and REDO.
#include "scripted_session.h"

#include "orv/core/drafting_styles.h"
#include "style_commands.h"

namespace {

using namespace orv;
using namespace orv::apptest;

TEST(StyleCommands, namesAndFontsAreTakenApart) {
  const struct {
    std::string typed;
    bool ok;
  } names[] = {{"工程字", true}, {"a b", true}, {"", false}, {"a|b", false}, {std::string(256, 'x'), false}};
  for (const auto& n : names) EXPECT_EQ(!app::styleNameProblem(n.typed).has_value(), n.ok) << n.typed;
  const struct {
    std::string typed, font, bigFont;
  } fonts[] = {{" gbenor.shx ， gbcbig.shx ", "gbenor.shx", "gbcbig.shx"}, {",gbcbig.shx", "", "gbcbig.shx"}};
  for (const auto& f : fonts) {
    const auto c = app::parseFontChoice(f.typed);
    EXPECT_EQ(c.font + "|" + c.bigFont, f.font + "|" + f.bigFont) << f.typed;
  }
}

TEST(StyleCommands, enterKeepsEscChangesNothingAndEachIsOneStepOfUndo) {
  const struct {
    std::string name, script;
    std::string got;  // dimension text height, DIMSCALE, LTSCALE, $TEXTSTYLE and its font
  } cases[] = {
      {"dimstyle, Enter keeps", "DIMSTYLE\nT\n\n\n", "2.5 1 1 /"},
      {"dimstyle undone and redone", "DIMSTYLE\nT\n5\n\nUNDO\nREDO\n", "5 1 1 /"},
      {"dimstyle cancelled", "DIMSTYLE\nT\n5\nS\n^C\n", "2.5 1 1 /"},
      {"ltscale then dimscale, one undone", "LTSCALE\n3\nDIMSCALE\n50\nUNDO\n", "2.5 1 3 /"},
      {"style, Enter keeping the rest", "STYLE\nHZ\ngbenor.shx,gbcbig.shx\n\n\n\n", "2.5 1 1 HZ/gbenor.shx"},
      {"style cancelled at the width", "STYLE\nHZ\ngbenor.shx\n0\n^C\n", "2.5 1 1 /"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedSession s(c.script);
    const db::Database& d = s.database();
    const core::DimensionStyle dim = core::currentDimensionStyle(d);
    const std::string style = core::headerValue(d.header, "$TEXTSTYLE").value_or("");
    const auto* st = d.textStyles().get(style);
    EXPECT_EQ(num(dim.textHeight) + " " + num(dim.scale) + " " + num(d.header.linetypeScale) + " " + style + "/" +
                  (st ? st->font : ""),
              c.got)
        << s.transcript();
  }
}

}  // namespace
