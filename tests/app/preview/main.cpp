// Runs the preview's test classes in one process: the web engine can be
// started only once, after the URL schemes are registered. HOME and the XDG
// folders point into a temporary folder, so nothing reaches the real ones.
// A first argument naming a test class runs only that class, with the
// remaining arguments passed on (test functions, -v2, ...). "corpus" runs
// the tests that read the shared corpus, which the other runs leave out
// (CorpusRun.h).

#include <QApplication>
#include <QTemporaryDir>
#include <cstring>
#include <utility>

#include "app/preview/PreviewEngine.h"
#include "tests/support/CorpusRun.h"

int RunAboutPagesTest(int argc, char** argv);
int RunChmArchiveCacheTest(int argc, char** argv);
int RunChmContentTypeTest(int argc, char** argv);
int RunChmStreamDeviceTest(int argc, char** argv);
int RunChmUrlTest(int argc, char** argv);
int RunInPlacePreviewTest(int argc, char** argv);
int RunInPlacePreviewCorpusTest(int argc, char** argv);
int RunPreviewEngineTest(int argc, char** argv);
int RunPreviewHostNameTest(int argc, char** argv);
int RunPreviewOriginTest(int argc, char** argv);
int RunPreviewSandboxTest(int argc, char** argv);

int main(int argc, char** argv) {
  const bool blnCorpusRun = velmora::test::TakeCorpusArgument(argc, argv);
  if (blnCorpusRun && !velmora::test::CorpusIsPresent()) return velmora::test::kCorpusMissing;
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
    qputenv(name, (home.path() + QLatin1Char('/') + QString::fromLatin1(name)).toUtf8());
  }
  velmora::app::PreparePreviewEngine(argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  const std::pair<const char*, int (*)(int, char**)> classes[] = {
      {"AboutPagesTest", RunAboutPagesTest},       {"ChmArchiveCacheTest", RunChmArchiveCacheTest},
      {"ChmContentTypeTest", RunChmContentTypeTest},
      {"ChmStreamDeviceTest", RunChmStreamDeviceTest}, {"ChmUrlTest", RunChmUrlTest},
      {"InPlacePreviewTest", RunInPlacePreviewTest}, {"PreviewEngineTest", RunPreviewEngineTest},
      {"PreviewHostNameTest", RunPreviewHostNameTest}, {"PreviewOriginTest", RunPreviewOriginTest},
      {"PreviewSandboxTest", RunPreviewSandboxTest}};
  if (blnCorpusRun) return RunInPlacePreviewCorpusTest(argc, argv);
  if (argc > 1) {
    for (const auto& [name, run] : classes) {
      if (std::strcmp(argv[1], name) == 0) {
        argv[1] = argv[0];
        return run(argc - 1, argv + 1);
      }
    }
  }
  int status = 0;
  for (const auto& entry : classes) status |= entry.second(argc, argv);
  return status;
}
