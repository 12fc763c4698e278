// The busy indicator: the strip's artwork, colour keying, and the frames the
// control actually renders as its clock ticks.

#include <QLabel>
#include <QTimer>
#include <QtTest>

#include "ui/common/FirefoxWaitStrip.h"
#include "ui/common/ucFirefoxWait.h"

namespace {

constexpr QRgb kKey = qRgb(255, 0, 255);
constexpr qint32 kWhite = 0xFFFFFF;
constexpr qint32 kRed = 0x0000FF;  // 0x00BBGGRR

QTimer* Clock(ucFirefoxWait& wait) {
  auto* timer = wait.findChild<QTimer*>(QStringLiteral("tmrPlay"));
  if (!timer) qFatal("tmrPlay missing");
  return timer;
}

// One tick of the frame clock, without waiting for it.
void Tick(ucFirefoxWait& wait, int count = 1) {
  for (int i = 0; i < count; ++i) QMetaObject::invokeMethod(Clock(wait), "timeout");
}

QImage Rendered(ucFirefoxWait& wait) {
  return wait.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The rendering shows strip cell `cell` with every key pixel in `back`
// and every other pixel as drawn in the strip.
bool ShowsCell(ucFirefoxWait& wait, int cell, qint32 back, QString* why = nullptr) {
  const QImage strip = FirefoxWaitStrip::Make();
  const QImage shown = Rendered(wait);
  if (shown.size() != QSize(16, 16)) {
    if (why) *why = QStringLiteral("rendered size %1x%2").arg(shown.width()).arg(shown.height());
    return false;
  }
  const QRgb backRgb = ucFirefoxWait::ToQColor(back).rgb();
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const QRgb art = strip.pixel(16 * cell + x, y);
      const QRgb expected = art == kKey ? backRgb : art;
      if (shown.pixel(x, y) != expected) {
        if (why) {
          *why = QStringLiteral("cell %1 pixel (%2,%3): %4 instead of %5")
                     .arg(cell).arg(x).arg(y)
                     .arg(shown.pixel(x, y), 8, 16).arg(expected, 8, 16);
        }
        return false;
      }
    }
  }
  return true;
}

#define VERIFY_CELL(wait, cell, back)                 \
  do {                                                \
    QString why;                                      \
    QVERIFY2(ShowsCell(wait, cell, back, &why), qPrintable(why)); \
  } while (0)

}  // namespace

class ucFirefoxWaitTest : public QObject {
  Q_OBJECT

 private slots:
  void stripPixel_data();
  void stripPixel();
  void everyCellHasEightDotsOfTwelvePixels();
  void replaceColor_data();
  void replaceColor();

  void idleControlShowsIdleCellInBackColor();
  void framesRunOneToSevenThenZero();
  void restartBeginsWithCellOne();
  void playWhilePlayingKeepsTheTurnAndInterval();
  void stopWhileIdleChangesNothing();
  void speedChangeWhilePlayingTakesEffectAtOnce();
  void zeroSpeedStopsTheClockUntilPositiveAgain();
  void backColorWhilePlayingRedrawsIdleOnceThenContinues();
  void systemColorReferenceGivesDefaultColor_data();
  void systemColorReferenceGivesDefaultColor();
  void defaultColorIsTheButtonFace();
  void resizeSnapsBackTo16();
  void isPlayingWriteOnlyStoresTheFlag();
  void propertyBagRoundTrip_data();
  void propertyBagRoundTrip();
  void writtenBagOmitsDefaults();
};

// Pixels of the strip, by the dot geometry and shades it must have.
void ucFirefoxWaitTest::stripPixel_data() {
  QTest::addColumn<int>("x");
  QTest::addColumn<int>("y");
  QTest::addColumn<QColor>("expected");
  const QColor key(255, 0, 255);
  QTest::newRow("cell 0 top dot is darkest") << 7 << 0 << QColor(65, 76, 88);
  QTest::newRow("cell 0 upper left is s1") << 3 << 3 << QColor(78, 89, 101);
  QTest::newRow("cell 0 left is s2") << 1 << 7 << QColor(91, 102, 114);
  QTest::newRow("cell 0 lower left is s3") << 3 << 11 << QColor(103, 114, 126);
  QTest::newRow("cell 0 bottom is s4") << 7 << 13 << QColor(116, 127, 139);
  QTest::newRow("cell 0 lower right is s5") << 11 << 11 << QColor(129, 140, 152);
  QTest::newRow("cell 0 right is s6") << 13 << 7 << QColor(142, 153, 165);
  QTest::newRow("cell 0 upper right is s7") << 11 << 3 << QColor(154, 165, 177);
  QTest::newRow("cell 1 upper right is darkest") << 16 + 12 << 4 << QColor(65, 76, 88);
  QTest::newRow("cell 1 top is s1") << 16 + 8 << 2 << QColor(78, 89, 101);
  QTest::newRow("cell 3 lower right is darkest") << 48 + 11 << 12 << QColor(65, 76, 88);
  QTest::newRow("cell 3 top is s3") << 48 + 7 << 1 << QColor(103, 114, 126);
  QTest::newRow("cell 7 upper left is darkest") << 112 + 4 << 3 << QColor(65, 76, 88);
  QTest::newRow("cell 7 top is s7") << 112 + 6 << 1 << QColor(154, 165, 177);
  QTest::newRow("idle cell top is light grey") << 128 + 8 << 0 << QColor(178, 178, 178);
  QTest::newRow("idle cell left is light grey") << 128 + 0 << 7 << QColor(178, 178, 178);
  QTest::newRow("dot corner top left stays key") << 6 << 0 << key;
  QTest::newRow("dot corner bottom right stays key") << 9 << 3 << key;
  QTest::newRow("ring centre stays key") << 7 << 7 << key;
  QTest::newRow("cell corner stays key") << 15 << 15 << key;
  QTest::newRow("last column of strip stays key") << 143 << 0 << key;
}

void ucFirefoxWaitTest::stripPixel() {
  QFETCH(int, x);
  QFETCH(int, y);
  QFETCH(QColor, expected);
  const QImage strip = FirefoxWaitStrip::Make();
  QCOMPARE(strip.size(), QSize(144, 16));
  QCOMPARE(strip.depth(), 24);
  QCOMPARE(strip.pixelColor(x, y), expected);
}

void ucFirefoxWaitTest::everyCellHasEightDotsOfTwelvePixels() {
  const QImage strip = FirefoxWaitStrip::Make();
  for (int cell = 0; cell < 9; ++cell) {
    int dotPixels = 0;
    QSet<QRgb> shades;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const QRgb pixel = strip.pixel(16 * cell + x, y);
        if (pixel == kKey) continue;
        ++dotPixels;
        shades.insert(pixel);
      }
    }
    QCOMPARE(dotPixels, 8 * 12);
    QCOMPARE(shades.size(), cell == 8 ? 1 : 8);
  }
}

void ucFirefoxWaitTest::replaceColor_data() {
  QTest::addColumn<QColor>("pixel");
  QTest::addColumn<bool>("replaced");
  QTest::newRow("exact key is replaced") << QColor(255, 0, 255) << true;
  QTest::newRow("red one lower is kept") << QColor(254, 0, 255) << false;
  QTest::newRow("green one higher is kept") << QColor(255, 1, 255) << false;
  QTest::newRow("blue one lower is kept") << QColor(255, 0, 254) << false;
  QTest::newRow("dot shade is kept") << QColor(65, 76, 88) << false;
}

void ucFirefoxWaitTest::replaceColor() {
  QFETCH(QColor, pixel);
  QFETCH(bool, replaced);
  QImage picture(3, 2, QImage::Format_RGB888);
  picture.fill(QColor(10, 20, 30));
  picture.setPixelColor(1, 1, pixel);
  FirefoxWaitStrip::ReplaceColor(picture, kKey, qRgb(1, 2, 3));
  QCOMPARE(picture.pixelColor(1, 1), replaced ? QColor(1, 2, 3) : pixel);
  QCOMPARE(picture.pixelColor(0, 0), QColor(10, 20, 30));
}

void ucFirefoxWaitTest::idleControlShowsIdleCellInBackColor() {
  ucFirefoxWait wait;
  wait.SetBackColor(kWhite);
  wait.show();
  QVERIFY(QTest::qWaitForWindowExposed(&wait));
  VERIFY_CELL(wait, 8, kWhite);
  QVERIFY(!Clock(wait)->isActive());
  QCOMPARE(Clock(wait)->interval(), 100);
}

void ucFirefoxWaitTest::framesRunOneToSevenThenZero() {
  ucFirefoxWait wait;
  wait.SetBackColor(kWhite);
  wait.show();
  wait.PlayWait();
  QVERIFY(wait.IsPlaying());
  QVERIFY(Clock(wait)->isActive());
  QCOMPARE(Clock(wait)->interval(), 100);
  const int order[] = {1, 2, 3, 4, 5, 6, 7, 0, 1, 2};
  for (int cell : order) {
    Tick(wait);
    QCOMPARE(wait.FrameIndex(), cell);
    VERIFY_CELL(wait, cell, kWhite);
  }
  wait.StopWait();
  QVERIFY(!Clock(wait)->isActive());
  QCOMPARE(wait.FrameIndex(), 0);
  VERIFY_CELL(wait, 8, kWhite);
}

void ucFirefoxWaitTest::restartBeginsWithCellOne() {
  ucFirefoxWait wait;
  wait.show();
  wait.PlayWait();
  Tick(wait, 5);
  wait.StopWait();
  wait.PlayWait();
  Tick(wait);
  VERIFY_CELL(wait, 1, wait.DefaultColor());
}

void ucFirefoxWaitTest::playWhilePlayingKeepsTheTurnAndInterval() {
  ucFirefoxWait wait;
  wait.show();
  wait.PlayWait();
  Tick(wait, 3);
  wait.PlayWait();
  QCOMPARE(wait.FrameIndex(), 3);
  QCOMPARE(Clock(wait)->interval(), 100);
  Tick(wait);
  VERIFY_CELL(wait, 4, wait.DefaultColor());
}

// StopWait trusts IsPlaying: with the flag cleared by hand it does nothing,
// so the frame index and the picture stay where the animation left them.
void ucFirefoxWaitTest::stopWhileIdleChangesNothing() {
  ucFirefoxWait wait;
  wait.show();
  wait.PlayWait();
  Tick(wait, 3);
  wait.SetIsPlaying(false);
  wait.StopWait();
  QCOMPARE(wait.FrameIndex(), 3);
  VERIFY_CELL(wait, 3, wait.DefaultColor());
  QVERIFY(Clock(wait)->isActive());
}

void ucFirefoxWaitTest::speedChangeWhilePlayingTakesEffectAtOnce() {
  ucFirefoxWait wait;
  wait.show();
  QSignalSpy changed(&wait, &ucFirefoxWait::PropertyChanged);
  wait.PlayWait();
  wait.SetAnimationSpeed(50);
  QCOMPARE(wait.AnimationSpeed(), 50);
  QCOMPARE(Clock(wait)->interval(), 50);
  QVERIFY(Clock(wait)->isActive());
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("AnimationSpeed"));
}

void ucFirefoxWaitTest::zeroSpeedStopsTheClockUntilPositiveAgain() {
  ucFirefoxWait wait;
  wait.PlayWait();
  wait.SetAnimationSpeed(0);
  QVERIFY(!Clock(wait)->isActive());
  QVERIFY(wait.IsPlaying());
  wait.SetAnimationSpeed(30);
  QVERIFY(Clock(wait)->isActive());
  QCOMPARE(Clock(wait)->interval(), 30);
}

void ucFirefoxWaitTest::backColorWhilePlayingRedrawsIdleOnceThenContinues() {
  ucFirefoxWait wait;
  wait.SetBackColor(kWhite);
  wait.show();
  wait.PlayWait();
  Tick(wait, 2);
  wait.SetBackColor(kRed);
  VERIFY_CELL(wait, 8, kRed);
  Tick(wait);
  VERIFY_CELL(wait, 3, kRed);
}

void ucFirefoxWaitTest::systemColorReferenceGivesDefaultColor_data() {
  QTest::addColumn<qint32>("reference");
  QTest::newRow("button face") << qint32(0x8000000F);
  QTest::newRow("window background") << qint32(0x80000005);
  QTest::newRow("minus one") << qint32(-1);
}

void ucFirefoxWaitTest::systemColorReferenceGivesDefaultColor() {
  QFETCH(qint32, reference);
  ucFirefoxWait wait;
  wait.SetBackColor(kWhite);
  wait.show();
  wait.SetBackColor(reference);
  QCOMPARE(wait.BackColor(), wait.DefaultColor());
  VERIFY_CELL(wait, 8, wait.DefaultColor());
}

void ucFirefoxWaitTest::defaultColorIsTheButtonFace() {
  ucFirefoxWait wait;
  const QColor face = wait.palette().color(QPalette::Button);
  QCOMPARE(ucFirefoxWait::ToQColor(wait.DefaultColor()), QColor(face.rgb()));
  QCOMPARE(wait.BackColor(), wait.DefaultColor());
}

void ucFirefoxWaitTest::resizeSnapsBackTo16() {
  QWidget container;
  auto* wait = new ucFirefoxWait(&container);
  container.show();
  wait->resize(40, 30);
  QCOMPARE(wait->size(), QSize(16, 16));
  wait->setGeometry(5, 5, 3, 100);
  QCOMPARE(wait->size(), QSize(16, 16));
  QCOMPARE(wait->findChild<QLabel*>(QStringLiteral("picDestination"))->size(), QSize(16, 16));
}

// A stored IsPlaying of true leaves PlayWait without effect until StopWait.
void ucFirefoxWaitTest::isPlayingWriteOnlyStoresTheFlag() {
  ucFirefoxWait wait;
  wait.SetIsPlaying(true);
  QVERIFY(!Clock(wait)->isActive());
  wait.PlayWait();
  QVERIFY(!Clock(wait)->isActive());
  wait.StopWait();
  QVERIFY(!wait.IsPlaying());
  wait.PlayWait();
  QVERIFY(Clock(wait)->isActive());
}

void ucFirefoxWaitTest::propertyBagRoundTrip_data() {
  QTest::addColumn<QVariantMap>("bag");
  QTest::addColumn<int>("speed");
  QTest::addColumn<qint32>("backColor");  // -1: the default colour
  QTest::addColumn<bool>("playing");
  QTest::newRow("empty bag gives defaults") << QVariantMap() << 100 << -1 << false;
  QTest::newRow("stored values are taken")
      << QVariantMap{{"AnimationSpeed", 40}, {"BackColor", kWhite}, {"IsPlaying", true}} << 40
      << kWhite << true;
  QTest::newRow("unreadable speed keeps previous")
      << QVariantMap{{"AnimationSpeed", "fast"}, {"BackColor", kRed}} << 70 << kRed << false;
  QTest::newRow("unreadable colour keeps previous")
      << QVariantMap{{"BackColor", "blue"}} << 100 << kWhite << false;
  QTest::newRow("stored system colour gives default")
      << QVariantMap{{"BackColor", qint32(0x8000000F)}} << 100 << -1 << false;
}

void ucFirefoxWaitTest::propertyBagRoundTrip() {
  QFETCH(QVariantMap, bag);
  QFETCH(int, speed);
  QFETCH(qint32, backColor);
  QFETCH(bool, playing);
  ucFirefoxWait wait;
  // Previous values that unreadable entries must keep.
  wait.SetAnimationSpeed(70);
  wait.SetBackColor(kWhite);
  wait.ReadProperties(bag);
  QCOMPARE(wait.AnimationSpeed(), speed);
  QCOMPARE(wait.BackColor(), backColor == -1 ? wait.DefaultColor() : backColor);
  QCOMPARE(wait.IsPlaying(), playing);
  QCOMPARE(Clock(wait)->interval(), speed);
  QVERIFY(!Clock(wait)->isActive());
}

void ucFirefoxWaitTest::writtenBagOmitsDefaults() {
  ucFirefoxWait wait;
  QVERIFY(wait.WriteProperties().isEmpty());
  wait.SetBackColor(kWhite);
  QCOMPARE(wait.WriteProperties(), (QVariantMap{{"BackColor", kWhite}}));
  wait.SetAnimationSpeed(100);
  wait.SetIsPlaying(true);
  QCOMPARE(wait.WriteProperties(), (QVariantMap{{"BackColor", kWhite}, {"IsPlaying", true}}));
}

QTEST_MAIN(ucFirefoxWaitTest)
#include "ucFirefoxWaitTest.moc"
