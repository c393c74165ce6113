// STYLE, DIMSTYLE, DIMSCALE and LTSCALE in a session driven by a script: replies taken
// apart (names, fonts with a big font), Enter keeping each value, Esc changing nothing,
// and UNDO and REDO of each.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "orv/core/drafting_styles.h"
#include "orv/prompt/script_console.h"
#include "session.h"
#include "style_commands.h"

namespace {

using namespace orv;

TEST(StyleCommands, namesAndFontsAreTakenApart) {
  struct Name {
    std::string typed;
    bool ok;
  } names[] = {{"工程字", true}, {"HZ-3.5", true}, {"a b", true}, {"", false}, {"a<b", false},
               {"a/b", false},   {"a*b", false},   {"a|b", false}, {std::string(256, 'x'), false}};
  for (const Name& n : names) EXPECT_EQ(!app::styleNameProblem(n.typed).has_value(), n.ok) << n.typed;
  struct Font {
    std::string typed, font, bigFont;
  } fonts[] = {{"gbenor.shx", "gbenor.shx", ""},
               {"gbenor.shx,gbcbig.shx", "gbenor.shx", "gbcbig.shx"},
               {" gbenor.shx ， gbcbig.shx ", "gbenor.shx", "gbcbig.shx"},
               {"仿宋", "仿宋", ""},
               {",gbcbig.shx", "", "gbcbig.shx"}};
  for (const Font& f : fonts) {
    const auto c = app::parseFontChoice(f.typed);
    EXPECT_EQ(c.font, f.font) << f.typed;
    EXPECT_EQ(c.bigFont, f.bigFont) << f.typed;
  }
}

struct Ran {
  std::string transcript;
  core::DimensionStyle dim;
  double linetypeScale = 0;
  std::string textStyle, font;
};

Ran run(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out;
  prompt::ScriptConsole console(in, out);
  app::Session session(console);
  session.run();
  Ran r;
  r.transcript = out.str();
  const db::Database& d = session.database();
  r.dim = core::currentDimensionStyle(d);
  r.linetypeScale = d.header.linetypeScale;
  r.textStyle = core::headerValue(d.header, "$TEXTSTYLE").value_or("");
  if (const auto* st = d.textStyles().get(r.textStyle)) r.font = st->font;
  return r;
}

TEST(StyleCommands, eachIsOneStepOfUndoAndEscChangesNothing) {
  struct Case {
    std::string name, script;
    double textHeight, scale, linetypeScale;
    std::string textStyle;
  } cases[] = {
      {"dimstyle", "DIMSTYLE\nT\n5\nS\n20\n\n", 5, 20, 1, ""},
      {"dimstyle, Enter keeps", "DIMSTYLE\nT\n\n\n", 2.5, 1, 1, ""},
      {"dimstyle undone", "DIMSTYLE\nT\n5\nS\n20\n\nUNDO\n", 2.5, 1, 1, ""},
      {"dimstyle undone and redone", "DIMSTYLE\nT\n5\n\nUNDO\nREDO\n", 5, 1, 1, ""},
      {"dimstyle cancelled", "DIMSTYLE\nT\n5\nS\n^C\n", 2.5, 1, 1, ""},
      {"dimscale", "DIMSCALE\n50\n", 2.5, 50, 1, ""},
      {"ltscale then dimscale, one undone", "LTSCALE\n3\nDIMSCALE\n50\nUNDO\n", 2.5, 1, 3, ""},
      {"both undone", "LTSCALE\n3\nDIMSCALE\n50\nUNDO\nUNDO\n", 2.5, 1, 1, ""},
      {"style", "STYLE\nHZ\ngbenor.shx,gbcbig.shx\n\n\n\n", 2.5, 1, 1, "HZ"},
      {"style cancelled at the width", "STYLE\nHZ\ngbenor.shx\n0\n^C\n", 2.5, 1, 1, ""},
      {"style undone", "STYLE\nHZ\n\n\n\n\nUNDO\n", 2.5, 1, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Ran r = run(c.script);
    EXPECT_EQ(r.dim.textHeight, c.textHeight);
    EXPECT_EQ(r.dim.scale, c.scale);
    EXPECT_EQ(r.linetypeScale, c.linetypeScale);
    EXPECT_EQ(r.textStyle, c.textStyle);
    if (c.textStyle == "HZ") {
      EXPECT_EQ(r.font, "gbenor.shx");
    }
  }
}

}  // namespace
