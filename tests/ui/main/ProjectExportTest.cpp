// "导出为可编译的工程(&J)…" through the real window: in single mode the
// content files and the project file go straight into the chosen folder; in
// batch mode each CHM file gets its own "_工程" folder, numbered when the
// name is taken; both end with the usual status line and prompt.

#include <QAction>
#include <QFileInfo>
#include <QtTest>

#include "engine/cCHMParser.h"
#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/WindowHarness.h"

using velmora::test::FilesBelow;
using velmora::test::FixtureChm;
using velmora::test::ReadAll;
using velmora::test::WindowHarness;
using velmora::ui::MsgAnswer;

namespace {

constexpr int kProjectEntry = 8;
const QString kExportDone = QStringLiteral("反编译完成，是否需要马上查看？");

// The content files of a fixture (everything a whole walk writes but the
// compiler's own streams) and its project file.
QStringList ProjectFilesOf(const QString& strFixture, const QString& strScratch) {
  velmora::engine::cCHMParser parser;
  velmora::engine::cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  parser.ParseCHM(FixtureChm(strFixture).toStdString(), strScratch.toStdString(), velmora::engine::kExtractAll, {},
                  items, pic, html, movie, total);
  QStringList files;
  for (const QString& file : FilesBelow(strScratch)) {
    if (!file.startsWith('#') && !file.startsWith('$') && file != QStringLiteral("_#_README_#_")) files << file;
  }
  files << strFixture + QStringLiteral(".hhp");
  files.sort();
  return files;
}

}  // namespace

class ProjectExportTest : public QObject {
  Q_OBJECT

 private slots:
  void singleModeWritesTheProjectIntoTheFolder() {
    QTemporaryDir tmp;
    WindowHarness w;
    QVERIFY(!w.ExportEntry(kProjectEntry)->isEnabled());  // nothing open yet
    w.OpenSingle(FixtureChm("nested"));
    QVERIFY(w.ExportEntry(kProjectEntry)->isEnabled());
    const QString out = tmp.path() + "/out";
    w.services.QueueFolder(out);
    w.services.QueueMessageAnswer(MsgAnswer::Yes);
    w.ExportEntry(kProjectEntry)->trigger();

    QCOMPARE(w.services.FolderBrowsers().size(), 1);
    QCOMPARE(FilesBelow(out), ProjectFilesOf("nested", tmp.path() + "/oracle"));
    const QByteArray project = ReadAll(out + "/nested.hhp");
    QVERIFY2(project.startsWith("[OPTIONS]\r\nCompiled file=nested.chm\r\nContents file=toc.hhc\r\n"
                                "Default topic=index.htm\r\nLanguage=0x409 English (United States)\r\n"
                                "Title=Nested storages\r\n\r\n[FILES]\r\ndocs/index.htm\r\n"),
             project.constData());
    // The contents file is named once, not listed again among the files.
    QVERIFY(!project.contains("\r\ntoc.hhc\r\n"));
    QCOMPARE(w.Status(), QStringLiteral("    反编译完成，共37个内容，网页(9)，图片(7)，多媒体(3)。"));
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QCOMPARE(w.services.Opened(), QStringList{out});
  }

  void batchModeGivesEachFileANumberedProjectFolder() {
    QTemporaryDir tmp;
    const QString copy = tmp.path() + "/b/guide.chm";
    QDir().mkpath(tmp.path() + "/b");
    QVERIFY(QFile::copy(FixtureChm("guide"), copy));
    WindowHarness w;
    w.AddBatch({FixtureChm("guide"), FixtureChm("chinese"), copy});
    QVERIFY(w.ExportEntry(kProjectEntry)->isEnabled());
    const QString out = tmp.path() + "/out";
    w.services.QueueFolder(out);
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(kProjectEntry)->trigger();

    QCOMPARE(QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"chinese.chm_工程", "guide.chm_1_工程", "guide.chm_工程"}));
    const QStringList guide = ProjectFilesOf("guide", tmp.path() + "/oracle-guide");
    QCOMPARE(FilesBelow(out + "/guide.chm_工程"), guide);
    QCOMPARE(FilesBelow(out + "/guide.chm_1_工程"), guide);
    QCOMPARE(FilesBelow(out + "/chinese.chm_工程"), ProjectFilesOf("chinese", tmp.path() + "/oracle-chinese"));
    // The Chinese project's language in the form compilers read.
    QVERIFY(ReadAll(out + "/chinese.chm_工程/chinese.hhp").contains("\r\nLanguage=0x804 "));
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QVERIFY(w.services.Opened().isEmpty());
  }
};

VELMORA_REGISTER_TEST(ProjectExportTest)
#include "ProjectExportTest.moc"
