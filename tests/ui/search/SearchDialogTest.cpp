// The search dialog on real lists owned by a fake main window.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "tests/ui/search/FakeSearchHost.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/common/cBorderEx.h"
#include "ui/search/frmSearch.h"

using velmora::ui::FakeSearchHost;
using velmora::ui::frmSearch;

namespace {

QList<int> SelectedRows(const QListWidget& list) {
  QList<int> rows;
  for (int i = 0; i < list.count(); ++i) {
    if (list.item(i)->isSelected()) rows.append(i);
  }
  return rows;
}

template <typename T>
T* Control(frmSearch* dialog, const char* name) {
  T* control = dialog->findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("control %s missing", name);
  return control;
}

// Types the keyword over whatever the box holds and presses "搜索(&S)" once.
void Search(frmSearch* dialog, const QString& keyword) {
  auto* box = Control<QLineEdit>(dialog, "txtKeywords");
  box->clear();
  QTest::keyClicks(box, keyword);
  QTest::mouseClick(Control<QPushButton>(dialog, "cmdSearch"), Qt::LeftButton);
}

void Press(frmSearch* dialog) {
  QTest::mouseClick(Control<QPushButton>(dialog, "cmdSearch"), Qt::LeftButton);
}

}  // namespace

class SearchDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void controlsCarryTheirNamesAndTexts();
  void firstPressFindsRow_data();
  void firstPressFindsRow();
  void repeatedPressesGatherMatchesAndRestartAfterAMiss();
  void questionMarkSelectsEveryNonEmptyRow();
  void matchOnLastRowRestartsAtTheTopAtOnce();
  void shorterListRestartsAtTheTop();
  void emptyKeywordDoesNothing();
  void missShowsNoMessage_data();
  void missShowsNoMessage();
  void enterKeyRunsTheSearch();
  void earlierSelectionIsKept();
  void reopeningKeepsKeywordCheckBoxAndPosition();
  void closingWithEscapeSavesTheCheckBox();
  void findCommandRetargetsTheOpenDialog();
  void batchModeMatchesFolderNamesInPaths();
  void contentListHitPreviewsEvenAfterModeSwitch();
};

void SearchDialogTest::controlsCarryTheirNamesAndTexts() {
  FakeSearchHost host;
  frmSearch* dialog = frmSearch::ShowFind(host);
  QCOMPARE(dialog->objectName(), QStringLiteral("frmSearch"));
  QCOMPARE(dialog->parentWidget(), &host.window);
  QVERIFY(!dialog->isModal());
  QCOMPARE(dialog->windowTitle(), QStringLiteral("Velmora"));
  QCOMPARE(Control<QLabel>(dialog, "lblTitle")->text(), QStringLiteral("Velmora"));
  QCOMPARE(Control<QLabel>(dialog, "lblCaption")->text(), QStringLiteral("搜索"));
  QCOMPARE(Control<QLabel>(dialog, "lblKeywords")->text(), QStringLiteral("关键字(&K)："));
  QCOMPARE(Control<QLabel>(dialog, "lblKeywords")->buddy(), Control<QLineEdit>(dialog, "txtKeywords"));
  QCOMPARE(Control<QPushButton>(dialog, "cmdSearch")->text(), QStringLiteral("搜索(&S)"));
  QVERIFY(Control<QPushButton>(dialog, "cmdSearch")->isDefault());
  QCOMPARE(Control<QPushButton>(dialog, "cmdCancel")->text(), QStringLiteral("取消(&C)"));
  QCOMPARE(Control<QCheckBox>(dialog, "chkCheckAll")->text(), QStringLiteral("选中所有类似"));
  QVERIFY(!Control<QLabel>(dialog, "picHeader")->pixmap().isNull());
  QVERIFY(!Control<QLabel>(dialog, "imgLogo")->pixmap().isNull());
  QCOMPARE(Control<QLineEdit>(dialog, "txtKeywords")->property(cBorderEx::kExStyleProperty).toUInt(),
           cBorderEx::kStaticEdge);
  // Tab order: keyword box, search, cancel, check box.
  QCOMPARE(Control<QLineEdit>(dialog, "txtKeywords")->nextInFocusChain(),
           Control<QPushButton>(dialog, "cmdSearch"));
  QCOMPARE(Control<QPushButton>(dialog, "cmdSearch")->nextInFocusChain(),
           Control<QPushButton>(dialog, "cmdCancel"));
  QCOMPARE(Control<QPushButton>(dialog, "cmdCancel")->nextInFocusChain(),
           Control<QCheckBox>(dialog, "chkCheckAll"));
}

void SearchDialogTest::firstPressFindsRow_data() {
  QTest::addColumn<QStringList>("rows");
  QTest::addColumn<QString>("keyword");
  QTest::addColumn<int>("found");  // -1: nothing selected

  const QStringList htm{"a.htm", "b.htm", "c.gif"};
  QTest::newRow("upper-case keyword finds lower-case row") << htm << ".HTM" << 0;
  QTest::newRow("upper-case row found by lower-case keyword") << QStringList{"x", "INDEX.HTM"} << "index" << 1;
  QTest::newRow("keyword matches inside the row") << htm << "gi" << 2;
  QTest::newRow("no row holds the keyword") << htm << "png" << -1;
  QTest::newRow("hash finds first row with a digit") << QStringList{"intro.htm", "page2.htm", "3.gif"} << "#" << 1;
  QTest::newRow("hash without digits") << QStringList{"intro.htm", "toc.hhc"} << "#" << -1;
  QTest::newRow("question mark skips empty row") << QStringList{"", "x"} << "?" << 1;
  QTest::newRow("range finds first row holding a to c") << QStringList{"xyz", "doc", "abc"} << "[a-c]" << 1;
  QTest::newRow("range after lowering matches upper case") << QStringList{"xyz", "XBZ"} << "[a-c]" << 1;
  QTest::newRow("upper-case range is lowered too") << QStringList{"xyz", "b"} << "[A-C]" << 1;
  QTest::newRow("negated set finds row with another char") << QStringList{"aaa", "aab"} << "[!a]" << 1;
  QTest::newRow("bracketed bracket finds a literal bracket") << QStringList{"a.htm", "x[1].htm"} << "[[]" << 1;
  QTest::newRow("bracketed star is literal") << QStringList{"a.htm", "a*.htm"} << "a[*]" << 1;
  QTest::newRow("star joins two parts") << QStringList{"guide.chm", "images/logo.gif"} << "i*.gif" << 1;
  QTest::newRow("indentation is part of the row text") << QStringList{"top", "  inner"} << "  i" << 1;
  QTest::newRow("keyword is not trimmed") << QStringList{"ab", "a b"} << " b" << 1;
  QTest::newRow("unclosed bracket matches nothing") << QStringList{"[abc", "abc"} << "[abc" << -1;
  QTest::newRow("descending range matches nothing") << QStringList{"m", "[z-a]"} << "[z-a]" << -1;
}

void SearchDialogTest::firstPressFindsRow() {
  QFETCH(QStringList, rows);
  QFETCH(QString, keyword);
  QFETCH(int, found);
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, rows);
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, keyword);

  if (found < 0) {
    QVERIFY(SelectedRows(host.lstItems).isEmpty());
    QCOMPARE(host.lstItems.currentRow(), -1);
    QVERIFY(host.previewed.isEmpty());
  } else {
    QCOMPARE(SelectedRows(host.lstItems), QList<int>{found});
    QCOMPARE(host.lstItems.currentRow(), found);
    QCOMPARE(host.previewed, QList<int>{found});
  }
}

void SearchDialogTest::repeatedPressesGatherMatchesAndRestartAfterAMiss() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a.htm", "b.htm", "c.gif"});
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, ".HTM");
  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{0}));
  QCOMPARE(host.lstItems.currentRow(), 0);

  Press(dialog);
  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{0, 1}));
  QCOMPARE(host.lstItems.currentRow(), 1);

  // Nothing from c.gif onward: nothing changes, the next press starts over.
  Press(dialog);
  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{0, 1}));
  QCOMPARE(host.lstItems.currentRow(), 1);

  Press(dialog);
  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{0, 1}));
  QCOMPARE(host.lstItems.currentRow(), 0);
  QCOMPARE(host.previewed, (QList<int>{0, 1, 0}));
}

void SearchDialogTest::questionMarkSelectsEveryNonEmptyRow() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a", "", "bc", "d"});
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, "?");
  Press(dialog);
  Press(dialog);

  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{0, 2, 3}));
  QCOMPARE(host.previewed, (QList<int>{0, 2, 3}));
}

void SearchDialogTest::matchOnLastRowRestartsAtTheTopAtOnce() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"x1", "y", "x2"});
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, "x");
  Press(dialog);
  QCOMPARE(host.lstItems.currentRow(), 2);
  // The match on the last row sent the position back to 0 at once, so a row
  // added below it afterwards is not where the next search starts.
  host.lstItems.addItem(QStringLiteral("x3"));
  Press(dialog);
  QCOMPARE(host.lstItems.currentRow(), 0);
  QCOMPARE(host.previewed, (QList<int>{0, 2, 0}));
}

void SearchDialogTest::shorterListRestartsAtTheTop() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a1", "a2", "a3", "a4", "a5"});
  frmSearch* dialog = frmSearch::ShowFind(host);
  Search(dialog, "a");
  Press(dialog);
  Press(dialog);  // the next search would start at row 3

  FakeSearchHost::Fill(host.lstItems, {"b", "a"});
  Press(dialog);

  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{1}));
  QCOMPARE(host.lstItems.currentRow(), 1);
}

void SearchDialogTest::emptyKeywordDoesNothing() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a", "b"});
  frmSearch* dialog = frmSearch::ShowFind(host);
  Search(dialog, "b");
  QCOMPARE(host.lstItems.currentRow(), 1);

  Search(dialog, QString());
  QCOMPARE(host.lstItems.currentRow(), 1);
  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{1}));

  // The empty press did not replace the last keyword.
  dialog->close();
  frmSearch::ShowFind(host);
  QCOMPARE(Control<QLineEdit>(dialog, "txtKeywords")->text(), QStringLiteral("b"));
}

void SearchDialogTest::missShowsNoMessage_data() {
  QTest::addColumn<QString>("keyword");
  QTest::newRow("no row holds the keyword") << "zzz";
  QTest::newRow("unclosed bracket") << "[a";
  QTest::newRow("descending range") << "[c-a]";
}

void SearchDialogTest::missShowsNoMessage() {
  QFETCH(QString, keyword);
  velmora::test::ScriptedUiServices services;
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a.htm", "b.htm"});
  host.lstItems.item(1)->setSelected(true);
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, keyword);
  Press(dialog);

  QVERIFY(services.Messages().isEmpty());
  QVERIFY(services.UnexpectedRequests().isEmpty());
  QCOMPARE(SelectedRows(host.lstItems), QList<int>{1});
  QCOMPARE(host.lstItems.currentRow(), -1);
  QVERIFY(dialog->isVisible());
}

void SearchDialogTest::enterKeyRunsTheSearch() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a", "b"});
  frmSearch* dialog = frmSearch::ShowFind(host);
  auto* box = Control<QLineEdit>(dialog, "txtKeywords");
  box->clear();
  QTest::keyClicks(box, "b");
  QTest::keyClick(box, Qt::Key_Return);
  QCOMPARE(host.lstItems.currentRow(), 1);
  QVERIFY(dialog->isVisible());
}

void SearchDialogTest::earlierSelectionIsKept() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"one", "two", "three"});
  host.lstItems.item(0)->setSelected(true);
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, "three");

  QCOMPARE(SelectedRows(host.lstItems), (QList<int>{0, 2}));
  QCOMPARE(host.lstItems.currentRow(), 2);
}

void SearchDialogTest::reopeningKeepsKeywordCheckBoxAndPosition() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"k1", "k2", "k3"});
  frmSearch* dialog = frmSearch::ShowFind(host);
  Search(dialog, "K");
  auto* box = Control<QLineEdit>(dialog, "txtKeywords");
  auto* check = Control<QCheckBox>(dialog, "chkCheckAll");
  check->setChecked(true);
  // Typed but never searched: not the last keyword.
  box->setText(QStringLiteral("unsent"));
  check->setFocus();
  QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
  QVERIFY(!dialog->isVisible());
  QVERIFY(dialog->CheckAllItems());

  QCOMPARE(frmSearch::ShowFind(host), dialog);
  QVERIFY(dialog->isVisible());
  QCOMPARE(box->text(), QStringLiteral("K"));
  QVERIFY(check->isChecked());
  QCOMPARE(dialog->focusWidget(), box);
  Press(dialog);
  QCOMPARE(host.lstItems.currentRow(), 1);

  // Unticking is saved as well.
  check->setChecked(false);
  dialog->close();
  QVERIFY(!dialog->CheckAllItems());
  frmSearch::ShowFind(host);
  QVERIFY(!check->isChecked());
}

void SearchDialogTest::closingWithEscapeSavesTheCheckBox() {
  FakeSearchHost host;
  frmSearch* dialog = frmSearch::ShowFind(host);
  Control<QCheckBox>(dialog, "chkCheckAll")->setChecked(true);
  QTest::keyClick(Control<QLineEdit>(dialog, "txtKeywords"), Qt::Key_Escape);
  QVERIFY(!dialog->isVisible());
  QVERIFY(dialog->CheckAllItems());
}

void SearchDialogTest::findCommandRetargetsTheOpenDialog() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"item"});
  FakeSearchHost::Fill(host.lstFiles, {"/data/item.chm"});
  host.mode = 1;
  frmSearch* dialog = frmSearch::ShowFind(host);
  Search(dialog, "item");
  QCOMPARE(SelectedRows(host.lstFiles), QList<int>{0});
  QVERIFY(SelectedRows(host.lstItems).isEmpty());

  // F3 again in single mode: the same open window now searches the content list.
  host.mode = 0;
  QCOMPARE(frmSearch::ShowFind(host), dialog);
  QCOMPARE(host.window.findChildren<frmSearch*>().size(), 1);
  QVERIFY(dialog->isVisible());
  Press(dialog);
  QCOMPARE(SelectedRows(host.lstItems), QList<int>{0});
}

void SearchDialogTest::batchModeMatchesFolderNamesInPaths() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstFiles, {"/home/ann/docs/guide.chm", "/home/ann/Backup/guide.chm",
                                       "/home/ann/misc/backup.txt"});
  FakeSearchHost::Fill(host.lstItems, {"backup.htm"});
  host.mode = 1;
  frmSearch* dialog = frmSearch::ShowFind(host);

  Search(dialog, "backup");
  QCOMPARE(SelectedRows(host.lstFiles), QList<int>{1});
  QCOMPARE(host.lstFiles.currentRow(), 1);
  Press(dialog);
  QCOMPARE(SelectedRows(host.lstFiles), (QList<int>{1, 2}));
  // Rows of the CHM file list are never previewed, and the content list is untouched.
  QVERIFY(host.previewed.isEmpty());
  QVERIFY(SelectedRows(host.lstItems).isEmpty());
}

void SearchDialogTest::contentListHitPreviewsEvenAfterModeSwitch() {
  FakeSearchHost host;
  FakeSearchHost::Fill(host.lstItems, {"a", "b"});
  frmSearch* dialog = frmSearch::ShowFind(host);
  // The user switches to batch mode without pressing F3: the dialog keeps its list.
  host.mode = 1;
  Search(dialog, "b");
  QCOMPARE(host.lstItems.currentRow(), 1);
  QCOMPARE(host.previewed, QList<int>{1});
}

QTEST_MAIN(SearchDialogTest)
#include "SearchDialogTest.moc"
