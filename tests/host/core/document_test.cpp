// The session's document: unsaved changes through steps, undo, redo and saving.
#include "orv/core/document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv::core {
namespace {

void drawLine(Document& doc, const std::string& command, double x) {
  doc.beginStep(command);
  doc.database().append(db::Entity(db::Line{{x, 0, 0}, {x + 1, 0, 0}}));
  doc.endStep();
}

TEST(Document, knowsWhetherItDiffersFromItsFileThroughUndoRedoAndSaving) {
  struct Seen : DocumentObserver {
    int entities = 0, states = 0;
    void entityChanged(db::ObjectId) override { ++entities; }
    void stateChanged() override { ++states; }
  } seen;
  Document doc;
  doc.addObserver(&seen);
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.displayName(), "未命名");

  doc.beginStep("ID");  // asks only
  doc.endStep();
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.undoSteps(), 0u);

  drawLine(doc, "LINE", 0);
  drawLine(doc, "GD", 1);
  EXPECT_TRUE(doc.modified());
  doc.setPath("/tmp/plan.dxf");
  doc.markSaved();
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.displayName(), "plan.dxf");

  std::string name;
  ASSERT_TRUE(doc.undo(name));
  EXPECT_EQ(name, "GD");
  EXPECT_TRUE(doc.modified()) << "one step behind the file";
  ASSERT_TRUE(doc.redo(name));
  EXPECT_EQ(name, "GD");
  EXPECT_FALSE(doc.modified()) << "back where the file is";
  EXPECT_FALSE(doc.redo(name));

  ASSERT_TRUE(doc.undo(name));
  drawLine(doc, "LINE", 5);  // a new branch: the saved state cannot come back by redo
  EXPECT_EQ(doc.redoSteps(), 0u);
  EXPECT_TRUE(doc.modified());
  ASSERT_TRUE(doc.undo(name));
  EXPECT_TRUE(doc.modified()) << "one step short of the file's state, not at it";

  doc.markSaved();
  doc.noteChangeOutsideUndo();
  EXPECT_TRUE(doc.modified());
  EXPECT_GT(seen.entities, 0);
  EXPECT_GT(seen.states, 0);
  doc.removeObserver(&seen);
  drawLine(doc, "LINE", 9);
  ASSERT_TRUE(doc.undo(name));
  ASSERT_TRUE(doc.undo(name));
  EXPECT_FALSE(doc.undo(name));
}

TEST(Document, nestedStepsAreOneStepNamedByTheOutermost) {
  Document doc;
  doc.beginStep("GD");
  drawLine(doc, "inner", 0);
  drawLine(doc, "inner", 1);
  EXPECT_TRUE(doc.endStep());
  EXPECT_EQ(doc.undoSteps(), 1u);
  std::string name;
  ASSERT_TRUE(doc.undo(name));
  EXPECT_EQ(name, "GD");
  int live = 0;
  doc.database().forEachEntity(doc.database().modelSpace(), [&](db::ObjectId, const db::Entity&) { ++live; });
  EXPECT_EQ(live, 0);
}

}  // namespace
}  // namespace orv::core
