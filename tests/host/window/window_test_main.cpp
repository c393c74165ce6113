// The window tests' program: one application under the offscreen platform for all,
// painting with the renderer linked in.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include "orv/render/pictures.h"
#include "view_painter.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Settings the window keeps (the recent drawings) go to the toolkit's test place, not
  // to the user's own.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  // Each test program keeps them apart from the others run beside it, and from the last run.
  const QString settings = QDir::tempPath() + QStringLiteral("/orv-window-tests-%1").arg(QCoreApplication::applicationPid());
  QDir(settings).removeRecursively();
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
  // The renderer linked into the tests, as orvcad's renderer library offers it.
  static const orv::render::Pictures pictures{nullptr, nullptr, &orv::render::drawView, &orv::render::modelExtents,
                                              &orv::render::ViewTransform::fit, &orv::render::plot,
                                              &orv::render::drawEntities, &orv::render::plotPreview};
  orv::window::usePictures(&pictures);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  QDir(settings).removeRecursively();
  return result;
}
