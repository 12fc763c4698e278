// The find command through the real window: F3 opens the search dialog on
// the list of the current mode, a hit in the content list is previewed once
// (whether or not it changed the current row), and in batch mode keywords
// match folder names in the paths of the CHM file list.

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/WindowHarness.h"
#include "ui/search/frmSearch.h"

using velmora::test::FixtureChm;
using velmora::test::WindowHarness;
using velmora::ui::MsgAnswer;

namespace {

const QString kExecutableQuestion = QStringLiteral("这是可执行文件，是否真要预览？");

// Presses F3 in the window and returns the dialog it shows.
velmora::ui::frmSearch* PressFind(WindowHarness& w) {
  // The shortcut belongs to the main window: it has to be the active one,
  // as after a click into it.
  w.window.activateWindow();
  if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &w.window; })) return nullptr;
  QTest::keyClick(&w.window, Qt::Key_F3);
  auto* dialog = w.window.findChild<velmora::ui::frmSearch*>();
  return dialog && dialog->isVisible() ? dialog : nullptr;
}

void Search(velmora::ui::frmSearch* dialog, const QString& strKeyword) {
  auto* keywords = dialog->findChild<QLineEdit*>(QStringLiteral("txtKeywords"));
  keywords->setText(strKeyword);
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSearch")), Qt::LeftButton);
  // The mark of a row change lasts until the event loop runs again.
  QCoreApplication::processEvents();
}

int Count(const QStringList& texts, const QString& text) { return int(texts.count(text)); }

}  // namespace

class SearchWiringTest : public QObject {
  Q_OBJECT

 private slots:
  void findInSingleModePreviewsEachHitOnce() {
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    auto* dialog = PressFind(w);
    QVERIFY(dialog);
    const int setup = w.RowOf("tools\\setup.exe");
    QCOMPARE(setup, w.Items()->count() - 1);

    // A new current row: the preview asks about the executable once.
    w.services.QueueMessageAnswer(MsgAnswer::No);
    Search(dialog, "setup");
    QCOMPARE(w.Items()->currentRow(), setup);
    QVERIFY(w.Items()->item(setup)->isSelected());
    QCOMPARE(Count(w.MessageTexts(), kExecutableQuestion), 1);

    // The last row matched, so the next press starts at the top and finds
    // the row that is current already: still one preview.
    w.services.QueueMessageAnswer(MsgAnswer::No);
    Search(dialog, "setup");
    QCOMPARE(w.Items()->currentRow(), setup);
    QCOMPARE(Count(w.MessageTexts(), kExecutableQuestion), 2);
    QCOMPARE(w.Status(), QStringLiteral("    tools\\setup.exe，大小：") +
                             QString::number(w.window.Items()[std::size_t(setup)].Size));
    QCOMPARE(w.services.UnusedAnswers(), 0);
  }

  void findInBatchModeMatchesFolderNames() {
    QTemporaryDir tmp;
    QVERIFY(QDir().mkpath(tmp.path() + "/Backup") && QDir().mkpath(tmp.path() + "/docs"));
    const QString backup = tmp.path() + "/Backup/guide.chm";
    const QString docs = tmp.path() + "/docs/nested.chm";
    QVERIFY(QFile::copy(FixtureChm("guide"), backup) && QFile::copy(FixtureChm("nested"), docs));
    WindowHarness w;
    w.OpenSingle(FixtureChm("nested"));
    w.AddBatch({docs, backup});
    QCOMPARE(w.Files()->count(), 3);

    auto* dialog = PressFind(w);
    QVERIFY(dialog);
    Search(dialog, "backup");
    QCOMPARE(w.Files()->currentRow(), 2);
    QCOMPARE(w.Files()->selectedItems().size(), 1);
    QCOMPARE(w.Items()->selectedItems().size(), 0);
    QVERIFY(w.services.Messages().isEmpty());  // rows of this list are not previewed

    // Back in single mode, F3 turns the same dialog to the content list.
    w.SetMode(0);
    QCOMPARE(PressFind(w), dialog);
    Search(dialog, "deep.htm");
    QCOMPARE(w.Items()->currentRow(), w.RowOf("docs\\sub\\deeper\\deep.htm"));
    QCOMPARE(w.Files()->selectedItems().size(), 1);
  }
};

VELMORA_REGISTER_TEST(SearchWiringTest)
#include "SearchWiringTest.moc"
