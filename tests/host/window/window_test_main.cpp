// The window tests' program: one application under the offscreen platform for all,
// painting with the renderer linked in.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "orv/render/pictures.h"
#include "view_painter.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Settings the window keeps (the recent drawings) go to the toolkit's test place, not
  // to the user's own.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  // The renderer linked into the tests, as orvcad's renderer library offers it.
  static const orv::render::Pictures pictures{nullptr, nullptr, &orv::render::drawView, &orv::render::modelExtents,
                                              &orv::render::ViewTransform::fit, &orv::render::drawEntities};
  orv::window::usePictures(&pictures);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
