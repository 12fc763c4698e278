// The About window (one at a time, modeless, its controls and commands) and
// the thin border it and the main window use.

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/common/cBorderEx.h"
#include "ui/common/frmAbout.h"

using velmora::test::ScriptedUiServices;

namespace {

template <typename T>
T* Control(QWidget* window, const char* name) {
  T* control = window->findChild<T*>(QString::fromLatin1(name));
  if (!control) qFatal("control %s missing", name);
  return control;
}

int AboutWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<frmAbout*>(widget)) ++count;
  }
  return count;
}

QPixmap Header() {
  QPixmap picture(586, 50);
  picture.fill(Qt::darkBlue);
  return picture;
}

QIcon Icon() {
  QPixmap picture(32, 32);
  picture.fill(Qt::red);
  return QIcon(picture);
}

}  // namespace

class frmAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup();
  void thinBorderOnFrame_data();
  void thinBorderOnFrame();
  void thinBorderOnLineEdit();

  void secondRequestBringsTheSameWindowForward();
  void windowIsModelessAndOwned();
  void captionNamesProductAndVersion();
  void controlsCarryTheirTextsAndPlaces_data();
  void controlsCarryTheirTextsAndPlaces();
  void noticeHasElevenLines();
  void headerShowsOwnersPictureAndIcon();
  void donateOpensTheDonationPage();
  void exitClosesAndUnloads();
};

void frmAboutTest::cleanup() {
  if (frmAbout* about = frmAbout::Instance()) delete about;
}

// Calls of ThinBorder in order: 1 true, 0 false.
void frmAboutTest::thinBorderOnFrame_data() {
  QTest::addColumn<QString>("calls");
  QTest::addColumn<quint32>("style");
  QTest::addColumn<int>("lineWidth");
  QTest::newRow("true gives the static edge") << "1" << quint32(0x20000) << 1;
  QTest::newRow("true twice changes nothing more") << "11" << quint32(0x20000) << 1;
  QTest::newRow("false gives the client edge") << "0" << quint32(0x200) << 2;
  QTest::newRow("false twice changes nothing more") << "00" << quint32(0x200) << 2;
  QTest::newRow("false after true keeps the static edge") << "10" << quint32(0x20200) << 3;
  QTest::newRow("true after false keeps the client edge") << "01" << quint32(0x20200) << 3;
}

void frmAboutTest::thinBorderOnFrame() {
  QFETCH(QString, calls);
  QFETCH(quint32, style);
  QFETCH(int, lineWidth);
  QPlainTextEdit text;
  for (QChar call : calls) cBorderEx().ThinBorder(&text, call == QLatin1Char('1'));
  QCOMPARE(text.property(cBorderEx::kExStyleProperty).toUInt(), style);
  QCOMPARE(text.frameShape(), QFrame::Panel);
  QCOMPARE(text.frameShadow(), QFrame::Sunken);
  QCOMPARE(text.lineWidth(), lineWidth);
  QCOMPARE(text.frameWidth(), lineWidth);
}

void frmAboutTest::thinBorderOnLineEdit() {
  QLineEdit line;
  cBorderEx().ThinBorder(&line, true);
  const QString once = line.styleSheet();
  cBorderEx().ThinBorder(&line, true);
  QCOMPARE(line.styleSheet(), once);
  QVERIFY(once.contains(QStringLiteral("1px")));
  cBorderEx().ThinBorder(&line, false);
  QCOMPARE(line.property(cBorderEx::kExStyleProperty).toUInt(), quint32(0x20200));
  QVERIFY(line.styleSheet().contains(QStringLiteral("3px")));
}

void frmAboutTest::secondRequestBringsTheSameWindowForward() {
  QWidget owner;
  owner.show();
  frmAbout::ShowAbout(&owner, Header(), Icon());
  QPointer<frmAbout> first = frmAbout::Instance();
  QVERIFY(first);
  QVERIFY(first->isVisible());
  first->hide();  // as if pushed away; asking again must bring it back
  frmAbout::ShowAbout(&owner, Header(), Icon());
  QCOMPARE(frmAbout::Instance(), first.data());
  QVERIFY(first->isVisible());
  QCOMPARE(AboutWindows(), 1);
}

void frmAboutTest::windowIsModelessAndOwned() {
  QWidget owner;
  owner.show();
  frmAbout::ShowAbout(&owner, Header(), Icon());
  frmAbout* about = frmAbout::Instance();
  QVERIFY(!about->isModal());
  QCOMPARE(about->parentWidget(), &owner);
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  QVERIFY(owner.isEnabled());
  QCOMPARE(about->size(), QSize(586, 405));
}

void frmAboutTest::captionNamesProductAndVersion() {
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  const QRegularExpression caption(QStringLiteral("^Velmora \\d+\\.\\d+\\.0\\.\\d+$"));
  QVERIFY2(caption.match(frmAbout::Instance()->windowTitle()).hasMatch(),
           qPrintable(frmAbout::Instance()->windowTitle()));
}

void frmAboutTest::controlsCarryTheirTextsAndPlaces_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QRect>("geometry");  // pixels: twips / 15
  QTest::newRow("picHeader") << "picHeader" << "" << QRect(0, 0, 586, 50);
  QTest::newRow("lblTitle") << "lblTitle" << "Velmora" << QRect(24, 4, 94, 23);
  QTest::newRow("lblCaption") << "lblCaption" << "关于" << QRect(40, 32, 28, 14);
  QTest::newRow("imgLogo") << "imgLogo" << "" << QRect(536, 8, 32, 32);
  QTest::newRow("txtAbout") << "txtAbout" << "" << QRect(8, 56, 569, 305);
  QTest::newRow("cmdDonate") << "cmdDonate" << "捐助我们(&D)" << QRect(384, 368, 89, 29);
  QTest::newRow("cmdExit") << "cmdExit" << "关闭(&X)" << QRect(480, 368, 89, 29);
}

void frmAboutTest::controlsCarryTheirTextsAndPlaces() {
  QFETCH(QString, name);
  QFETCH(QString, text);
  QFETCH(QRect, geometry);
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  QWidget* control = frmAbout::Instance()->findChild<QWidget*>(name);
  QVERIFY(control);
  QCOMPARE(control->geometry(), geometry);
  if (auto* label = qobject_cast<QLabel*>(control); label && !text.isEmpty()) {
    QCOMPARE(label->text(), text);
  }
  if (auto* button = qobject_cast<QPushButton*>(control)) QCOMPARE(button->text(), text);
}

void frmAboutTest::noticeHasElevenLines() {
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  auto* notice = Control<QPlainTextEdit>(frmAbout::Instance(), "txtAbout");
  const QStringList lines = notice->toPlainText().split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 11);
  QCOMPARE(lines.at(5), QStringLiteral("技术支持"));
  QVERIFY(lines.at(6).startsWith(QLatin1Char('\t')));
  QVERIFY(lines.at(2).isEmpty());
  QVERIFY(lines.at(4).contains(QStringLiteral("https://velmora.org/")));
  QVERIFY(notice->isReadOnly());
  QCOMPARE(notice->property(cBorderEx::kExStyleProperty).toUInt(), quint32(0x20000));
}

void frmAboutTest::headerShowsOwnersPictureAndIcon() {
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  frmAbout* about = frmAbout::Instance();
  const QImage header = Control<QLabel>(about, "picHeader")->pixmap().toImage();
  QCOMPARE(header.size(), QSize(586, 50));
  QCOMPARE(header.pixelColor(300, 25), QColor(Qt::darkBlue));
  const QImage logo = Control<QLabel>(about, "imgLogo")->pixmap().toImage();
  QCOMPARE(logo.pixelColor(16, 16), QColor(Qt::red));
}

void frmAboutTest::donateOpensTheDonationPage() {
  ScriptedUiServices services;
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  QTest::mouseClick(Control<QPushButton>(frmAbout::Instance(), "cmdDonate"), Qt::LeftButton);
  QCOMPARE(services.Opened(), QStringList{QStringLiteral("https://velmora.org/donate.htm")});
  QVERIFY(services.Messages().isEmpty());
  QVERIFY(frmAbout::Instance()->isVisible());
  // Without a browser the user is told where to go, over the About window.
  services.SetOpenSucceeds(false);
  QTest::mouseClick(Control<QPushButton>(frmAbout::Instance(), "cmdDonate"), Qt::LeftButton);
  QCOMPARE(services.Messages().size(), 1);
  QCOMPARE(services.Messages().first().text,
           QStringLiteral("无法打开网页，请在浏览器中访问：https://velmora.org/donate.htm"));
  QCOMPARE(services.Messages().first().caption, QStringLiteral("Velmora"));
  QCOMPARE(services.Messages().first().icon, velmora::ui::MsgIcon::Information);
  QCOMPARE(services.Messages().first().owner, frmAbout::Instance());
}

void frmAboutTest::exitClosesAndUnloads() {
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  QPointer<frmAbout> about = frmAbout::Instance();
  QTest::mouseClick(Control<QPushButton>(about, "cmdExit"), Qt::LeftButton);
  QTRY_VERIFY(about.isNull());
  QCOMPARE(frmAbout::Instance(), nullptr);
  frmAbout::ShowAbout(nullptr, Header(), Icon());
  QVERIFY(frmAbout::Instance());
  QCOMPARE(AboutWindows(), 1);
}

QTEST_MAIN(frmAboutTest)
#include "frmAboutTest.moc"
