// A session's services for its presentations: the view a window binds, the drafting
// settings, and the index, snaps and selection following the current drawing.
#include <gtest/gtest.h>

#include <sstream>

#include "acedads.h"
#include "orv/prompt/script_console.h"
#include "session.h"

namespace {

using namespace orv;

struct RecordingView final : app::ViewControl {
  std::vector<std::string> calls;
  bool hasPrevious = true;
  void zoomAll() override { calls.push_back("all"); }
  void zoomExtents() override { calls.push_back("extents"); }
  void zoomWindow(core::Vec2 a, core::Vec2 b) override {
    calls.push_back("window " + std::to_string(int(a.x)) + "," + std::to_string(int(a.y)) + " " +
                    std::to_string(int(b.x)) + "," + std::to_string(int(b.y)));
  }
  bool zoomPrevious() override {
    calls.push_back("previous");
    return std::exchange(hasPrevious, false);
  }
  void zoomScale(double f) override { calls.push_back("scale " + std::to_string(f)); }
  void pan(core::Vec2 d) override { calls.push_back("pan " + std::to_string(int(d.x)) + "," + std::to_string(int(d.y))); }
};

struct Scripted {
  std::istringstream in;
  std::ostringstream out;
  prompt::ScriptConsole console{in, out};
  app::Session session{console};
  explicit Scripted(const std::string& script) : in(script) {}
};

TEST(SessionServices, zoomAndPanGoToTheBoundViewAndSettingsToTheSession) {
  Scripted s("Z\nE\nZOOM\nA\nZ\n2x\nZ\n0,0\n10,20\nZ\nW\n1,1\n3,3\nZ\nP\nZ\nP\nZ\nbad\n\n"
             "PAN\n0,0\n5,-5\nP\n3,4\n\nOSNAP\nqua,nea\nORTHO\nON\n");
  RecordingView view;
  s.session.bindView(&view);
  s.session.run();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"extents", "all", "scale 2.000000", "window 0,0 10,20",
                                                  "window 1,1 3,3", "previous", "previous", "pan 5,-5",
                                                  "pan 3,4"}));
  EXPECT_NE(s.out.str().find("\n没有上一个视图。"), std::string::npos);
  EXPECT_NE(s.out.str().find("bad\n\n需要点、比例因子或选项关键字。"), std::string::npos);
  EXPECT_EQ(s.session.drafting().runningSnaps,
            prompt::snapBit(prompt::SnapKind::quadrant) | prompt::snapBit(prompt::SnapKind::nearest));
  EXPECT_TRUE(s.session.drafting().ortho);
}

TEST(SessionServices, theIndexAndTheEntityPickFollowTheCurrentDrawing) {
  Scripted s("5,0.5\n5,0.5\n");  // the replies to two entity picks
  auto doc = std::make_unique<core::Document>();
  doc->database().append(db::Entity(db::Line{{0, 0, 0}, {10, 0, 0}}));
  core::SelectionSet chosen;
  chosen.add(db::ObjectId{0});
  s.session.selector().setPrevious(chosen);
  s.session.replaceDocument(std::move(doc));
  EXPECT_TRUE(s.session.selector().previous().empty()) << "nothing of the old drawing";
  const db::ObjectId line = s.session.index().pick({5, 0.5}, 1);
  ASSERT_FALSE(line.isNull());
  // The SDK's pick goes through the session's index: an entity on a layer that is off
  // is not found.
  ads_name picked;
  ads_point at;
  EXPECT_EQ(acedEntSel(nullptr, picked, at), RTNORM);
  db::Layer zero = s.session.database().layers()[0];
  zero.color = -7;
  s.session.database().changeLayer(0, zero);
  EXPECT_EQ(acedEntSel(nullptr, picked, at), RTERROR);
}

}  // namespace
