// Runs every registered test class of the main window in one application.

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/preview/ChmUrlSchemes.h"
#include "tests/ui/main/MainTests.h"

namespace velmora::test {

std::vector<TestFactory>& RegisteredTests() {
  static std::vector<TestFactory> tests;
  return tests;
}

}  // namespace velmora::test

int main(int argc, char** argv) {
  // The window reads the user's settings at start-up and the web engine
  // keeps data in the user's folders: all of that goes to a scratch home.
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    const QString folder = home.path() + QLatin1Char('/') + QString::fromLatin1(variable);
    qputenv(variable, folder.toLocal8Bit());
  }
  // The preview pane serves CHM pages through its own URL schemes, which the
  // web engine only accepts when registered before the application exists.
  velmora::app::RegisterChmUrlSchemes();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  int failures = 0;
  for (const auto& factory : velmora::test::RegisteredTests()) {
    std::unique_ptr<QObject> test(factory());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
