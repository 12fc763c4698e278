// What the user sees of the main window's surroundings, by pixels and by
// result: the busy indicator blends into the status line and leaves its text
// alone; the header banner shows nothing under the logo (nor a letter cut
// off at the right end) in the main window, the About box and the search
// dialog; F1 opens the manual in a reader window when the desktop cannot.

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/OpenWindowHarness.h"
#include "ui/common/frmAbout.h"
#include "ui/common/ucFirefoxWait.h"
#include "ui/main/HelpLinks.h"
#include "ui/reader/frmReader.h"
#include "ui/search/frmSearch.h"

using velmora::test::OpenWindowHarness;
using velmora::test::RowTexts;

namespace {

// The header's picture as shown, without the logo over it.
QImage HeaderWithoutLogo(QWidget* header, QWidget* logo) {
  logo->hide();
  const QImage image = header->grab().toImage();
  logo->show();
  return image;
}

// Columns of the image between x0 and x1 (exclusive) whose pixels from
// rows y0 to y1 (exclusive) are not all one colour.
QList<int> MixedColumns(const QImage& image, int x0, int x1, int y0, int y1) {
  QList<int> mixed;
  for (int x = x0; x < x1; ++x) {
    for (int y = y0 + 1; y < y1; ++y) {
      if (image.pixel(x, y) != image.pixel(x, y0)) {
        mixed << x;
        break;
      }
    }
  }
  return mixed;
}

}  // namespace

class DesktopLookTest : public QObject {
  Q_OBJECT

 private slots:
  void spinnerBlendsInAndTheStatusTextClearsIt_data() {
    QTest::addColumn<QString>("text");
    QTest::addRow("backslash first") << QStringLiteral("\\help1.html，大小：1024");
    QTest::addRow("dollar first") << QStringLiteral("$WWKeywordLinks\\Property，大小：4");
    QTest::addRow("Chinese first") << QStringLiteral("请打开CHM文件。");
  }

  void spinnerBlendsInAndTheStatusTextClearsIt() {
    QFETCH(QString, text);
    OpenWindowHarness w;
    auto* spinner = w.Find<ucFirefoxWait>(QStringLiteral("fwProgress"));
    QLineEdit* status = w.StatusLine();
    QCOMPARE(spinner->BackColor(), 0xFFFFFF);
    w.window.ShowStatus(text);
    QWidget* strip = status->parentWidget();
    const QImage image = strip->grab().toImage();
    const QRect spinnerRect = spinner->geometry();
    const QColor statusBack = image.pixelColor(status->geometry().right() - 3, status->geometry().center().y());
    QCOMPARE(statusBack, QColor(Qt::white));
    // The spinner's corners are background, not dots: the status line's white.
    for (const QPoint& corner : {spinnerRect.topLeft(), spinnerRect.topRight(), spinnerRect.bottomLeft(),
                                 spinnerRect.bottomRight()}) {
      QCOMPARE(image.pixelColor(corner), statusBack);
    }
    // The text starts right of it: with the spinner out of the way, the
    // first column where the line with the text differs from the empty line.
    spinner->hide();
    const QImage withText = strip->grab().toImage();
    w.window.ShowStatus(QString());
    const QImage empty = strip->grab().toImage();
    spinner->show();
    const QRect inner = status->geometry().adjusted(1, 1, -1, -1);
    int lngFirstText = -1;
    for (int x = inner.left(); x <= inner.right() && lngFirstText < 0; ++x) {
      for (int y = inner.top(); y <= inner.bottom(); ++y) {
        if (withText.pixel(x, y) != empty.pixel(x, y)) {
          lngFirstText = x;
          break;
        }
      }
    }
    QVERIFY2(lngFirstText > spinnerRect.right(),
             qPrintable(QStringLiteral("text at %1, spinner ends at %2").arg(lngFirstText).arg(spinnerRect.right())));
  }

  void bannerIsPlainUnderTheLogo_data() {
    QTest::addColumn<QString>("window");
    QTest::addRow("main window") << QStringLiteral("main");
    QTest::addRow("main window, wide") << QStringLiteral("wide");
    QTest::addRow("About box") << QStringLiteral("about");
    QTest::addRow("search dialog") << QStringLiteral("search");
  }

  void bannerIsPlainUnderTheLogo() {
    QFETCH(QString, window);
    OpenWindowHarness w;
    QWidget* host = &w.window;
    if (window == QLatin1String("wide")) {
      w.window.resize(1180, w.window.height());
      QTRY_COMPARE(w.window.width(), 1180);
    } else if (window == QLatin1String("about")) {
      w.Action(QStringLiteral("mnuAbout"))->trigger();
      host = frmAbout::Instance();
    } else if (window == QLatin1String("search")) {
      w.Action(QStringLiteral("mnuFind"))->trigger();
      host = w.window.findChild<velmora::ui::frmSearch*>(QStringLiteral("frmSearch"));
    }
    QVERIFY(host);
    QVERIFY(QTest::qWaitForWindowExposed(host));
    auto* header = host->findChild<QLabel*>(QStringLiteral("picHeader"));
    auto* logo = header->findChild<QLabel*>(QStringLiteral("imgLogo"));
    QVERIFY(!header->pixmap().isNull());
    const QImage image = HeaderWithoutLogo(header, logo);
    // From a little left of the logo to the header's right end, over the
    // logo's rows: every column one colour (no lettering, no cut shapes).
    const QRect place = logo->geometry();
    QCOMPARE(MixedColumns(image, place.left() - 8, image.width(), place.top(), place.bottom() + 1), QList<int>());
    if (host != &w.window) host->close();
  }

  void manualOpensInAReaderWhenTheDesktopCannot_data() {
    QTest::addColumn<bool>("desktopOpens");
    QTest::addRow("desktop opens it") << true;
    QTest::addRow("no application for CHM files") << false;
  }

  // The window keeps what it shows; the manual gets a reader window of its own.
  void manualOpensInAReaderWhenTheDesktopCannot() {
    QFETCH(bool, desktopOpens);
    const QString strManual = QCoreApplication::applicationDirPath() + QStringLiteral("/Velmora(Velmora)用户手册.chm");
    QVERIFY2(QFileInfo(strManual).isFile(), "the manual is built with the program");
    OpenWindowHarness w;
    w.SetMode(1);
    w.Files()->addItem(QStringLiteral("/somewhere/else.chm"));
    w.services.SetOpenSucceeds(desktopOpens);
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_F1);
    QCOMPARE(w.services.Opened(), QStringList{strManual});
    QVERIFY(!w.window.IsLoaded());
    QCOMPARE(w.window.CurrentMode(), 1);
    QCOMPARE(RowTexts(w.Files()), QStringList{"/somewhere/else.chm"});
    QPointer<velmora::ui::frmReader> reader;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<velmora::ui::frmReader*>(window)) reader = found;
    }
    QCOMPARE(bool(reader), !desktopOpens);
    if (desktopOpens) return;
    QCOMPARE(reader->ChmFile(), QFileInfo(strManual).absoluteFilePath());
    QCOMPARE(reader->CurrentTarget().strStoredPath, QStringLiteral("/index.htm"));
    QVERIFY(w.services.Messages().isEmpty());
    reader->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

VELMORA_REGISTER_TEST(DesktopLookTest)
#include "DesktopLookTest.moc"
