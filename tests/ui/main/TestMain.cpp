// Runs the registered test classes of the main window in one application,
// with the stored-file URL schemes known to the web engine (as the program
// registers them before it starts), so previews in place load for real.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/preview/PreviewEngine.h"
#include "tests/ui/main/MainTests.h"

namespace velmora::test {

std::vector<TestFactory>& RegisteredTests() {
  static std::vector<TestFactory> tests;
  return tests;
}

}  // namespace velmora::test

int main(int argc, char** argv) {
  // Settings, the web engine's data and the preview copies (cache folder)
  // all go to a scratch home.
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    const QString folder = home.path() + QLatin1Char('/') + QString::fromLatin1(variable);
    qputenv(variable, folder.toLocal8Bit());
  }
  velmora::app::PreparePreviewEngine(argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  int failures = 0;
  for (const auto& factory : velmora::test::RegisteredTests()) {
    std::unique_ptr<QObject> test(factory());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
