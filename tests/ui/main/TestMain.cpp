// Runs the registered test classes of the main window in one application,
// with the stored-file URL schemes known to the web engine (as the program
// registers them before it starts), so previews in place load for real.
// With "corpus" as the first argument it runs the classes that read the
// shared corpus instead (CorpusRun.h).

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/preview/PreviewEngine.h"
#include "tests/support/CorpusRun.h"
#include "tests/ui/main/MainTests.h"

namespace velmora::test {

std::vector<RegisteredTest>& RegisteredTests() {
  static std::vector<RegisteredTest> tests;
  return tests;
}

}  // namespace velmora::test

int main(int argc, char** argv) {
  const bool blnCorpusRun = velmora::test::TakeCorpusArgument(argc, argv);
  if (blnCorpusRun && !velmora::test::CorpusIsPresent()) return velmora::test::kCorpusMissing;
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
  for (const auto& registered : velmora::test::RegisteredTests()) {
    if (registered.blnNeedsCorpus != blnCorpusRun) continue;
    std::unique_ptr<QObject> test(registered.factory());
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
