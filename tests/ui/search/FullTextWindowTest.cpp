// The windows' full-text search over corpus files linked into a scratch
// folder: the shelf search dialog (folders chosen and remembered, hits
// grouped by file, an unreadable file named, a hit opened in the reader
// with its text found in the page), the reader's search tab, and a cancel
// while files are indexed.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QRegularExpression>
#include <QtTest>
#include <memory>

#include "TestPaths.h"
#include "app/preview/PreviewEngine.h"
#include "tests/support/ui/ScratchHomeMain.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/main/frmVelmora.h"
#include "ui/reader/FindBar.h"
#include "ui/reader/frmReader.h"
#include "ui/search/FullTextSearch.h"
#include "ui/search/SearchFolders.h"
#include "ui/search/SearchResultTree.h"
#include "ui/search/frmShelfSearch.h"

using velmora::ui::frmReader;
using velmora::ui::frmShelfSearch;
using velmora::ui::SearchResultTree;

namespace {

// A folder holding links to corpus files (never copies).
bool LinkCorpusFiles(const QString& strFolder, const QStringList& names) {
  if (!QDir().mkpath(strFolder)) return false;
  for (const QString& strName : names) {
    const QString strTarget = QStringLiteral(VELMORA_CORPUS_DIR "/real/") + strName;
    if (!QFile::link(strTarget, strFolder + QLatin1Char('/') + strName)) return false;
  }
  return true;
}

// Whether the reader shows the stored page, loaded.
bool WaitForPage(frmReader* reader, const QString& strStoredPath) {
  QElapsedTimer timer;
  timer.start();
  const QString strScript = QStringLiteral(
                                "document.readyState == 'complete' && "
                                "decodeURIComponent(location.pathname).endsWith('::%1')")
                                .arg(strStoredPath);
  while (timer.elapsed() < 30000) {
    auto done = std::make_shared<int>(0);
    reader->PageView()->page()->runJavaScript(strScript, [done](const QVariant& value) {
      *done = value.toBool() ? 2 : 1;
    });
    while (*done == 0 && timer.elapsed() < 30000) QTest::qWait(20);
    if (*done == 2) return true;
    QTest::qWait(50);
  }
  return false;
}

frmReader* OpenReader() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* reader = qobject_cast<frmReader*>(window); reader && reader->isVisible()) return reader;
  }
  return nullptr;
}

QString GroupName(QTreeWidgetItem* group) {
  return QFileInfo(group->data(0, SearchResultTree::kChmFileRole).toString()).fileName();
}

QStringList GroupNames(SearchResultTree* tree) {
  QStringList names;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) names << GroupName(tree->topLevelItem(i));
  names.sort();
  return names;
}

QTreeWidgetItem* GroupOf(SearchResultTree* tree, const QString& strName) {
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    if (GroupName(tree->topLevelItem(i)) == strName) return tree->topLevelItem(i);
  }
  return nullptr;
}

// Typed text: keys for Latin letters, committed text for Chinese and
// Japanese (as an input method hands it over).
void Type(QLineEdit* box, const QString& strText) {
  for (const QChar ch : strText) {
    if (ch.unicode() < 0x80) QTest::keyClick(box, ch.toLatin1());
    else box->insert(QString(ch));
  }
}

void Click(QTreeWidget* tree, QTreeWidgetItem* item) {
  tree->scrollToItem(item);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualItemRect(item).center());
}

// The chosen hit's page is shown and the hit's text found in it: the find
// bar holds it and counts its matches from the first.
void ExpectPageWithHit(QTreeWidgetItem* hit) {
  QTRY_VERIFY(OpenReader());
  frmReader* reader = OpenReader();
  const QString strChmFile = hit->data(0, SearchResultTree::kChmFileRole).toString();
  const QString strPath = hit->data(0, SearchResultTree::kStoredPathRole).toString();
  const QString strHighlight = hit->data(0, SearchResultTree::kHighlightRole).toString();
  QVERIFY(!strHighlight.isEmpty());
  // The reader may name the file by its canonical path (pages' addresses do).
  QTRY_COMPARE(QFileInfo(reader->ChmFile()).canonicalFilePath(), QFileInfo(strChmFile).canonicalFilePath());
  QVERIFY(WaitForPage(reader, strPath));
  QTRY_VERIFY(reader->Finder()->isVisible());
  QTRY_COMPARE(reader->Finder()->TextBox()->text(), strHighlight);
  // Found: "n/m" (a late answer of an earlier search may move it past the first).
  QTRY_VERIFY2_WITH_TIMEOUT(QRegularExpression(QStringLiteral("^[1-9][0-9]*/[1-9][0-9]*$"))
                                .match(reader->Finder()->CountText())
                                .hasMatch(),
                            qPrintable(reader->Finder()->CountText()), 20000);
}

}  // namespace

class FullTextWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_strShelf = m_dir.filePath(QStringLiteral("shelf"));
    QVERIFY(LinkCorpusFiles(m_strShelf + QStringLiteral("/sub"), {QStringLiteral("13-manual-ja.chm")}));
    QVERIFY(LinkCorpusFiles(m_strShelf, {QStringLiteral("08-help.chm"), QStringLiteral("16-NirCmd.chm")}));
    QFile broken(m_strShelf + QStringLiteral("/broken.CHM"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a help file");
  }

  void init() { m_services = std::make_unique<velmora::test::ScriptedUiServices>(); }

  void cleanup() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (qobject_cast<frmReader*>(window) || qobject_cast<frmShelfSearch*>(window)) window->close();
    }
    QTRY_VERIFY(!OpenReader());
    QVERIFY(m_services->UnexpectedRequests().isEmpty());
    m_services.reset();
  }

  // Reached from the main window's search menu; the folder comes from the
  // folder browser and is remembered; the hits come grouped by file with
  // the unreadable file named; a click shows the hit in the reader.
  void shelfSearchOpensTheHitInTheReader() {
    QFile::remove(velmora::ui::SearchFolders::SettingsFile());
    velmora::ui::frmVelmora main;
    main.findChild<QAction*>(QStringLiteral("mnuShelfSearch"))->trigger();
    QPointer<frmShelfSearch> dialog;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<frmShelfSearch*>(window)) dialog = found;
    }
    QVERIFY(dialog);
    m_services->QueueFolder(m_strShelf);
    QTest::mouseClick(dialog->AddFolderButton(), Qt::LeftButton);
    QCOMPARE(dialog->Folders(), QStringList{m_strShelf});
    QCOMPARE(velmora::ui::SearchFolders::Load(), QStringList{m_strShelf});

    Type(dialog->QueryBox(), QStringLiteral("Windows"));
    QTest::keyClick(dialog->QueryBox(), Qt::Key_Return);
    SearchResultTree* tree = dialog->Results();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->Search()->IsRunning(), 120000);
    QCOMPARE(GroupNames(tree), (QStringList{"13-manual-ja.chm", "16-NirCmd.chm", "broken.CHM"}));
    QCOMPARE(GroupOf(tree, "13-manual-ja.chm")->childCount(), 4);
    QCOMPARE(GroupOf(tree, "16-NirCmd.chm")->childCount(), 1);
    QCOMPARE(GroupOf(tree, "broken.CHM")->childCount(), 0);
    QVERIFY(GroupOf(tree, "broken.CHM")->text(0).contains(QStringLiteral("无法读取")));
    QVERIFY(GroupOf(tree, "16-NirCmd.chm")->text(0).contains(QStringLiteral("1 个结果")));
    QCOMPARE(tree->HitCount(), 5);
    QCOMPARE(dialog->StatusLabel()->text(), QStringLiteral("找到 5 个结果。"));

    QTreeWidgetItem* hit = GroupOf(tree, "16-NirCmd.chm")->child(0);
    QCOMPARE(hit->text(SearchResultTree::kPathColumn), QStringLiteral("/NirCmd.html"));
    Click(tree, hit);
    ExpectPageWithHit(hit);
    if (QTest::currentTestFailed()) return;

    // A Chinese query of two characters, from the same dialog.
    dialog->QueryBox()->clear();
    Type(dialog->QueryBox(), QStringLiteral("帮助"));
    QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->Search()->IsRunning(), 120000);
    QTreeWidgetItem* group = GroupOf(tree, "08-help.chm");
    QVERIFY(group);
    QCOMPARE(group->child(0)->text(SearchResultTree::kPathColumn), QStringLiteral("/关于我们.htm"));
    Click(tree, group->child(0));
    ExpectPageWithHit(group->child(0));
    if (QTest::currentTestFailed()) return;
    delete dialog;
  }

  // The reader's own search tab: this file only, a flat list.
  void readerSearchTabShowsTheHit() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strShelf + QStringLiteral("/sub/13-manual-ja.chm"));
    QVERIFY(reader);
    reader->Tabs()->setCurrentIndex(2);
    Type(reader->SearchBox(), QStringLiteral("ファイル"));
    QTest::keyClick(reader->SearchBox(), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!reader->FullText()->IsRunning(), 120000);
    SearchResultTree* tree = reader->SearchResults();
    QCOMPARE(tree->HitCount(), 3);
    QCOMPARE(tree->topLevelItemCount(), 3);
    QTreeWidgetItem* hit = tree->topLevelItem(1);
    Click(tree, hit);
    ExpectPageWithHit(hit);
    if (QTest::currentTestFailed()) return;
  }

  // Cancelled while big files are indexed: the dialog answers all along
  // (the cancel click is handled at once), says so and can search again.
  void cancelWhileIndexing() {
    const QString strFolder = m_dir.filePath(QStringLiteral("big"));
    QVERIFY(LinkCorpusFiles(strFolder, {QStringLiteral("01-UDFs3CHS.chm"), QStringLiteral("10-UDFs3.chm"),
                                        QStringLiteral("09-PyWin32.chm")}));
    velmora::ui::SearchFolders::Save({strFolder});
    auto* dialog = new frmShelfSearch;
    dialog->show();
    QSignalSpy progress(dialog->Search(), &velmora::ui::FullTextSearch::Progress);
    int lngFinished = 0;
    connect(dialog->Search(), &velmora::ui::FullTextSearch::Finished, this, [&lngFinished] { ++lngFinished; });
    dialog->QueryBox()->setText(QStringLiteral("函数"));
    QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(progress.count() > 0, 60000);
    QCOMPARE(lngFinished, 0);
    QVERIFY(dialog->CancelButton()->isEnabled());
    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(lngFinished, 1, 60000);
    QCOMPARE(dialog->StatusLabel()->text(), QStringLiteral("已取消。"));
    QCOMPARE(dialog->Results()->HitCount(), 0);
    QVERIFY(dialog->SearchButton()->isEnabled());
    QVERIFY(!dialog->CancelButton()->isEnabled());
    dialog->close();
  }

 private:
  QTemporaryDir m_dir;
  QString m_strShelf;
  std::unique_ptr<velmora::test::ScriptedUiServices> m_services;
};

int main(int argc, char** argv) { return velmora::test::RunInScratchHome<FullTextWindowTest>(argc, argv); }

#include "FullTextWindowTest.moc"
