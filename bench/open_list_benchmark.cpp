// How long opening a CHM file of 20,000 entries takes in the real main
// window, offscreen: the walk, the content list filled and measured, the
// summary written (and the events that ShowStatus lets run). Also the walk
// alone, for comparison.
//
// The CHM file is built with ChmBuilder in a temporary folder, laid out as
// bench/run-benchmark.sh lays out its chmcmd project: 20,000 pages in
// docs/secNN/chapN/ and 400 pictures in images/setNN/. VELMORA_BENCH_CHM
// names another CHM file to open instead (for example the cached
// <build>/bench/bench.chm of run-benchmark.sh).
//
//   <build>/bench_open_list [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "app/preview/PreviewEngine.h"
#include "engine/cCHMParser.h"
#include "tests/support/chm/ChmBuilder.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/main/frmVelmora.h"

namespace {

QString g_strCHM;

std::string BuildLargeChm(const QString& strFolder) {
  velmora::testsupport::ChmBuilder builder;
  builder.add("/#SYSTEM", velmora::testsupport::ChmBuilder::SystemStream(0x409));
  char name[64];
  for (int page = 0; page < 20000; ++page) {
    std::snprintf(name, sizeof name, "/docs/sec%02d/chap%d/page%05d.htm", page / 1000, (page / 100) % 10, page);
    builder.add(name, "<html><body>page</body></html>");
  }
  for (int image = 0; image < 400; ++image) {
    std::snprintf(name, sizeof name, "/images/set%02d/img%03d.png", image % 20, image);
    builder.add(name, "PNG");
  }
  const std::string strPath = QFile::encodeName(strFolder + QStringLiteral("/large.chm")).toStdString();
  return builder.writeTo(strPath) ? strPath : std::string();
}

// Opening through the open command of a shown window, as the user does.
void BM_OpenAndList(benchmark::State& state) {
  velmora::test::ScriptedUiServices services;
  velmora::ui::frmVelmora window;
  window.Form_Load();
  window.show();
  QCoreApplication::processEvents();
  const auto* items = window.findChild<QListWidget*>(QStringLiteral("lstItems"));
  for (auto _ : state) {
    services.QueueFiles({g_strCHM});
    window.ChooseCHMFiles();
    if (!window.IsLoaded()) state.SkipWithError("the CHM file did not open");
  }
  state.counters["rows"] = double(items->count());
  state.counters["rows/s"] = benchmark::Counter(double(items->count()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_OpenAndList)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The walk alone (type 0: list and count), without the window.
void BM_WalkOnly(benchmark::State& state) {
  velmora::engine::cCHMParser parser;
  velmora::engine::cCHMItemCollection items;
  const std::string strCHM = g_strCHM.toStdString();
  for (auto _ : state) {
    std::int32_t pic = 0, html = 0, movie = 0, total = 0;
    if (!parser.ParseCHM(strCHM, "", 0, {}, items, pic, html, movie, total)) state.SkipWithError("not a CHM file");
  }
  state.counters["items"] = double(items.size());
}
BENCHMARK(BM_WalkOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  // Offscreen, with the user's folders in a scratch home.
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

  g_strCHM = qEnvironmentVariable("VELMORA_BENCH_CHM");
  if (g_strCHM.isEmpty()) g_strCHM = QString::fromStdString(BuildLargeChm(home.path()));
  if (g_strCHM.isEmpty()) return 1;

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
