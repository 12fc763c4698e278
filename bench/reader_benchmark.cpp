// How fast the reader window answers, offscreen, with Google Benchmark:
//  - opening a help file in a shown reader until its contents and index
//    are filled and its default topic has loaded (01-UDFs3CHS: 2,789
//    contents entries, 2,729 keywords);
//  - one keystroke in the index filter (09-PyWin32: 6,685 keywords): the
//    letters of "pyhandle" typed one after the other, then erased, each
//    keystroke timed with the list brought up to date.
// VELMORA_BENCH_READ and VELMORA_BENCH_INDEX name other files.
//
//   <build>/bench_reader [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include "TestPaths.h"
#include "app/preview/PreviewEngine.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/reader/IndexModel.h"
#include "ui/reader/frmReader.h"

namespace {

QString g_strOpenFile;
QString g_strIndexFile;

// Opens the file in the window and waits for its first page to load.
bool OpenAndWait(velmora::ui::frmReader& reader, const QString& strFile) {
  QEventLoop loop;
  bool blnLoaded = false;
  const auto connection = QObject::connect(reader.PageView(), &QWebEngineView::loadFinished, &loop,
                                           [&](bool blnOk) {
                                             blnLoaded = blnOk;
                                             loop.quit();
                                           });
  QTimer::singleShot(30000, &loop, &QEventLoop::quit);
  const bool blnOpened = reader.OpenFile(strFile);
  if (blnOpened) loop.exec();
  QObject::disconnect(connection);
  return blnOpened && blnLoaded;
}

void BM_ReaderOpen(benchmark::State& state) {
  velmora::test::ScriptedUiServices services;
  velmora::ui::frmReader reader;
  reader.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    if (!OpenAndWait(reader, g_strOpenFile)) state.SkipWithError("the file did not open or its page did not load");
  }
  state.SetLabel(QFileInfo(g_strOpenFile).fileName().toStdString());
}
BENCHMARK(BM_ReaderOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_IndexKeystroke(benchmark::State& state) {
  velmora::test::ScriptedUiServices services;
  velmora::ui::frmReader reader;
  reader.show();
  if (!OpenAndWait(reader, g_strIndexFile)) {
    state.SkipWithError("the file did not open");
    return;
  }
  state.counters["keywords"] = double(reader.IndexKeywords()->rowCount());
  QLineEdit* filter = reader.IndexFilter();
  const QString strWord = QStringLiteral("pyhandle");
  int lngStep = 0;  // 0..7 typing, 8..15 erasing
  for (auto _ : state) {
    if (lngStep < strWord.size()) {
      filter->insert(strWord.mid(lngStep, 1));
    } else {
      filter->backspace();
    }
    reader.IndexList()->viewport()->repaint();
    lngStep = (lngStep + 1) % (2 * int(strWord.size()));
  }
  state.SetLabel(QFileInfo(g_strIndexFile).fileName().toStdString());
}
BENCHMARK(BM_IndexKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  // Offscreen, with the user's folders (the reader's settings) in a scratch home.
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
    qputenv(variable, (home.path() + QLatin1Char('/') + QString::fromLatin1(variable)).toLocal8Bit());
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  velmora::app::PreparePreviewEngine(argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  g_strOpenFile = qEnvironmentVariable("VELMORA_BENCH_READ", QStringLiteral(VELMORA_CORPUS_DIR "/real/01-UDFs3CHS.chm"));
  g_strIndexFile = qEnvironmentVariable("VELMORA_BENCH_INDEX", QStringLiteral(VELMORA_CORPUS_DIR "/real/09-PyWin32.chm"));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
