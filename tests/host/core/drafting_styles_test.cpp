// Header values kept as read, dimension styles stored and read back, and settings changes
// that UNDO and REDO take back and forth among the steps that change entities.
#include "orv/core/drafting_styles.h"

#include <gtest/gtest.h>

#include <string>

namespace orv::core {
namespace {

TEST(DraftingStyles, headerValuesAreReplacedWhereTheyStand) {
  db::HeaderVariables h;
  h.others.add(9, "$TEXTSIZE");
  h.others.add(40, "2.5");
  h.others.add(9, "$DIMSCALE");
  h.others.add(40, "1.0");
  h.others.add(9, "$TEXTSTYLE");
  h.others.add(7, "Standard");
  struct Case {
    std::string name;
    int code;
    std::string value;
    std::vector<std::string> order;  // the variables' names after the change
  } cases[] = {
      {"$dimscale", 40, "50.0", {"$TEXTSIZE", "$dimscale", "$TEXTSTYLE"}},
      {"$LTSCALE", 40, "2.0", {"$TEXTSIZE", "$dimscale", "$TEXTSTYLE", "$LTSCALE"}},
      {"$TEXTSTYLE", 7, "工程字", {"$TEXTSIZE", "$dimscale", "$TEXTSTYLE", "$LTSCALE"}},
  };
  for (const Case& c : cases) {
    setHeaderValue(h, c.name, c.code, c.value);
    EXPECT_EQ(headerValue(h, c.name), c.value);
    std::vector<std::string> names;
    for (db::RawTag t : h.others)
      if (t.code == 9) names.emplace_back(t.value);
    EXPECT_EQ(names, c.order);
  }
  EXPECT_EQ(headerNumber(h, "$DIMSCALE"), 50.0);
  EXPECT_EQ(headerNumber(h, "$TEXTSTYLE"), std::nullopt);  // not a number
  EXPECT_EQ(headerValue(h, "$MISSING"), std::nullopt);
}

TEST(DraftingStyles, aDimensionStyleStoredIsReadBack) {
  db::Database d = db::Database::newDrawing();
  // A new drawing: the metric defaults.
  EXPECT_EQ(currentDimensionStyle(d), DimensionStyle{});
  struct Case {
    ArrowKind arrow;
    const char* block;
  } cases[] = {{ArrowKind::tick, "_ARCHTICK"}, {ArrowKind::dot, "_DOT"}, {ArrowKind::closedFilled, nullptr}};
  for (const Case& c : cases) {
    const DimensionStyle s{"Standard", 3.5, 3, c.arrow, 1, 2, 0.5, 1, 100};
    ASSERT_TRUE(storeDimensionStyle(d, s));
    EXPECT_EQ(currentDimensionStyle(d), s);
    EXPECT_TRUE(!c.block || d.findBlock(c.block));
    EXPECT_EQ(headerValue(d.header, "$DIMBLK"), c.block ? c.block : "");
    EXPECT_EQ(headerNumber(d.header, "$DIMSCALE"), 100.0);
  }
  // Values the record lacks come from the header.
  db::Database bare = db::Database::newDrawing();
  setHeaderValue(bare.header, "$DIMTXT", 40, "5");
  setHeaderValue(bare.header, "$DIMDEC", 70, "0");
  EXPECT_EQ(currentDimensionStyle(bare).textHeight, 5);
  EXPECT_EQ(currentDimensionStyle(bare).decimals, 0);
  setHeaderValue(bare.header, "$DIMTXT", 40, "-1");  // refused: the default stays
  EXPECT_EQ(currentDimensionStyle(bare).textHeight, 2.5);
  // The arrow: the header's name, then a name in the record (older files), then a pointer.
  setHeaderValue(bare.header, "$DIMBLK", 1, "_DOT");
  EXPECT_EQ(currentDimensionStyle(bare).arrow, ArrowKind::dot);
  auto& record = bare.keptTable(db::KeptTable::dimstyle)[*bare.keptTable(db::KeptTable::dimstyle).find("Standard")];
  record.extras.add(5, "_ArchTick", 1);
  EXPECT_EQ(currentDimensionStyle(bare).arrow, ArrowKind::tick);
  DimensionStyle filled = currentDimensionStyle(bare);
  filled.arrow = ArrowKind::closedFilled;
  ASSERT_TRUE(storeDimensionStyle(bare, filled));  // the name goes, the header follows
  EXPECT_EQ(currentDimensionStyle(bare).arrow, ArrowKind::closedFilled);
}

TEST(DraftingStyles, settingsChangesAreStepsOfUndoAmongTheOthers) {
  Document doc;
  db::Database& d = doc.database();
  std::string name;
  auto scale = [&](double v) {
    return changeSettings(doc, "LTSCALE", {}, [v](db::Database& db) {
      db.header.linetypeScale = v;
      return true;
    });
  };
  ASSERT_TRUE(scale(10));
  doc.beginStep("LINE");
  d.append(db::Entity(db::Line{{0, 0, 0}, {1, 1, 0}}));
  doc.endStep();
  ASSERT_TRUE(changeSettings(doc, "DIMSCALE", {"$DIMSCALE"}, [](db::Database& db) {
    setHeaderValue(db.header, "$DIMSCALE", 40, "20.0");
    return true;
  }));
  EXPECT_FALSE(changeSettings(doc, "NOTHING", {}, [](db::Database&) { return false; }));
  // A text style added is taken back whole, with the header naming it.
  ASSERT_TRUE(changeSettings(doc, "STYLE", {"$TEXTSTYLE"}, [](db::Database& db) {
    db::TextStyle st;
    st.name = "工程字";
    st.font = "gbenor.shx";
    st.handle = db.newHandle();
    db.textStyles().add(st);
    setHeaderValue(db.header, "$TEXTSTYLE", 7, st.name);
    return true;
  }));
  EXPECT_EQ(doc.undoSteps(), 4u);

  struct Step {
    bool undo;
    std::string name;
    double linetypeScale;
    std::optional<std::string> dimscale;
    bool line, style;
  } steps[] = {
      {true, "STYLE", 10, "20.0", true, false},         {true, "DIMSCALE", 10, std::nullopt, true, false},
      {true, "LINE", 10, std::nullopt, false, false},   {true, "LTSCALE", 1, std::nullopt, false, false},
      {false, "LTSCALE", 10, std::nullopt, false, false}, {false, "LINE", 10, std::nullopt, true, false},
      {false, "DIMSCALE", 10, "20.0", true, false},     {false, "STYLE", 10, "20.0", true, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE((s.undo ? "undo " : "redo ") + s.name);
    ASSERT_TRUE(s.undo ? doc.undo(name) : doc.redo(name));
    EXPECT_EQ(name, s.name);
    EXPECT_EQ(d.header.linetypeScale, s.linetypeScale);
    EXPECT_EQ(headerValue(d.header, "$DIMSCALE"), s.dimscale);
    EXPECT_EQ(!d.lastEntity().isNull(), s.line);
    const db::TextStyle* st = d.textStyles().get("工程字");
    EXPECT_EQ(st && st->font == "gbenor.shx", s.style);
    EXPECT_EQ(headerValue(d.header, "$TEXTSTYLE").has_value(), s.style);
  }
  EXPECT_FALSE(doc.redo(name));
  EXPECT_TRUE(doc.modified());
  // A new settings step after an undo drops what could have been redone.
  ASSERT_TRUE(doc.undo(name));
  ASSERT_TRUE(scale(3));
  EXPECT_FALSE(doc.redo(name));
  ASSERT_TRUE(doc.undo(name));
  EXPECT_EQ(d.header.linetypeScale, 10);
}

}  // namespace
}  // namespace orv::core
