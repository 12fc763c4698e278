// How long opening a CHM file of 20,000 entries takes in the real main
// window, offscreen: the walk, the content list filled and measured, the
// summary written (and the events that ShowStatus lets run). Also the walk
// alone, for comparison. Then exports through the window against the same
// work done by velmora-cli: everything, and one selected item.
//
// The CHM file is built with ChmBuilder in a temporary folder, laid out as
// bench/run-benchmark.sh lays out its chmcmd project: 20,000 pages in
// docs/secNN/chapN/ and 400 pictures in images/setNN/. VELMORA_BENCH_CHM
// names another CHM file to open instead (for example the cached
// <build>/bench/bench.chm of run-benchmark.sh).
//
// The exports also run over VELMORA_BENCH_CHM2 (by default the shared
// corpus's 09-PyWin32.chm, when present), a real help file of 6,800 items.
//
//   <build>/bench_open_list [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "app/export/ExportPlan.h"
#include "app/preview/PreviewEngine.h"
#include "engine/cCHMParser.h"
#include "tests/support/chm/ChmBuilder.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/main/frmVelmora.h"

namespace {

QString g_strCHM;
std::vector<QString> g_strExportCHMs;  // files the export benchmarks walk

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

// A fresh, empty output folder for each run, outside the timing.
class FreshFolders {
 public:
  QString Next() {
    const QString strFolder = m_dir.filePath(QString::number(++m_lngCount));
    QDir().mkpath(strFolder);
    return strFolder;
  }
  void RemoveAll() {
    for (int index = 1; index <= m_lngCount; ++index) QDir(m_dir.filePath(QString::number(index))).removeRecursively();
  }

 private:
  QTemporaryDir m_dir;
  int m_lngCount = 0;
};

// The shown main window with strCHM opened in single mode through the open
// command; the scripted desktop answers its dialogs.
struct OpenedWindow {
  explicit OpenedWindow(const QString& strCHM) {
    window.Form_Load();
    window.show();
    services.QueueFiles({strCHM});
    window.ChooseCHMFiles();
  }
  velmora::test::ScriptedUiServices services;  // installed before the window exists
  velmora::ui::frmVelmora window;
};

QAction* ExportEntry(velmora::ui::frmVelmora& window, int index) {
  return window.findChild<QAction*>(QStringLiteral("mnuExportCHM%1").arg(index));
}

// Runs the export entry once per iteration into a fresh folder, answering
// No to the offer to show the result; the folders go afterwards.
void TimeExports(benchmark::State& state, velmora::test::ScriptedUiServices& services, QAction* actExport) {
  FreshFolders folders;
  for (auto _ : state) {
    state.PauseTiming();
    services.QueueFolder(folders.Next());
    services.QueueMessageAnswer(velmora::ui::MsgAnswer::No);
    state.ResumeTiming();
    actExport->trigger();
  }
  folders.RemoveAll();
}

// Every content file through the export menu of the window, in single mode,
// answering No to the offer to show the result.
void BM_WindowExportAll(benchmark::State& state) {
  const QString strCHM = g_strExportCHMs[std::size_t(state.range(0))];
  OpenedWindow opened(strCHM);
  velmora::test::ScriptedUiServices& services = opened.services;
  if (!opened.window.IsLoaded()) state.SkipWithError("the CHM file did not open");
  QAction* actExport = ExportEntry(opened.window, velmora::app::ExportPlan::kAllContents);
  TimeExports(state, services, actExport);
  state.SetLabel(QFileInfo(strCHM).fileName().toStdString());
}

// The same with velmora-cli, started as a process.
void BM_CliExtractAll(benchmark::State& state) {
  const QString strCHM = g_strExportCHMs[std::size_t(state.range(0))];
  const QString strCli = QCoreApplication::applicationDirPath() + QStringLiteral("/velmora-cli");
  FreshFolders folders;
  for (auto _ : state) {
    state.PauseTiming();
    const QString strOut = folders.Next();
    state.ResumeTiming();
    QProcess cli;
    cli.start(strCli, {QStringLiteral("extract"), strCHM, QStringLiteral("-o"), strOut, QStringLiteral("-t"),
                       QStringLiteral("1")});
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0) state.SkipWithError("velmora-cli failed");
  }
  state.SetLabel(QFileInfo(strCHM).fileName().toStdString());
  folders.RemoveAll();
}

// One selected item (the last file of the list) through the export menu.
void BM_WindowExportOneSelected(benchmark::State& state) {
  const QString strCHM = g_strExportCHMs[std::size_t(state.range(0))];
  OpenedWindow opened(strCHM);
  velmora::test::ScriptedUiServices& services = opened.services;
  velmora::ui::frmVelmora& window = opened.window;
  auto* items = window.findChild<QListWidget*>(QStringLiteral("lstItems"));
  int lngRow = items->count() - 1;
  while (lngRow >= 0 && window.Items()[std::size_t(lngRow)].IsStorage) --lngRow;
  if (lngRow < 0) {
    state.SkipWithError("no file to select");
    return;
  }
  items->item(lngRow)->setSelected(true);
  QAction* actExport = ExportEntry(window, velmora::app::ExportPlan::kSelectedContents);
  TimeExports(state, services, actExport);
  state.SetLabel(QFileInfo(strCHM).fileName().toStdString() + " (" + std::to_string(items->count()) + " rows)");
}

void ExportFiles(benchmark::internal::Benchmark* benchmark) {
  for (std::size_t index = 0; index < g_strExportCHMs.size(); ++index) benchmark->Arg(int(index));
}

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
  g_strExportCHMs.push_back(g_strCHM);
  QString strSecond = qEnvironmentVariable("VELMORA_BENCH_CHM2");
  if (strSecond.isEmpty()) strSecond = QStringLiteral(VELMORA_CORPUS_DIR "/real/09-PyWin32.chm");
  if (QFileInfo::exists(strSecond)) g_strExportCHMs.push_back(strSecond);
  // Registered here: they take one argument per file found above.
  const std::pair<const char*, void (*)(benchmark::State&)> exports[] = {
      {"BM_WindowExportAll", BM_WindowExportAll},
      {"BM_CliExtractAll", BM_CliExtractAll},
      {"BM_WindowExportOneSelected", BM_WindowExportOneSelected}};
  for (const auto& [name, function] : exports) {
    benchmark::RegisterBenchmark(name, function)
        ->Apply(ExportFiles)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2.0);
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
