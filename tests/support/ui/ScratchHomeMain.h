#pragma once
// The main function of a window test program whose windows keep settings,
// an index or the web engine's data: HOME and the XDG folders point into a
// temporary folder for the run, and the web engine is prepared as the
// program prepares it.

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "app/preview/PreviewEngine.h"

namespace velmora::test {

template <typename TestClass>
int RunInScratchHome(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    qputenv(variable, (home.path() + QLatin1Char('/') + QString::fromLatin1(variable)).toLocal8Bit());
  }
  app::PreparePreviewEngine(argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  TestClass test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace velmora::test
