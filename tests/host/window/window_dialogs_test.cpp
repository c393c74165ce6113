// The plug-in's picture dialogs as real dialogs: laid out from their templates, block
// previews in the frames, one exclusive group of radios, OK writing the choice; the
// questions and alerts as message boxes.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

TEST(WindowDialogs, theValveDialogIsLaidOutAsItsTemplateAndOkWritesTheChoice) {
  ModuleDir m;
  WindowSession w;
  const auto loaded = w.session().modules().load(m.module);
  ASSERT_TRUE(loaded.ok) << loaded.message;

  std::string chosen;
  int dialogs = 0;
  w.presenter().shown = [&](QWidget* shown) {
    ++dialogs;
    auto* d = qobject_cast<ModelDialog*>(shown);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "阀门选择");
    const DialogUnits& u = d->units();
    EXPECT_EQ(d->size(), u.size(476, 249));
    // Controls where the template puts them: OK, Cancel, pictures and radios of slots
    // 1, 2, 8 (row 2, column 2) and 24 (row 4, column 6).
    const struct {
      int id;
      dialogs::Rect r;
    } placed[] = {{1, {253, 227, 50, 14}},  {2, {318, 227, 50, 14}},  {205, {7, 6, 32, 30}},
                  {206, {7, 41, 71, 10}},   {207, {81, 6, 32, 30}},   {208, {79, 41, 77, 10}},
                  {219, {81, 57, 32, 30}},  {220, {79, 92, 77, 10}},  {251, {381, 160, 32, 30}},
                  {252, {379, 195, 90, 10}}};
    for (const auto& p : placed) {
      QWidget* c = d->control(p.id);
      ASSERT_NE(c, nullptr) << p.id;
      EXPECT_EQ(c->geometry(), u.toPixels(p.r)) << p.id;
    }
    // Slot 1 shows its block's preview; slot 24 (no part) a white frame.
    auto inked = [](QWidget* frame) {
      const QImage image = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
      int n = 0;
      for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x) n += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
      return n;
    };
    EXPECT_GT(inked(d->control(205)), 10);
    EXPECT_EQ(inked(d->control(251)), 0);
    auto* first = qobject_cast<QRadioButton*>(d->control(206));
    auto* second = qobject_cast<QRadioButton*>(d->control(208));
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(first->isChecked());
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(5, first->height() / 2));
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, second->height() / 2));
    EXPECT_FALSE(first->isChecked());  // one exclusive group
    EXPECT_TRUE(second->isChecked());
    chosen = second->text().toStdString();
    QTest::mouseClick(qobject_cast<QPushButton*>(d->control(1)), Qt::LeftButton);
  };
  w.type("FM");
  w.step([&] {
    QToolButton* c = keywordButton(w.panel(), "C");
    EXPECT_NE(c, nullptr);
    if (c) QTest::mouseClick(c, Qt::LeftButton);
    return c != nullptr;
  });
  w.key(Qt::Key_Return);  // the diameter stays
  w.key(Qt::Key_Escape);  // no valve
  w.run();

  EXPECT_EQ(dialogs, 1);
  ASSERT_FALSE(chosen.empty());
  const std::string ini = m.ini();
  EXPECT_NE(ini.find("FMNAME=" + chosen), std::string::npos) << ini;
  EXPECT_NE(ini.find("FMFILENAME=" + (m.dir / "resource" / "FM" / (chosen + ".dxf")).string()), std::string::npos)
      << ini;
  // The transcript holds the keyword clicked as typed.
  EXPECT_NE(w.console().transcript().find("[修改(C)]:C\n"), std::string::npos);
}

TEST(WindowDialogs, cancelWritesNothingAndAQuestionIsAMessageBox) {
  ModuleDir m;
  WindowSession w;
  ASSERT_TRUE(w.session().modules().load(m.module).ok);
  std::size_t answer = 99;
  std::vector<QString> buttons;
  w.presenter().shown = [&](QWidget* shown) {
    if (auto* d = qobject_cast<ModelDialog*>(shown)) {
      QTest::mouseClick(qobject_cast<QRadioButton*>(d->control(206)), Qt::LeftButton, {}, QPoint(5, 5));
      QTest::mouseClick(qobject_cast<QPushButton*>(d->control(2)), Qt::LeftButton);
      return;
    }
    auto* box = qobject_cast<QMessageBox*>(shown);
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* b : box->buttons()) buttons.push_back(b->text());
    EXPECT_EQ(box->text(), "保存改动？");
    box->buttons().at(1)->click();
  };
  w.type("ZDY");
  w.type("C");
  w.key(Qt::Key_Escape);
  w.step([&] {
    dialogs::Question q;
    q.text = "保存改动？";
    q.prompt = "\n保存改动？[是(Y)/否(N)/取消(C)] <是>: ";
    q.answers = {{"Y", "保存"}, {"N", "不保存"}, {"C", "取消"}};
    q.cancelAnswer = 2;
    answer = w.presenter().choose(q);
    return false;
  });
  w.run();
  EXPECT_EQ(m.ini().find("ZDYNAME="), std::string::npos) << m.ini();
  EXPECT_EQ(answer, 1u);
  EXPECT_EQ(buttons, (std::vector<QString>{"保存", "不保存", "取消"}));
}

}  // namespace
}  // namespace orv::window::testing
