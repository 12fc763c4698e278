// The export commands through the real window: every entry in single and
// batch mode (files on disk, status line, dialogs and prompts), numbered
// output folders, the listing byte for byte and its proposed names, the
// refusals, cancelled dialogs, unreadable files in a batch, and the entries
// held off while an export runs.

#include <QAction>
#include <QFileInfo>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "engine/cCHMParser.h"
#include "tests/support/chm/ChmBuilder.h"
#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/WindowHarness.h"

using velmora::test::FilesBelow;
using velmora::test::FixtureChm;
using velmora::test::ReadAll;
using velmora::test::WindowHarness;
using velmora::ui::FileDialogRequest;
using velmora::ui::MsgAnswer;
using velmora::ui::MsgButtons;
using velmora::ui::MsgIcon;

namespace {

const QString kExportDone = QStringLiteral("反编译完成，是否需要马上查看？");
const QString kListingDone = QStringLiteral("文件列表生成完成。是否需要马上查看？");

QString Project(const QString& strName) { return QStringLiteral(VELMORA_TEST_SOURCE_DIR "/fixtures/") + strName; }

// A copy of a fixture under a new name inside folder (created as needed).
QString CopyFixture(const QString& strFixture, const QString& strFolder, const QString& strName) {
  QDir().mkpath(strFolder);
  const QString strCopy = strFolder + QLatin1Char('/') + strName;
  if (!QFile::copy(FixtureChm(strFixture), strCopy)) qFatal("cannot copy %s", qPrintable(strFixture));
  return strCopy;
}

// What a walk of the whole file writes, as the engine writes it.
QStringList AllFilesOf(const QString& strFixture, const QString& strScratch) {
  velmora::engine::cCHMParser parser;
  velmora::engine::cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  parser.ParseCHM(FixtureChm(strFixture).toStdString(), strScratch.toStdString(), velmora::engine::kExtractAll, {}, items,
                  pic, html, movie, total);
  return FilesBelow(strScratch);
}

const QString kNestedSummary = QStringLiteral("    反编译完成，共37个内容，网页(%1)，图片(%2)，多媒体(%3)。");

}  // namespace

class ExportCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void singleModeWritesStraightIntoTheFolder_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("files");  // empty: everything the file holds
    QTest::addColumn<QString>("status");
    QTest::addRow("all contents") << 0 << QStringList() << kNestedSummary.arg(0).arg(0).arg(0);
    QTest::addRow("pictures") << 2
                              << QStringList{"html/images/.png",     "html/images/bitmap.bmp",
                                             "html/images/icon.ico", "html/images/logo.gif",
                                             "html/images/photo.jpg", "html/images/photo.tar.GIF",
                                             "html/images/pic.png"}
                              << kNestedSummary.arg(0).arg(7).arg(0);
    // The empty page is counted and written as an empty file.
    QTest::addRow("pages") << 3
                           << QStringList{"docs/index.htm", "docs/sub/deeper/deep.htm", "html/INDEX.HTM",
                                          "html/empty.htm", "html/macro.vbs",           "html/page.html",
                                          "html/script.js", "html/style.css",           "index.htm"}
                           << kNestedSummary.arg(9).arg(0).arg(0);
    QTest::addRow("multimedia") << 4 << QStringList{"media/clip.avi", "media/movie.wmv", "media/song.mp3"}
                                << kNestedSummary.arg(0).arg(0).arg(3);
  }

  void singleModeWritesStraightIntoTheFolder() {
    QFETCH(int, index);
    QFETCH(QStringList, files);
    QFETCH(QString, status);
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    const auto itemsBefore = w.window.Items().size();
    const QString out = tmp.path() + "/out";
    w.services.QueueFolder(out);
    w.services.QueueMessageAnswer(MsgAnswer::No);
    QVERIFY(w.ExportEntry(index)->isEnabled());
    w.ExportEntry(index)->trigger();

    QCOMPARE(w.services.FolderBrowsers().size(), 1);
    QCOMPARE(w.services.FolderBrowsers()[0].title, QStringLiteral("请选择要导出到的文件夹"));
    QCOMPARE(w.services.FolderBrowsers()[0].owner, &w.window);
    QVERIFY(w.services.FolderBrowsers()[0].optionBits & 0x40);  // the new dialog style
    if (files.isEmpty()) files = AllFilesOf("nested", tmp.path() + "/oracle");
    QCOMPARE(FilesBelow(out), files);
    QCOMPARE(ReadAll(out + "/media/song.mp3").isEmpty(), index != 0 && index != 4);
    QCOMPARE(w.Status(), status);
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QCOMPARE(w.services.Messages()[0].icon, MsgIcon::Question);
    QCOMPARE(w.services.Messages()[0].buttons, MsgButtons::YesNo);
    QVERIFY(w.services.Opened().isEmpty());  // answered No
    // The content list still shows the open file, item for item.
    QCOMPARE(w.window.Items().size(), itemsBefore);
    QCOMPARE(w.Items()->count(), int(itemsBefore));
  }

  void yesShowsTheFolder_data() {
    QTest::addColumn<bool>("desktopOpens");
    QTest::addRow("the file manager shows it") << true;
    QTest::addRow("no file manager: said so") << false;
  }

  void yesShowsTheFolder() {
    QFETCH(bool, desktopOpens);
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::Yes);
    w.services.SetOpenSucceeds(desktopOpens);
    w.ExportEntry(0)->trigger();
    QCOMPARE(w.services.Opened(), QStringList{tmp.path()});
    QVERIFY(w.services.Processes().isEmpty());
    QStringList messages{kExportDone};
    if (!desktopOpens) messages << QStringLiteral("无法打开文件夹：") + tmp.path();
    QCOMPARE(w.MessageTexts(), messages);
    const auto& last = w.services.Messages().last();
    QCOMPARE(last.icon, desktopOpens ? MsgIcon::Question : MsgIcon::Information);
    QCOMPARE(last.caption, QStringLiteral("Velmora"));
    QCOMPARE(last.owner, &w.window);
  }

  void batchModeNamesAFolderPerFile_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("guideFiles");
    QTest::addColumn<QStringList>("nestedFiles");
    QTest::addColumn<QString>("status");  // of the last file walked
    const QStringList all;                // marker: everything
    QTest::addRow("all contents") << 0 << all << all << kNestedSummary.arg(0).arg(0).arg(0);
    QTest::addRow("pictures") << 2 << QStringList{"images/logo.gif"} << QStringList{"html/images/logo.gif"}
                              << kNestedSummary.arg(0).arg(7).arg(0);
    QTest::addRow("pages") << 3 << QStringList{"guide.css", "index.htm"} << QStringList{"index.htm"}
                           << kNestedSummary.arg(9).arg(0).arg(0);
    QTest::addRow("multimedia") << 4 << QStringList() << QStringList{"media/song.mp3"}
                                << kNestedSummary.arg(0).arg(0).arg(3);
  }

  void batchModeNamesAFolderPerFile() {
    QFETCH(int, index);
    QFETCH(QStringList, guideFiles);
    QFETCH(QStringList, nestedFiles);
    QFETCH(QString, status);
    QTemporaryDir tmp;
    WindowHarness w;
    w.AddBatch({FixtureChm("guide"), FixtureChm("nested")});
    w.services.QueueFolder(tmp.path() + "/out");
    w.services.QueueMessageAnswer(MsgAnswer::Yes);
    w.ExportEntry(index)->trigger();

    const QString guideOut = tmp.path() + "/out/guide.chm_文件内容";
    const QString nestedOut = tmp.path() + "/out/nested.chm_文件内容";
    const QStringList guideWritten = FilesBelow(guideOut);
    const QStringList nestedWritten = FilesBelow(nestedOut);
    if (index == 0) {
      QCOMPARE(guideWritten, AllFilesOf("guide", tmp.path() + "/oracle-guide"));
      QCOMPARE(nestedWritten, AllFilesOf("nested", tmp.path() + "/oracle-nested"));
    } else {
      for (const QString& file : guideFiles) QVERIFY2(guideWritten.contains(file), qPrintable(file));
      for (const QString& file : nestedFiles) QVERIFY2(nestedWritten.contains(file), qPrintable(file));
    }
    QCOMPARE(QFileInfo::exists(guideOut), index != 4);  // guide.chm holds no multimedia
    QCOMPARE(w.Status(), status);
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QCOMPARE(w.services.Opened(), QStringList{tmp.path() + "/out"});
  }

  void batchSelectedContentsExportsWholeFiles() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.AddBatch({FixtureChm("guide"), FixtureChm("nested"), FixtureChm("inplace")});
    w.Files()->item(0)->setSelected(true);
    w.Files()->item(2)->setSelected(true);
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(1)->trigger();
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"guide.chm_文件内容", "inplace.chm_文件内容"}));
    QTemporaryDir oracle;
    QCOMPARE(FilesBelow(tmp.path() + "/guide.chm_文件内容"), AllFilesOf("guide", oracle.path()));
  }

  void batchWithOneSelectedFileWritesStraightIntoTheFolder() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.AddBatch({FixtureChm("guide"), FixtureChm("nested")});
    w.Files()->item(1)->setSelected(true);
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(1)->trigger();
    // Everything of nested.chm (type 1), with no folder of its own.
    QVERIFY(QFileInfo::exists(tmp.path() + "/docs/sub/deeper/deep.htm"));
    QVERIFY(QFileInfo::exists(tmp.path() + "/tools/setup.exe"));
    QVERIFY(!QFileInfo::exists(tmp.path() + "/nested.chm_文件内容"));
    QCOMPARE(w.Status(), kNestedSummary.arg(0).arg(0).arg(0));
  }

  void threeFilesOfOneNameGetNumberedFolders() {
    QTemporaryDir tmp;
    WindowHarness w;
    const QStringList copies{CopyFixture("guide", tmp.path() + "/a", "guide.chm"),
                             CopyFixture("guide", tmp.path() + "/b", "guide.chm"),
                             CopyFixture("guide", tmp.path() + "/c", "guide.chm")};
    w.AddBatch(copies);
    QCOMPARE(w.Files()->count(), 3);
    QDir().mkpath(tmp.path() + "/out");
    w.services.QueueFolder(tmp.path() + "/out");
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(0)->trigger();
    QCOMPARE(QDir(tmp.path() + "/out").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
             (QStringList{"guide.chm_1_文件内容", "guide.chm_2_文件内容", "guide.chm_文件内容"}));
    for (const char* folder : {"guide.chm_文件内容", "guide.chm_1_文件内容", "guide.chm_2_文件内容"}) {
      QCOMPARE(ReadAll(tmp.path() + "/out/" + folder + "/images/logo.gif"),
               ReadAll(Project("guide/images/logo.gif")));
    }
  }

  void emptyBatchListStillAsksAndPrompts() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.SetMode(1);
    w.services.QueueFiles({FixtureChm("guide")});
    w.window.ChooseCHMFiles();  // enables the entries
    w.Files()->clear();
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(0)->trigger();
    QCOMPARE(w.services.FolderBrowsers().size(), 1);
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QVERIFY(FilesBelow(tmp.path()).isEmpty());
  }

  void singleModeWithoutAnOpenFileAsksForOne_data() {
    QTest::addColumn<bool>("commandLine");  // rows from a command-line extraction, else a CHM file list
    QTest::addColumn<int>("index");
    QTest::addRow("after a command-line extraction, all contents") << true << 0;
    QTest::addRow("after a command-line extraction, current file") << true << 5;
    QTest::addRow("with only a CHM file list, listing") << false << 7;
  }

  void singleModeWithoutAnOpenFileAsksForOne() {
    QFETCH(bool, commandLine);
    QFETCH(int, index);
    QTemporaryDir tmp;
    const QString out = tmp.path() + "/out";
    WindowHarness w(commandLine ? QStringLiteral("/chm=\"%1\" /path=\"%2\"").arg(FixtureChm("guide"), out)
                                : QString());
    if (commandLine) {
      QVERIFY(w.Items()->count() > 0);
      w.Items()->setCurrentRow(0);
    } else {
      w.AddBatch({FixtureChm("guide")});
      w.SetMode(0);
    }
    QVERIFY(w.ExportsEnabled());
    w.ExportEntry(index)->trigger();
    QCOMPARE(w.MessageTexts(), QStringList{"请打开CHM文件。"});
    QCOMPARE(w.services.Messages().first().icon, MsgIcon::Information);
    QVERIFY(w.services.FolderBrowsers().isEmpty());
    QCOMPARE(w.services.FileDialogs().size(), commandLine ? 0 : 1);  // the open dialog of the list
  }

  void selectedContentsTakeNestedItemsAndWholeFolders() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    w.Items()->item(w.RowOf("html\\images\\photo.tar.GIF"))->setSelected(true);
    w.Items()->item(w.RowOf("\\docs"))->setSelected(true);
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(1)->trigger();
    QCOMPARE(FilesBelow(tmp.path()),
             (QStringList{"docs/index.htm", "docs/sub/deeper/deep.htm", "html/images/photo.tar.GIF"}));
    QCOMPARE(ReadAll(tmp.path() + "/html/images/photo.tar.GIF"),
             ReadAll(Project("nested/html/images/photo.tar.GIF")));
    QCOMPARE(w.Status(), kNestedSummary.arg(0).arg(0).arg(0));
  }

  void currentFileIsSavedAndItsFolderShown() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    w.Items()->setCurrentRow(w.RowOf("images\\logo.gif"));
    const QString target = tmp.path() + "/saved.gif";
    w.services.QueueFiles({target});
    w.services.QueueMessageAnswer(MsgAnswer::Yes);
    w.ExportEntry(5)->trigger();

    QCOMPARE(w.services.FileDialogs().size(), 2);  // the open dialog, then the save dialog
    const FileDialogRequest& dialog = w.services.FileDialogs().last();
    QCOMPARE(dialog.kind, FileDialogRequest::Kind::Save);
    QCOMPARE(dialog.title, QStringLiteral("请选择要保存到的文件"));
    QCOMPARE(dialog.fileName, QStringLiteral("logo.gif"));
    QVERIFY(dialog.nameFilters.isEmpty());
    QVERIFY(dialog.overwritePrompt);
    QVERIFY(dialog.pathMustExist);
    QCOMPARE(ReadAll(target), ReadAll(Project("guide/images/logo.gif")));
    QCOMPARE(FilesBelow(tmp.path()), QStringList{"saved.gif"});
    // The single-item extraction counts nothing.
    QCOMPARE(w.Status(), QStringLiteral("    反编译完成，共0个内容，网页(0)，图片(0)，多媒体(0)。"));
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QCOMPARE(w.services.Opened(), QStringList{tmp.path()});
  }

  // An empty stored file is saved as an empty file, in place of the one
  // the user agreed to replace, before the export says it is done.
  void currentFileThatIsEmptyIsSavedEmpty() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    w.Action("mnuAutoViewHTML")->setChecked(false);
    w.Items()->setCurrentRow(w.RowOf("html\\empty.htm"));
    const QString target = tmp.path() + "/empty.htm";
    QFile earlier(target);
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier file") == 15);
    earlier.close();
    w.services.QueueFiles({target});
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(5)->trigger();
    QCOMPARE(FilesBelow(tmp.path()), QStringList{"empty.htm"});
    QCOMPARE(QFileInfo(target).size(), qint64(0));
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
  }

  void refusals_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("row");  // record key of the current row, empty for none
    QTest::addColumn<QString>("message");
    QTest::addRow("nothing selected in the content list") << 0 << 1 << "" << "请选中要导出的项目。";
    QTest::addRow("nothing selected in the CHM file list") << 1 << 1 << "" << "请选中要导出的文件。";
    QTest::addRow("no current row") << 0 << 5 << "" << "请选择要导出的文件。";
    QTest::addRow("current row is a folder") << 0 << 5 << "\\images" << "这是目录，不是文件，不能保存。";
  }

  void refusals() {
    QFETCH(int, mode);
    QFETCH(int, index);
    QFETCH(QString, row);
    QFETCH(QString, message);
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    // Without auto-browse a folder row stays current when clicked.
    w.Action("mnuAutoViewHTML")->setChecked(false);
    w.Items()->setCurrentRow(row.isEmpty() ? -1 : w.RowOf(row));
    w.Items()->clearSelection();
    w.SetMode(mode);
    const QString status = w.Status();
    w.ExportEntry(index)->trigger();
    QCOMPARE(w.MessageTexts(), QStringList{message});
    QCOMPARE(w.services.Messages()[0].icon, MsgIcon::Information);
    QCOMPARE(w.services.Messages()[0].buttons, MsgButtons::Ok);
    QVERIFY(w.services.FileDialogs().size() == 1);  // only the open dialog
    QVERIFY(w.services.FolderBrowsers().isEmpty());
    QCOMPARE(w.Status(), status);
  }

  void cancelledDialogsEndSilently_data() {
    QTest::addColumn<int>("index");
    QTest::addRow("folder browser") << 0;
    QTest::addRow("current file") << 5;
    QTest::addRow("listing") << 7;
  }

  void cancelledDialogsEndSilently() {
    QFETCH(int, index);
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    w.Items()->setCurrentRow(w.RowOf("\\index.htm"));
    const QString status = w.Status();
    if (index == 0) {
      w.services.QueueFolder(QString());
    } else {
      w.services.QueueFileDialogCancel();
    }
    w.ExportEntry(index)->trigger();
    QVERIFY(w.services.Messages().isEmpty());
    QCOMPARE(w.Status(), status);
    QVERIFY(w.ExportEntry(index)->isEnabled());
    QCOMPARE(w.services.UnusedAnswers(), 0);
  }

  void listingIsWrittenByteForByte() {
    QTemporaryDir tmp;
    WindowHarness w;
    const QString chm = FixtureChm("guide");
    w.OpenSingle(chm);
    const auto itemsBefore = w.window.Items().size();
    const QString target = tmp.path() + "/list.txt";
    w.services.QueueFiles({target});
    w.services.QueueMessageAnswer(MsgAnswer::Yes);
    w.ExportEntry(7)->trigger();

    const FileDialogRequest& dialog = w.services.FileDialogs().last();
    QCOMPARE(dialog.kind, FileDialogRequest::Kind::Save);
    QVERIFY(dialog.title.isEmpty());
    QCOMPARE(dialog.nameFilters.size(), 2);
    QCOMPARE(dialog.filterIndex, 0);
    QCOMPARE(dialog.fileName, QStringLiteral("guide的文件列表.txt"));
    QVERIFY(dialog.overwritePrompt);
    // chmcmd's own streams first (sorted as it stores them), then the
    // project's files with their sizes on disk.
    const QString expected = QStringLiteral(
                                 "CHM文件：%1\r\n"
                                 "文件：\\#IDXHDR，大小：4096\r\n"
                                 "文件：\\#ITBITS，大小：0\r\n"
                                 "文件：\\#STRINGS，大小：1\r\n"
                                 "文件：\\#SYSTEM，大小：4210\r\n"
                                 "文件：\\$OBJINST，大小：2751\r\n"
                                 "文件：\\_#_README_#_，大小：136\r\n"
                                 "文件：\\guide.css，大小：17\r\n"
                                 "文件：\\images，这是目录\r\n"
                                 "文件：images\\logo.gif，大小：43\r\n"
                                 "文件：\\index.htm，大小：148\r\n"
                                 "\r\n")
                                 .arg(chm);
    QCOMPARE(ReadAll(target), expected.toUtf8());
    QCOMPARE(w.Status(), QStringLiteral("    反编译完成，共10个内容，网页(2)，图片(1)，多媒体(0)。"));
    QCOMPARE(w.MessageTexts(), QStringList{kListingDone});
    QCOMPARE(w.services.Messages()[0].icon, MsgIcon::Question);
    QCOMPARE(w.services.Opened(), QStringList{target});
    QCOMPARE(w.window.Items().size(), itemsBefore);
  }

  void batchListingHoldsEveryFileAndReplacesTheTarget() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    w.AddBatch({FixtureChm("inplace")});
    const QString target = tmp.path() + "/list.txt";
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'Z'));
    old.close();
    w.services.QueueFiles({target});
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(7)->trigger();
    // The proposed name comes from the file open in the window.
    QCOMPARE(w.services.FileDialogs().last().fileName, QStringLiteral("guide的文件列表.txt"));
    const QString text = QString::fromUtf8(ReadAll(target));
    QCOMPARE(text.count(QStringLiteral("CHM文件：")), 2);
    const qsizetype second = text.indexOf(QStringLiteral("CHM文件：") + FixtureChm("inplace"));
    QVERIFY(second > 0);
    QVERIFY(text.left(second).contains(QStringLiteral("文件：images\\logo.gif，大小：43")));
    QVERIFY(!text.mid(second).contains(QStringLiteral("logo.gif")));
    QVERIFY(text.mid(second).contains(QStringLiteral("文件：sub\\page2.htm，")));
    QVERIFY(!text.contains(QStringLiteral("ZZZ")));
    QVERIFY(w.services.Opened().isEmpty());  // answered No; the file stays
  }

  void listingProposedNames_data() {
    QTest::addColumn<QString>("chmName");
    QTest::addColumn<QString>("proposed");
    QTest::addRow("lower-case extension") << "Guide.chm" << "Guide的文件列表.txt";
    QTest::addRow("upper-case extension stays") << "Guide.CHM" << "Guide.CHM的文件列表.txt";
    QTest::addRow("every .chm goes") << "a.chm.chm" << "a的文件列表.txt";
    // The dialog takes 255 characters: the stem is shortened, ".txt" kept.
    QTest::addRow("longer than the dialog takes")
        << QString(250, QLatin1Char('a')) + ".chm" << QString(250, QLatin1Char('a')) + "的.txt";
  }

  void listingProposedNames() {
    QFETCH(QString, chmName);
    QFETCH(QString, proposed);
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(CopyFixture("guide", tmp.path(), chmName));
    w.services.QueueFileDialogCancel();
    w.ExportEntry(7)->trigger();
    QCOMPARE(w.services.FileDialogs().last().fileName, proposed);
  }

  void listingThatCannotBeWrittenIsReported() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    const QString target = tmp.path() + "/taken";
    QVERIFY(QDir().mkpath(target));  // a folder where the file should go
    w.services.QueueFiles({target});
    w.ExportEntry(7)->trigger();
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("写入文件失败：") + target});
    QVERIFY(QFileInfo(target).isDir());
    QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"taken"});
  }

  void unreadableFilesDoNotStopABatch() {
    QTemporaryDir tmp;
    WindowHarness w;
    const QString missing = CopyFixture("guide", tmp.path() + "/gone", "missing.chm");
    const QString text = tmp.path() + "/text.chm";
    QFile textFile(text);
    QVERIFY(textFile.open(QIODevice::WriteOnly));
    textFile.write("not a CHM file");
    textFile.close();
    // Recognised as a CHM file, then unreadable: it ends after its header.
    const QString truncated = tmp.path() + "/truncated.chm";
    QFile truncatedFile(truncated);
    QVERIFY(truncatedFile.open(QIODevice::WriteOnly));
    truncatedFile.write(ReadAll(FixtureChm("guide")).left(120));
    truncatedFile.close();
    w.AddBatch({FixtureChm("guide"), missing, text, truncated, FixtureChm("nested")});
    QCOMPARE(w.Files()->count(), 5);
    QVERIFY(QFile::remove(missing));

    w.services.QueueFolder(tmp.path() + "/out");
    w.services.QueueMessageAnswer(MsgAnswer::Ok);  // the notice, then the prompt
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(0)->trigger();
    QCOMPARE(w.services.Messages().size(), 2);
    const auto& notice = w.services.Messages()[0];
    QCOMPARE(notice.icon, MsgIcon::Information);
    QCOMPARE(notice.text.split('\n'),
             (QStringList{"以下文件无法读取（文件不存在、不是chm文件或已损坏），已跳过：", missing, text, truncated}));
    QCOMPARE(w.services.Messages()[1].text, kExportDone);
    QCOMPARE(QDir(tmp.path() + "/out").entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"guide.chm_文件内容", "nested.chm_文件内容"}));
    QCOMPARE(w.Status(), kNestedSummary.arg(0).arg(0).arg(0));
  }

  void entriesAreHeldOffWhileAnExportRuns_data() {
    QTest::addColumn<bool>("closeMeanwhile");
    QTest::addRow("entries come back") << false;
    QTest::addRow("a close meanwhile keeps them off") << true;
  }

  void entriesAreHeldOffWhileAnExportRuns() {
    QFETCH(bool, closeMeanwhile);
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    w.AddBatch({FixtureChm("nested"), FixtureChm("guide")});
    w.services.QueueFolder(tmp.path());
    w.services.QueueMessageAnswer(MsgAnswer::No);

    // Runs as soon as the export lets events run (progress and summaries).
    QList<bool> enabledMeanwhile;
    QTimer::singleShot(0, &w.window, [&] {
      for (int index : {0, 1, 2, 3, 4, 5, 7}) enabledMeanwhile << w.ExportEntry(index)->isEnabled();
      // Neither the shortcut nor the double-click starts a second export.
      QTest::keyClick(&w.window, Qt::Key_F4);
      w.ExportEntry(0)->trigger();
      emit w.Items()->itemDoubleClicked(w.Items()->item(0));
      if (closeMeanwhile) w.Action("mnuClose")->trigger();
    });
    w.ExportEntry(0)->trigger();

    QCOMPARE(enabledMeanwhile, QList<bool>(7, false));
    QCOMPARE(w.services.FolderBrowsers().size(), 1);
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"guide.chm_文件内容", "nested.chm_文件内容"}));
    for (int index : {0, 1, 2, 3, 4, 5, 7}) QCOMPARE(w.ExportEntry(index)->isEnabled(), !closeMeanwhile);
  }

  void closingTheWindowEndsTheExportAfterTheCurrentFile_data() {
    QTest::addColumn<bool>("firstMissing");
    QTest::addColumn<QStringList>("folders");
    // A missing file's walk ends at once, so its summary is the first time
    // the export lets events run: the window closes between two files.
    QTest::addRow("closed between files") << true << QStringList();
    // guide.chm reports its fifth stream during its walk: closed then.
    QTest::addRow("closed during a walk") << false << QStringList{"guide.chm_文件内容"};
  }

  void closingTheWindowEndsTheExportAfterTheCurrentFile() {
    QFETCH(bool, firstMissing);
    QFETCH(QStringList, folders);
    QTemporaryDir tmp;
    WindowHarness w;
    const QString missing = CopyFixture("guide", tmp.path() + "/gone", "missing.chm");
    w.AddBatch({firstMissing ? missing : FixtureChm("guide"), FixtureChm("nested")});
    QVERIFY(QFile::remove(missing));
    w.services.QueueFolder(tmp.path() + "/out");
    QTimer::singleShot(0, &w.window, [&] { w.window.close(); });
    w.ExportEntry(0)->trigger();
    QVERIFY(!w.window.isVisible());
    QCOMPARE(QDir(tmp.path() + "/out").entryList(QDir::Dirs | QDir::NoDotAndDotDot), folders);
    QVERIFY(w.services.Messages().isEmpty());
  }

  // A folder link planted in the output folder stops the streams below it;
  // the others are written, the summary counts the losses and one message
  // names them. When nothing at all could be written, no result is offered.
  void streamsThatCannotBeWrittenAreNamedAfterTheExport_data() {
    QTest::addColumn<bool>("alsoAFile");  // the CHM file also holds a stream outside the link
    QTest::addRow("some written") << true;
    QTest::addRow("nothing written") << false;
  }

  void streamsThatCannotBeWrittenAreNamedAfterTheExport() {
    QFETCH(bool, alsoAFile);
    QTemporaryDir tmp;
    const QString chm = tmp.path() + "/linked.chm";
    velmora::testsupport::ChmBuilder builder;
    builder.add("/sub/a.htm", "first").add("/sub/b.htm", "second");
    if (alsoAFile) builder.add("/c.htm", "third");
    QVERIFY(builder.writeTo(chm.toStdString()));
    QVERIFY(QDir().mkpath(tmp.path() + "/out") && QDir().mkpath(tmp.path() + "/elsewhere"));
    QVERIFY(QFile::link(tmp.path() + "/elsewhere", tmp.path() + "/out/sub"));
    WindowHarness w;
    w.OpenSingle(chm);
    w.services.QueueFolder(tmp.path() + "/out");
    w.services.QueueMessageAnswer(MsgAnswer::Ok);  // the losses
    if (alsoAFile) w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(0)->trigger();
    QVERIFY(QDir(tmp.path() + "/elsewhere").isEmpty());
    QCOMPARE(w.MessageTexts().first(), QStringLiteral("以下内容未能导出：\nsub\\a.htm\nsub\\b.htm\n共2个内容未能导出。"));
    QCOMPARE(w.MessageTexts().size(), alsoAFile ? 2 : 1);
    QVERIFY(w.Status().endsWith(QStringLiteral("，2个内容未能导出。")));
    QCOMPARE(ReadAll(tmp.path() + "/out/c.htm"), alsoAFile ? QByteArray("third") : QByteArray());
  }

  void theWindowTakesEventsWhileStreamsAreWritten() {
    QTemporaryDir tmp;
    const QString chm = tmp.path() + "/two.chm";
    QVERIFY(velmora::testsupport::ChmBuilder().add("/a.htm", "first").add("/b.htm", "second").writeTo(
        chm.toStdString()));
    WindowHarness w;
    w.OpenSingle(chm);
    const QString opened = w.Status();
    // Two streams report too little for the walk to let events run: the
    // first chance comes while they are written, before the summary.
    QString statusMeanwhile;
    QTimer::singleShot(0, &w.window, [&] { statusMeanwhile = w.Status(); });
    w.services.QueueFolder(tmp.path() + "/out");
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.ExportEntry(0)->trigger();
    QCOMPARE(statusMeanwhile, opened);
    QCOMPARE(ReadAll(tmp.path() + "/out/b.htm"), QByteArray("second"));
    QCOMPARE(w.Status(), QStringLiteral("    反编译完成，共2个内容，网页(0)，图片(0)，多媒体(0)。"));
  }

  void doubleClickSavesTheClickedFile() {
    QTemporaryDir tmp;
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    QListWidget* list = w.Items();
    list->setCurrentRow(w.RowOf("\\index.htm"));
    const int row = w.RowOf("html\\images\\pic.png");
    const QString target = tmp.path() + "/pic.png";
    w.services.QueueFiles({target});
    w.services.QueueMessageAnswer(MsgAnswer::No);
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QVERIFY(w.services.FolderBrowsers().isEmpty());
    QCOMPARE(w.services.FileDialogs().size(), 2);  // the open dialog, then the save dialog
    QCOMPARE(w.services.FileDialogs().last().kind, FileDialogRequest::Kind::Save);
    QCOMPARE(w.services.FileDialogs().last().fileName, QStringLiteral("pic.png"));
    QCOMPARE(FilesBelow(tmp.path()), QStringList{"pic.png"});
    QCOMPARE(ReadAll(target), ReadAll(Project("nested/html/images/pic.png")));
    QCOMPARE(w.MessageTexts(), QStringList{kExportDone});
  }

  void shortcutsRunTheEntries_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("folders");
    QTest::addColumn<int>("files");
    QTest::addRow("F4 all contents") << int(Qt::Key_F4) << 1 << 0;
    QTest::addRow("F7 pictures") << int(Qt::Key_F7) << 1 << 0;
    QTest::addRow("F8 pages") << int(Qt::Key_F8) << 1 << 0;
    QTest::addRow("F9 multimedia") << int(Qt::Key_F9) << 1 << 0;
    QTest::addRow("F11 current file") << int(Qt::Key_F11) << 0 << 1;
    QTest::addRow("F12 listing") << int(Qt::Key_F12) << 0 << 1;
  }

  void shortcutsRunTheEntries() {
    QFETCH(int, key);
    QFETCH(int, folders);
    QFETCH(int, files);
    WindowHarness w;
    w.OpenSingle(FixtureChm("guide"));
    w.Items()->setCurrentRow(w.RowOf("\\index.htm"));
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    if (folders) w.services.QueueFolder(QString());
    if (files) w.services.QueueFileDialogCancel();
    QTest::keyClick(&w.window, Qt::Key(key));
    QCOMPARE(w.services.FolderBrowsers().size(), folders);
    QCOMPARE(w.services.FileDialogs().size(), 1 + files);
  }
};

VELMORA_REGISTER_TEST(ExportCommandsTest)
#include "ExportCommandsTest.moc"
