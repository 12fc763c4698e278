// The file dialogs: what reaches the dialog, what comes back in FileName, the
// split of multiple selections, the buffer limits and CancelError.

#include <QtTest>

#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/common/FileDialogFilter.h"
#include "ui/common/cComponentError.h"
#include "ui/common/cDlg.h"

using velmora::test::ScriptedUiServices;
using velmora::ui::FileDialogRequest;

namespace {

const QChar kNul(u'\0');

// "a|b|c" with every "|" a NUL character, to write lists readably.
QString Nul(const char* text) {
  return QString::fromUtf8(text).replace(QLatin1Char('|'), kNul);
}

}  // namespace

class cDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void parseMultiFileName_data();
  void parseMultiFileName();
  void filterConversion_data();
  void filterConversion();
  void flagsReachTheRequest_data();
  void flagsReachTheRequest();
  void filterIndexIsOneBased_data();
  void filterIndexIsOneBased();
  void singleOpenGivesPathAndTitle();
  void multipleOpenOfTwoFilesGivesFolderAndNames();
  void multipleOpenOfOneFileGivesFullPathAlone();
  void cancelEmptiesFileName();
  void cancelErrorRaisesAfterCancel();
  void presetLongerThanBufferIsRefused_data();
  void presetLongerThanBufferIsRefused();
  void actionRunsTheDialog_data();
  void actionRunsTheDialog();
  void showFolderReturnsChoiceOrPreviousFolder();
};

void cDlgTest::parseMultiFileName_data() {
  QTest::addColumn<QString>("fileName");
  QTest::addColumn<int>("countIn");
  QTest::addColumn<QString>("folder");
  QTest::addColumn<QStringList>("names");
  QTest::addColumn<int>("count");
  QTest::newRow("plain path") << "/home/ann/help.chm" << 0 << "/home/ann" << QStringList{"help.chm"} << 1;
  QTest::newRow("plain name without separator") << "help.chm" << 0 << "" << QStringList{"help.chm"} << 1;
  QTest::newRow("only separator is the first character")
      << "/help.chm" << 0 << "" << QStringList{"/help.chm"} << 1;
  QTest::newRow("separator at second position splits")
      << "a/help.chm" << 0 << "a" << QStringList{"help.chm"} << 1;
  QTest::newRow("plain path ending in separator") << "/home/ann/" << 0 << "/home/ann" << QStringList{""} << 1;
  QTest::newRow("plain path sets count to one") << "/d/x.chm" << 5 << "/d" << QStringList{"x.chm"} << 1;
  QTest::newRow("empty name") << "" << 0 << "" << QStringList{""} << 1;
  QTest::newRow("two files") << Nul("/d|a.chm|b.chm||") << 0 << "/d" << QStringList{"a.chm", "b.chm"} << 2;
  QTest::newRow("three files")
      << Nul("/d e|a.chm|b c.chm|帮助.chm||") << 0 << "/d e" << QStringList{"a.chm", "b c.chm", "帮助.chm"} << 3;
  QTest::newRow("single file in multiple dialog")
      << Nul("/d/a.chm||") << 0 << "" << QStringList{"/d/a.chm"} << 1;
  QTest::newRow("text after the double NUL is ignored")
      << Nul("/d|a.chm||old|b.chm") << 0 << "/d" << QStringList{"a.chm"} << 1;
  QTest::newRow("list adds to the caller's count")
      << Nul("/d|a.chm|b.chm||") << 1 << "/d" << QStringList{"", "a.chm", "b.chm"} << 3;
}

void cDlgTest::parseMultiFileName() {
  QFETCH(QString, fileName);
  QFETCH(int, countIn);
  QFETCH(QString, folder);
  QFETCH(QStringList, names);
  QFETCH(int, count);
  cDlg dlg;
  dlg.SetFileName(fileName);
  QString strFolder;
  QStringList strNames;
  int lngCount = countIn;
  dlg.ParseMultiFileName(strFolder, strNames, lngCount);
  QCOMPARE(strFolder, folder);
  QCOMPARE(strNames, names);
  QCOMPARE(lngCount, count);
}

void cDlgTest::filterConversion_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("nameFilters");
  QTest::newRow("empty filter") << "" << QStringList();
  QTest::newRow("one pair naming its own pattern") << "CHM文件(*.chm)|*.chm" << QStringList{"CHM文件(*.chm)"};
  QTest::newRow("CHM file filter")
      << "CHM文件(*.chm)|*.chm|所有文件(*.*)|*.*" << QStringList{"CHM文件(*.chm)", "所有文件(*.*)"};
  QTest::newRow("text file filter")
      << "所有文本文件(*.txt)|*.txt|所有文件(*.*)|*.*" << QStringList{"所有文本文件(*.txt)", "所有文件(*.*)"};
  QTest::newRow("description without patterns gets them")
      << "Pages|*.htm;*.html" << QStringList{"Pages (*.htm *.html)"};
  QTest::newRow("own pattern list with semicolons")
      << "Web(*.htm;*.html)|*.htm;*.html" << QStringList{"Web(*.htm *.html)"};
  QTest::newRow("description naming other patterns keeps its text")
      << "Text (*.txt)|*.txt;*.log" << QStringList{"Text (*.txt) (*.txt *.log)"};
  QTest::newRow("empty description") << "|*.chm" << QStringList{"(*.chm)"};
  QTest::newRow("unpaired last description is dropped") << "A|*.a|B" << QStringList{"A (*.a)"};
  QTest::newRow("trailing bar is dropped") << "A|*.a|" << QStringList{"A (*.a)"};
}

void cDlgTest::filterConversion() {
  QFETCH(QString, filter);
  QFETCH(QStringList, nameFilters);
  QCOMPARE(NameFiltersFromFilter(filter), nameFilters);

  ScriptedUiServices services;
  services.QueueFileDialogCancel();
  cDlg dlg;
  dlg.SetFilter(filter);
  dlg.ShowOpen();
  QCOMPARE(services.FileDialogs().size(), 1);
  QCOMPARE(services.FileDialogs().at(0).nameFilters, nameFilters);
}

void cDlgTest::flagsReachTheRequest_data() {
  QTest::addColumn<bool>("open");
  QTest::addColumn<quint32>("flags");
  QTest::addColumn<bool>("fileMustExist");
  QTest::addColumn<bool>("pathMustExist");
  QTest::addColumn<bool>("overwritePrompt");
  QTest::addColumn<bool>("multiple");
  QTest::newRow("open CHM files") << true << quint32(0x81800) << true << true << false << false;
  QTest::newRow("open CHM files in batch mode") << true << quint32(0x81A00) << true << true << false << true;
  QTest::newRow("save a file list") << false << quint32(0x80802) << false << true << true << false;
  QTest::newRow("multiple selection bit on save is ignored")
      << false << quint32(0x200) << false << false << false << false;
  QTest::newRow("hook and template bits change nothing")
      << true << quint32(0xE0) << false << false << false << false;
  QTest::newRow("no flags") << true << quint32(0) << false << false << false << false;
}

void cDlgTest::flagsReachTheRequest() {
  QFETCH(bool, open);
  QFETCH(quint32, flags);
  QFETCH(bool, fileMustExist);
  QFETCH(bool, pathMustExist);
  QFETCH(bool, overwritePrompt);
  QFETCH(bool, multiple);
  ScriptedUiServices services;
  services.QueueFileDialogCancel();
  QWidget owner;
  cDlg dlg;
  dlg.SetHOwner(&owner);
  dlg.SetFlags(flags);
  dlg.SetDialogTitle(QStringLiteral("请选择要保存到的文件"));
  dlg.SetInitDir(QStringLiteral("/tmp"));
  dlg.SetDefaultExt(QStringLiteral("txt"));
  dlg.SetFileName(QStringLiteral("list.txt"));
  open ? dlg.ShowOpen() : dlg.ShowSave();
  QCOMPARE(services.FileDialogs().size(), 1);
  const FileDialogRequest& request = services.FileDialogs().at(0);
  QCOMPARE(request.kind, open ? FileDialogRequest::Kind::Open : FileDialogRequest::Kind::Save);
  QCOMPARE(request.owner, &owner);
  QCOMPARE(request.title, QStringLiteral("请选择要保存到的文件"));
  QCOMPARE(request.initialFolder, QStringLiteral("/tmp"));
  QCOMPARE(request.defaultSuffix, QStringLiteral("txt"));
  QCOMPARE(request.fileName, QStringLiteral("list.txt"));
  QCOMPARE(request.fileMustExist, fileMustExist);
  QCOMPARE(request.pathMustExist, pathMustExist);
  QCOMPARE(request.overwritePrompt, overwritePrompt);
  QCOMPARE(request.multiple, multiple);
}

void cDlgTest::filterIndexIsOneBased_data() {
  QTest::addColumn<int>("filterIndex");
  QTest::addColumn<int>("requested");
  QTest::newRow("zero lets the first be chosen") << 0 << 0;
  QTest::newRow("one is the first") << 1 << 0;
  QTest::newRow("two is the second") << 2 << 1;
}

void cDlgTest::filterIndexIsOneBased() {
  QFETCH(int, filterIndex);
  QFETCH(int, requested);
  ScriptedUiServices services;
  services.QueueFileDialogCancel();
  cDlg dlg;
  dlg.SetFilter(QStringLiteral("CHM文件(*.chm)|*.chm|所有文件(*.*)|*.*"));
  dlg.SetFilterIndex(filterIndex);
  dlg.ShowSave();
  QCOMPARE(services.FileDialogs().at(0).filterIndex, requested);
}

void cDlgTest::singleOpenGivesPathAndTitle() {
  ScriptedUiServices services;
  services.QueueFiles({QStringLiteral("/data/帮助 文件/manual.chm")});
  cDlg dlg;
  dlg.SetFlags(0x81800);
  dlg.ShowOpen();
  QCOMPARE(dlg.FileName(), QStringLiteral("/data/帮助 文件/manual.chm"));
  QCOMPARE(dlg.FileTitle(), QStringLiteral("manual.chm"));
}

void cDlgTest::multipleOpenOfTwoFilesGivesFolderAndNames() {
  ScriptedUiServices services;
  services.QueueFiles({QStringLiteral("/data/a.chm"), QStringLiteral("/data/b.chm")});
  cDlg dlg;
  dlg.SetFlags(0x81A00);
  dlg.SetFileTitle(QStringLiteral("kept"));
  dlg.ShowOpen();
  QCOMPARE(dlg.FileName(), Nul("/data|a.chm|b.chm||"));
  QCOMPARE(dlg.FileTitle(), QStringLiteral("kept"));
  QString folder;
  QStringList names;
  int count = 0;
  dlg.ParseMultiFileName(folder, names, count);
  QCOMPARE(folder, QStringLiteral("/data"));
  QCOMPARE(names, (QStringList{"a.chm", "b.chm"}));
  QCOMPARE(count, 2);
}

void cDlgTest::multipleOpenOfOneFileGivesFullPathAlone() {
  ScriptedUiServices services;
  services.QueueFiles({QStringLiteral("/data/a.chm")});
  cDlg dlg;
  dlg.SetFlags(0x81A00);
  dlg.ShowOpen();
  QString folder;
  QStringList names;
  int count = 0;
  dlg.ParseMultiFileName(folder, names, count);
  QCOMPARE(folder, QString());
  QCOMPARE(names, QStringList{QStringLiteral("/data/a.chm")});
  QCOMPARE(count, 1);
}

void cDlgTest::cancelEmptiesFileName() {
  ScriptedUiServices services;
  services.QueueFileDialogCancel();
  cDlg dlg;
  dlg.SetFileName(QStringLiteral("preset.txt"));
  dlg.ShowSave();
  QCOMPARE(dlg.FileName(), QString());
}

void cDlgTest::cancelErrorRaisesAfterCancel() {
  ScriptedUiServices services;
  services.QueueFileDialogCancel();
  services.QueueFiles({QStringLiteral("/data/a.chm")});
  cDlg dlg;
  dlg.SetCancelError(true);
  dlg.SetFileName(QStringLiteral("preset.chm"));
  try {
    dlg.ShowOpen();
    QFAIL("cancel was not raised");
  } catch (const cComponentError& error) {
    QCOMPARE(error.Number(), cDlg::kErrCancel);
    QVERIFY(error.Source().endsWith(QStringLiteral(".cDlg")));
  }
  QCOMPARE(dlg.FileName(), QString());
  dlg.ShowOpen();  // an accepted dialog raises nothing
  QCOMPARE(dlg.FileName(), QStringLiteral("/data/a.chm"));
}

void cDlgTest::presetLongerThanBufferIsRefused_data() {
  QTest::addColumn<bool>("open");
  QTest::addColumn<quint32>("flags");
  QTest::addColumn<int>("nameLength");
  QTest::addColumn<int>("titleLength");
  QTest::addColumn<bool>("refused");
  QTest::newRow("name of 255 fits") << true << quint32(0) << 255 << 0 << false;
  QTest::newRow("name of 256 is refused") << true << quint32(0) << 256 << 0 << true;
  QTest::newRow("save name of 256 is refused") << false << quint32(0) << 256 << 0 << true;
  QTest::newRow("multiple: name of 256 is still refused") << true << quint32(0x200) << 256 << 0 << true;
  QTest::newRow("multiple: title of 8192 fits") << true << quint32(0x200) << 10 << 8192 << false;
  QTest::newRow("multiple: title of 8193 is refused") << true << quint32(0x200) << 10 << 8193 << true;
  QTest::newRow("single: long title is not checked") << true << quint32(0) << 10 << 9000 << false;
  QTest::newRow("save: long title is not checked") << false << quint32(0x200) << 10 << 9000 << false;
}

void cDlgTest::presetLongerThanBufferIsRefused() {
  QFETCH(bool, open);
  QFETCH(quint32, flags);
  QFETCH(int, nameLength);
  QFETCH(int, titleLength);
  QFETCH(bool, refused);
  ScriptedUiServices services;
  if (!refused) services.QueueFileDialogCancel();
  cDlg dlg;
  dlg.SetFlags(flags);
  dlg.SetFileName(QString(nameLength, QLatin1Char('n')));
  dlg.SetFileTitle(QString(titleLength, QLatin1Char('t')));
  bool raised = false;
  try {
    open ? dlg.ShowOpen() : dlg.ShowSave();
  } catch (const cComponentError& error) {
    raised = true;
    QCOMPARE(error.Number(), cDlg::kErrInvalidArgument);
  }
  QCOMPARE(raised, refused);
  // A refused call never opens the dialog.
  QCOMPARE(services.FileDialogs().size(), refused ? 0 : 1);
}

void cDlgTest::actionRunsTheDialog_data() {
  QTest::addColumn<int>("action");
  QTest::addColumn<int>("dialogs");
  QTest::addColumn<bool>("open");
  QTest::newRow("1 opens") << 1 << 1 << true;
  QTest::newRow("2 saves") << 2 << 1 << false;
  QTest::newRow("3 does nothing") << 3 << 0 << false;
  QTest::newRow("0 does nothing") << 0 << 0 << false;
}

void cDlgTest::actionRunsTheDialog() {
  QFETCH(int, action);
  QFETCH(int, dialogs);
  QFETCH(bool, open);
  ScriptedUiServices services;
  if (dialogs) services.QueueFileDialogCancel();
  cDlg dlg;
  dlg.SetAction(action);
  QCOMPARE(services.FileDialogs().size(), dialogs);
  if (dialogs) {
    QCOMPARE(services.FileDialogs().at(0).kind,
             open ? FileDialogRequest::Kind::Open : FileDialogRequest::Kind::Save);
  }
}

void cDlgTest::showFolderReturnsChoiceOrPreviousFolder() {
  ScriptedUiServices services;
  services.QueueFolder(QStringLiteral("/data/out"));
  services.QueueFolder(QString());
  cDlg dlg;
  dlg.SetInitDir(QStringLiteral("/data"));
  dlg.SetDialogPrompt(QStringLiteral("选择文件夹"));
  QCOMPARE(dlg.ShowFolder(), QStringLiteral("/data/out"));
  QCOMPARE(dlg.InitDir(), QStringLiteral("/data/out"));
  QCOMPARE(services.FolderBrowsers().at(0).title, QStringLiteral("选择文件夹"));
  QCOMPARE(services.FolderBrowsers().at(0).rootDir, QStringLiteral("/data"));
  QCOMPARE(dlg.ShowFolder(), QStringLiteral("/data/out"));  // cancelled
  QCOMPARE(services.FolderBrowsers().at(1).rootDir, QStringLiteral("/data/out"));
}

QTEST_MAIN(cDlgTest)
#include "cDlgTest.moc"
