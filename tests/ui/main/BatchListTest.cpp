// The CHM file list of batch mode: files chosen in the open dialog (one or
// several, skipping paths already listed in any letter case), files dropped
// on the list, opening a row by double-click, the offer to add files to an
// empty list, and removing the selected rows.

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/OpenWindowHarness.h"

using velmora::test::DropOn;
using velmora::test::FixtureChm;
using velmora::test::OpenWindowHarness;
using velmora::test::RowTexts;
using velmora::ui::MsgAnswer;
using velmora::ui::MsgButtons;
using velmora::ui::MsgIcon;

Q_DECLARE_METATYPE(velmora::ui::MsgAnswer)

class BatchListTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char* name : {"a.chm", "b.chm", "Guide.chm", "guide.chm"}) {
      QVERIFY(QFile::copy(FixtureChm(QStringLiteral("guide")), Path(name)));
    }
  }

  void selectingOneFileAddsItsFullPath() {
    OpenWindowHarness w;
    w.SetMode(1);
    w.services.QueueFiles({Path("a.chm")});
    w.window.ChooseCHMFiles();
    QCOMPARE(RowTexts(w.Files()), QStringList{Path("a.chm")});
    QVERIFY(w.ExportsEnabled());
    // Nothing was opened: the content list stays empty.
    QCOMPARE(w.Items()->count(), 0);
    QVERIFY(!w.window.IsLoaded());
  }

  void selectingSeveralFilesAddsEachOnce() {
    OpenWindowHarness w;
    w.SetMode(1);
    w.services.QueueFiles({Path("b.chm")});
    w.window.ChooseCHMFiles();
    // b.chm is listed already; guide.chm equals Guide.chm in lower case.
    w.services.QueueFiles({Path("a.chm"), Path("b.chm"), Path("Guide.chm"), Path("guide.chm")});
    w.window.ChooseCHMFiles();
    QCOMPARE(RowTexts(w.Files()), (QStringList{Path("b.chm"), Path("a.chm"), Path("Guide.chm")}));
    QVERIFY(w.services.Messages().isEmpty());
  }

  void missingFileOfASelectionIsReported() {
    OpenWindowHarness w;
    w.SetMode(1);
    QVERIFY(QFile::remove(Path("b.chm")));
    w.services.QueueFiles({Path("a.chm"), Path("b.chm"), Path("guide.chm")});
    w.window.ChooseCHMFiles();
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("文件不存在：") + Path("b.chm")});
    QCOMPARE(w.services.Messages().first().icon, MsgIcon::Information);
    QCOMPARE(RowTexts(w.Files()), (QStringList{Path("a.chm"), Path("guide.chm")}));
    QVERIFY(w.ExportsEnabled());
  }

  void batchSelectionKeepsTheOpenFile() {
    OpenWindowHarness w;
    w.Open(Path("a.chm"));
    w.SetMode(1);
    w.services.QueueFiles({Path("b.chm"), Path("guide.chm")});
    w.window.ChooseCHMFiles();
    QCOMPARE(w.window.CHMFile(), Path("a.chm"));
    QVERIFY(w.window.IsLoaded());
    QCOMPARE(RowTexts(w.Files()), (QStringList{Path("a.chm"), Path("b.chm"), Path("guide.chm")}));
  }

  void drops_data() {
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("exports");
    // Dropped paths are not checked, so they need not exist.
    const QString a = QStringLiteral("/x/a.chm");
    const QString upper = QStringLiteral("/X/A.CHM");
    const QString text = QStringLiteral("/x/readme.txt");
    QTest::addRow("same path in capitals adds nothing") << QStringList{a} << QStringList{upper} << QStringList{a}
                                                          << true;
    QTest::addRow("a file named twice is added once") << QStringList{} << QStringList{a, upper, a}
                                                        << QStringList{a} << true;
    QTest::addRow("a text file is added like any path") << QStringList{} << QStringList{text} << QStringList{text}
                                                          << true;
    QTest::addRow("nothing dropped on an empty list") << QStringList{} << QStringList{} << QStringList{} << false;
    QTest::addRow("nothing dropped on a filled list") << QStringList{a} << QStringList{} << QStringList{a} << true;
  }

  void drops() {
    QFETCH(QStringList, before);
    QFETCH(QStringList, dropped);
    QFETCH(QStringList, after);
    QFETCH(bool, exports);
    OpenWindowHarness w;
    w.SetMode(1);
    for (const QString& strPath : before) w.window.AddBatchFile(strPath);
    DropOn(w.Files(), dropped);
    QCOMPARE(RowTexts(w.Files()), after);
    QCOMPARE(w.ExportsEnabled(), exports);
    QVERIFY(w.services.Messages().isEmpty());
  }

  void removingEveryRowLeavesExportsEnabled() {
    OpenWindowHarness w;
    w.SetMode(1);
    DropOn(w.Files(), {Path("a.chm"), Path("b.chm")});
    QVERIFY(w.ExportsEnabled());
    w.Files()->selectAll();
    w.Find<QPushButton>(QStringLiteral("cmdRemoveFiles"))->click();
    QCOMPARE(w.Files()->count(), 0);
    QVERIFY(w.ExportsEnabled());
  }

  void removingSelectedRowsKeepsTheOthersInOrder() {
    OpenWindowHarness w;
    w.SetMode(1);
    QStringList paths;
    for (int index = 0; index < 5; ++index) paths << QStringLiteral("/x/%1.chm").arg(index);
    for (const QString& strPath : paths) w.window.AddBatchFile(strPath);
    for (int row : {1, 3, 4}) w.Files()->item(row)->setSelected(true);
    w.Find<QPushButton>(QStringLiteral("cmdRemoveFiles"))->click();
    QCOMPARE(RowTexts(w.Files()), (QStringList{paths[0], paths[2]}));
  }

  void removingWithoutSelectionAsksForOne() {
    OpenWindowHarness w;
    w.SetMode(1);
    w.window.AddBatchFile(Path("a.chm"));
    w.Find<QPushButton>(QStringLiteral("cmdRemoveFiles"))->click();
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("请选择要移除的文件。")});
    QCOMPARE(w.services.Messages().first().icon, MsgIcon::Information);
    QCOMPARE(w.Files()->count(), 1);
  }

  void doubleClickOpensTheRowInSingleMode() {
    OpenWindowHarness w;
    w.Open(Path("a.chm"));
    w.SetMode(1);
    w.window.AddBatchFile(Path("b.chm"));
    DoubleClickRow(w, 1);
    QCOMPARE(w.window.CHMFile(), Path("b.chm"));
    QVERIFY(w.window.IsLoaded());
    QCOMPARE(w.Items()->count(), 10);
    // The CHM file list is left as it was.
    QCOMPARE(RowTexts(w.Files()), (QStringList{Path("a.chm"), Path("b.chm")}));
    QVERIFY(w.Find<QRadioButton>(QStringLiteral("optMode0"))->isChecked());
  }

  void doubleClickOnADeletedFileStillSwitchesMode() {
    OpenWindowHarness w;
    w.SetMode(1);
    w.window.AddBatchFile(Path("b.chm"));
    QVERIFY(QFile::remove(Path("b.chm")));
    DoubleClickRow(w, 0);
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("文件不存在：") + Path("b.chm")});
    QVERIFY(w.Find<QRadioButton>(QStringLiteral("optMode0"))->isChecked());
    QVERIFY(!w.window.IsLoaded());
  }

  void clickOnTheEmptyListOffersToAddFiles_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<int>("rows");
    QTest::addRow("yes opens the dialog") << MsgAnswer::Yes << 1;
    QTest::addRow("no leaves everything") << MsgAnswer::No << 0;
  }

  void clickOnTheEmptyListOffersToAddFiles() {
    QFETCH(MsgAnswer, answer);
    QFETCH(int, rows);
    OpenWindowHarness w;
    w.SetMode(1);
    w.services.QueueMessageAnswer(answer);
    if (answer == MsgAnswer::Yes) w.services.QueueFiles({Path("a.chm")});
    QTest::mouseClick(w.Files()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("还没有文件，是否马上添加？")});
    const auto& question = w.services.Messages().first();
    QCOMPARE(question.buttons, MsgButtons::YesNo);
    QCOMPARE(question.icon, MsgIcon::Question);
    QCOMPARE(w.Files()->count(), rows);
    QCOMPARE(w.services.FileDialogs().size(), rows);
    QCOMPARE(w.services.UnusedAnswers(), 0);
    if (rows == 0) return;
    QVERIFY(w.services.FileDialogs().first().multiple);
    // A click on a list with rows asks nothing.
    QTest::mouseClick(w.Files()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(w.services.Messages().size(), 1);
  }

 private:
  QString Path(const QString& strName) const { return m_dir->filePath(strName); }

  static void DoubleClickRow(OpenWindowHarness& w, int lngRow) {
    // Let the list lay its rows out since its panel came to the front.
    QCoreApplication::processEvents();
    const QRect rect = w.Files()->visualItemRect(w.Files()->item(lngRow));
    // A double click as the desktop delivers it: a click, then the second
    // press as a double click, then its release.
    QTest::mouseClick(w.Files()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseDClick(w.Files()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QTest::mouseRelease(w.Files()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  }

  std::unique_ptr<QTemporaryDir> m_dir;
};

VELMORA_REGISTER_TEST(BatchListTest)
#include "BatchListTest.moc"
