// A user's session with the real window: opening, closing (Ctrl+W),
// re-opening, switching modes and double-clicking rows of the CHM file list,
// over the real and hostile files of the shared corpus, at the default size
// and at 1300x900. After every step the window must be idle and answer: the
// status line holds a final text, a queued call runs, and a menu opens.
//
// Run on the offscreen platform and on a real X server (xcb under Xvfb),
// where scroll bars, focus and geometry behave as on a desktop.

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include "TestPaths.h"
#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/OpenWindowHarness.h"

using velmora::test::OpenWindowHarness;

namespace {

QString Corpus(const QString& strName) { return QStringLiteral(VELMORA_CORPUS_DIR "/") + strName; }

// One step of a session, written as "verb" or "verb:argument":
//   size:WxH       resize the window
//   open:FILE      open a corpus file in single mode with the open command
//   close          the File menu's close entry (Ctrl+W)
//   batch:FILE     add a corpus file to the CHM file list (batch mode)
//   mode:N         click the mode button N (0 single, 1 batch)
//   dblclick:N     double-click row N of the CHM file list
class Session {
 public:
  explicit Session(OpenWindowHarness& w) : m_w(w) {}

  void Run(const QString& strStep) {
    const QString strVerb = strStep.section(QLatin1Char(':'), 0, 0);
    const QString strArgument = strStep.section(QLatin1Char(':'), 1);
    if (strVerb == QLatin1String("size")) {
      m_w.window.resize(strArgument.section(QLatin1Char('x'), 0, 0).toInt(),
                        strArgument.section(QLatin1Char('x'), 1).toInt());
    } else if (strVerb == QLatin1String("open")) {
      m_w.Open(Corpus(strArgument));
    } else if (strVerb == QLatin1String("close")) {
      // The File menu's entry, bound to Ctrl+W. QTest's synthetic key is
      // dropped after a second open on both platforms, while the key from
      // a real keyboard (xdotool on Xvfb) closes the file.
      QAction* close = m_w.Action(QStringLiteral("mnuClose"));
      if (close->shortcut() != QKeySequence(QStringLiteral("Ctrl+W"))) qFatal("the close entry lost Ctrl+W");
      close->trigger();
    } else if (strVerb == QLatin1String("batch")) {
      m_w.SetMode(1);
      m_w.services.QueueFiles({Corpus(strArgument)});
      m_w.window.ChooseCHMFiles();
    } else if (strVerb == QLatin1String("mode")) {
      QTest::mouseClick(m_w.Find<QWidget>(QStringLiteral("optMode") + strArgument), Qt::LeftButton);
    } else if (strVerb == QLatin1String("dblclick")) {
      QListWidget* files = m_w.Files();
      const QRect rect = files->visualItemRect(files->item(strArgument.toInt()));
      QTest::mouseDClick(files->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    } else {
      qFatal("unknown step %s", qPrintable(strStep));
    }
  }

 private:
  OpenWindowHarness& m_w;
};

// The window is idle and answers: no walk runs, the status line is not left
// on a progress text, a queued call is delivered, and the File menu opens.
bool WindowAnswers(OpenWindowHarness& w, QString& strWhy) {
  QTest::qWait(30);
  if (!w.window.CanStartWalk()) {
    strWhy = QStringLiteral("a walk is still running");
    return false;
  }
  if (w.Status().trimmed().startsWith(QStringLiteral("正在"))) {
    strWhy = QStringLiteral("the status line stayed on ") + w.Status();
    return false;
  }
  bool blnDelivered = false;
  QTimer::singleShot(0, &w.window, [&blnDelivered] { blnDelivered = true; });
  if (!QTest::qWaitFor([&] { return blnDelivered; }, 2000)) {
    strWhy = QStringLiteral("a queued call was not delivered");
    return false;
  }
  auto* menu = w.Find<QMenu>(QStringLiteral("mnuFile"));
  menu->popup(w.window.mapToGlobal(QPoint(20, 20)));
  const bool blnShown = QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000);
  menu->hide();
  if (!blnShown) strWhy = QStringLiteral("the File menu did not open");
  return blnShown;
}

void AddSessionRows() {
  QTest::addColumn<QStringList>("steps");
  // What users did when the window hung or crashed.
  QTest::newRow("close a large file at the default size") << QStringList{"open:real/09-PyWin32.chm", "close"};
  QTest::newRow("open the same file twice")
      << QStringList{"open:real/04-用户手册.chm", "open:real/04-用户手册.chm"};
  QTest::newRow("another file at 1300x900")
      << QStringList{"size:1300x900", "open:real/16-NirCmd.chm", "open:real/04-用户手册.chm"};
  QTest::newRow("double-click a batch row while a file is listed")
      << QStringList{"open:real/04-用户手册.chm", "batch:real/13-manual-ja.chm", "dblclick:0"};
  QTest::newRow("a long name, then a hostile file")
      << QStringList{"open:hostile/cve-2019-1010305-name-overread.chm", "open:hostile/encints-64bit-both.chm"};

  // A long session over every real file and several hostile ones, at both
  // sizes: open, re-open, close, batch rows opened by double-click.
  QStringList steps;
  const QDir real(Corpus(QStringLiteral("real")));
  const QStringList strReal = real.entryList({QStringLiteral("*.chm")}, QDir::Files, QDir::Name);
  for (int index = 0; index < strReal.size(); ++index) {
    const QString strFile = QStringLiteral("real/") + strReal[index];
    if (index == strReal.size() / 2) steps << QStringLiteral("size:1300x900");
    steps << QStringLiteral("open:") + strFile;
    if (index % 3 == 0) steps << QStringLiteral("open:") + strFile;
    if (index % 4 == 1) steps << QStringLiteral("close");
    if (index % 5 == 2) steps << QStringLiteral("batch:") + strFile << QStringLiteral("mode:0");
  }
  for (const char* hostile : {"cve-2019-1010305-name-overread.chm", "encints-64bit-both.chm",
                              "cve-2018-14680-blank-filenames.chm", "crlf-damaged-AutoHotkey.chm"}) {
    steps << QStringLiteral("open:hostile/") + QLatin1String(hostile) << QStringLiteral("close");
  }
  steps << QStringLiteral("batch:real/01-UDFs3CHS.chm") << QStringLiteral("dblclick:0") << QStringLiteral("mode:1")
        << QStringLiteral("dblclick:1") << QStringLiteral("close");
  QTest::newRow("a long session") << steps;
}

}  // namespace

class SessionTest : public QObject {
  Q_OBJECT

 private slots:
  void everyStepLeavesAnIdleWindow_data() { AddSessionRows(); }

  void everyStepLeavesAnIdleWindow() {
    QFETCH(QStringList, steps);
    OpenWindowHarness w;
    Session session(w);
    QString strPrevious;
    for (const QString& strStep : steps) {
      session.Run(strStep);
      QString strWhy;
      QVERIFY2(WindowAnswers(w, strWhy), qPrintable(strStep + QStringLiteral(": ") + strWhy));
      // The content list shows exactly the items of the open file.
      QCOMPARE(w.Items()->count(), w.window.IsLoaded() ? int(w.window.Items().size()) : 0);
      if (strStep == QLatin1String("close")) {
        QVERIFY2(!w.window.IsLoaded(), qPrintable(QStringLiteral("closing left the file open after ") + strPrevious));
      }
      strPrevious = strStep;
    }
    // Files the harness could not open answered with a message, never a
    // question nobody scripted.
    QVERIFY2(w.services.UnexpectedRequests().isEmpty(), qPrintable(w.services.UnexpectedRequests().join('|')));
  }

  void horizontalRangeFollowsTheWidestRow() {
    OpenWindowHarness w;
    w.Open(Corpus(QStringLiteral("hostile/cve-2019-1010305-name-overread.chm")));
    QVERIFY(w.window.IsLoaded());
    auto* items = qobject_cast<QAbstractItemView*>(w.Items());
    const int lngWidest = items->sizeHintForColumn(0);
    QVERIFY(lngWidest > items->viewport()->width());
    QTRY_VERIFY(items->horizontalScrollBar()->isVisible());
    QVERIFY(items->horizontalScrollBar()->maximum() + items->viewport()->width() >= lngWidest);
    // Closing empties the list; the window stays usable for the next file.
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_W, Qt::ControlModifier);
    QTRY_COMPARE(w.Items()->count(), 0);
    w.Open(Corpus(QStringLiteral("real/16-NirCmd.chm")));
    QVERIFY(w.window.IsLoaded());
  }
};

VELMORA_REGISTER_CORPUS_TEST(SessionTest)
#include "SessionTest.moc"
