// The plug-in's commands answered in the window: clicks in the view and keywords
// clicked in the panel leave the drawing, the settings and the transcript that the same
// replies typed in a script leave.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

// ---- GD

struct RunCase {
  const char* name;
  std::string ini;
  std::vector<Act> acts;
  std::size_t minimumEntities;
};

TEST(WindowCommands, aDoubleLineRunClickedLeavesWhatTheSameRepliesTypedLeave) {
  const std::string sizes = "[PIPE]\nDW=100\nWTBJ=150\n";
  const RunCase cases[] = {
      {"a horizontal elbow chosen by its keyword, finished by 0",
       sizes + "[DRAW]\nENDSTYLE=2\n" + kStyles,
       {typing("GD"), clickAt(100, 450), clickAt(350, 450), keywordOf("W"), clickAt(350, 200), clickAt(600, 200),
        keywordOf("0")},
       5 + 5 + 5 + 5},
      {"an up-bend then a down-bend elbow",
       sizes + "[DRAW]\nENDSTYLE=1\n" + kStyles,
       {typing("GD"), clickAt(120, 400), keywordOf("S"), clickAt(400, 400), clickAt(400, 150), keywordOf("X"),
        clickAt(800, 150), clickAt(800, 350), keywordOf("0")},
       4 * 5},
  };
  ModuleDir m;
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Answered window = inWindow(m, c.ini, c.acts);
    const Answered script = inScript(m, c.ini, window.script);
    EXPECT_EQ(window.transcript, script.transcript);
    EXPECT_EQ(window.drawing, script.drawing);
    EXPECT_EQ(window.ini, script.ini);
    EXPECT_GE(window.drawing.size(), c.minimumEntities);
  }
}

TEST(WindowCommands, aValveOfTheRunIsChosenInTheDialogByItsRadioAndOk) {
  ModuleDir m;
  const std::string ini = std::string("[PIPE]\nDW=100\nWTBJ=150\n") + kStyles;
  std::string chosen;
  int dialogs = 0;
  const Answered window = inWindow(
      m, ini,
      {typing("GD"), clickAt(100, 450), clickAt(300, 450), keywordOf("F"), keywordOf("C"), clickAt(500, 450),
       clickAt(700, 450), keywordOf("0")},
      [&](ModelDialog& d) {
        ++dialogs;
        EXPECT_EQ(d.windowTitle(), "阀门选择");
        auto* slot2 = qobject_cast<QRadioButton*>(d.control(208));
        ASSERT_NE(slot2, nullptr);
        QTest::mouseClick(slot2, Qt::LeftButton, {}, QPoint(5, slot2->height() / 2));
        EXPECT_TRUE(slot2->isChecked());
        chosen = slot2->text().toStdString();
        QTest::mouseClick(qobject_cast<QPushButton*>(d.control(1)), Qt::LeftButton);
      });
  EXPECT_EQ(dialogs, 1);
  ASSERT_FALSE(chosen.empty());
  EXPECT_NE(window.ini.find("FMNAME=" + chosen + "\n"), std::string::npos) << window.ini;
  EXPECT_NE(window.ini.find("FMFILENAME=" + (m.dir / "resource" / "FM" / (chosen + ".dxf")).string() + "\n"),
            std::string::npos)
      << window.ini;
  // The valve is in the drawing between the two pieces, as a script choosing slot 2 draws it.
  std::vector<std::string> lines = window.script;
  const auto c = std::find(lines.begin(), lines.end(), "C");
  ASSERT_NE(c, lines.end());
  lines.insert(c + 1, {"2", "OK"});
  const Answered script = inScript(m, ini, lines);
  EXPECT_EQ(window.drawing, script.drawing);
  EXPECT_EQ(window.ini, script.ini);
  const bool inserted = std::any_of(window.drawing.begin(), window.drawing.end(), [&](const std::string& e) {
    return e.find("INSERT " + chosen + " ") != std::string::npos;
  });
  EXPECT_TRUE(inserted) << ::testing::PrintToString(window.drawing);
}

// ---- the keywords' labels

TEST(WindowCommands, theKeywordsAreLabelledByTheWordsOfTheirPrompts) {
  using Labels = std::vector<std::pair<QString, std::string>>;
  const struct {
    std::string prompt;
    std::vector<std::string> keywords;
    Labels labels;
  } cases[] = {
      {"请输入下一点[水平弯头(W)][下弯弯头(X)][上弯弯头(S)][大小头(D)][阀门(F)][默认(X)]<完成(0)>:",
       {"W", "X", "0"},
       {{"水平弯头(W)", "W"}, {"下弯弯头(X)", "X"}, {"完成(0)", "0"}}},
      {"是否将改动保存到 plan.dxf？[是(Y)/否(N)/取消(C)] <是>:", {"Y", "c"}, {{"是(Y)", "Y"}, {"取消(C)", "c"}}},
      {"选择对象:", {"ALL"}, {{"ALL", "ALL"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(labelledKeywords(c.prompt, c.keywords), c.labels) << c.prompt;
}

// ---- WT

TEST(WindowCommands, anElbowBetweenTwoLinesPickedByClicksOnThem) {
  ModuleDir m;
  const std::string ini = std::string("[PIPE]\nWTBJ=100\nDW=50\n") + kStyles;
  // Two legs meeting at the origin; the picks land on them, and 3 pixels beside them
  // (within the pick box, 12 drawing units away: far more than the pick distance).
  const struct {
    const char* name;
    QPoint first, second;
  } cases[] = {
      {"on the lines", {162, 450}, {100, 400}},
      {"beside the lines", {162, 447}, {103, 400}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Act> acts = {typing("LINE"), typing("500,0"), typing("0,0"), typing("0,400"), typing(""),
                                   typing("WT"),   clickAt(c.first.x(), c.first.y()),
                                   clickAt(c.second.x(), c.second.y())};
    const Answered window = inWindow(m, ini, acts);
    ASSERT_EQ(window.clicked.size(), 2u);
    // The picks are on the legs: the first on y = 0, the second on x = 0.
    EXPECT_EQ(window.clicked[0].y, 0.0);
    EXPECT_NEAR(window.clicked[0].x, 248.0, 2.0);
    EXPECT_EQ(window.clicked[1].x, 0.0);
    EXPECT_NEAR(window.clicked[1].y, 200.0, 2.0);
    EXPECT_NE(window.transcript.find("\n已选择一条直线\n已获取对象ID\n选择一条直线:"), std::string::npos)
        << window.transcript;
    const Answered script = inScript(m, ini, window.script);
    EXPECT_EQ(window.transcript, script.transcript);
    EXPECT_EQ(window.drawing, script.drawing);
    EXPECT_GT(window.drawing.size(), 2u);  // the legs and the elbow
  }
}

}  // namespace
}  // namespace orv::window::testing
