// The window layout as a pure function: every step at sizes that fit, and
// each step skipped on its own when its sizes would be negative.

#include <QtTest>

#include "tests/ui/main/MainTests.h"
#include "ui/main/MainLayout.h"
#include "ui/main/Twips.h"

using velmora::ui::HeaderLogoLeft;
using velmora::ui::LayOutMainWindow;
using velmora::ui::MainLayout;
using velmora::ui::TwipRect;

Q_DECLARE_METATYPE(TwipRect)

namespace {

// The rectangles of the designed client area (10110 x 7185), worked out from
// the layout rules by hand.
MainLayout DesignedLayout() {
  MainLayout layout;
  layout.fraCommands = {60, 6630, 9990, 495};
  layout.txtProgress = {720, 40, 9270, 355};
  layout.fraSingle = {60, 1280, 9990, 5350};
  layout.lstItems = {0, 360, 4575, 4990};
  layout.wbPreview = {4635, 360, 5355, 4990};
  layout.fraBatch = {60, 1280, 9990, 5350};
  layout.lstFiles = {0, 360, 9990, 4990};
  layout.cmdRemoveFiles = {8355, 0, 1575, 355};
  return layout;
}

QString Describe(const TwipRect& r) {
  return QStringLiteral("(%1, %2, %3, %4)").arg(r.Left).arg(r.Top).arg(r.Width).arg(r.Height);
}

}  // namespace

class MainLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void designedRectangles() {
    const MainLayout design = MainLayout::Design();
    const MainLayout expected = DesignedLayout();
    QCOMPARE(Describe(design.fraCommands), Describe(expected.fraCommands));
    QCOMPARE(Describe(design.txtProgress), Describe(expected.txtProgress));
    QCOMPARE(Describe(design.fraSingle), Describe(expected.fraSingle));
    QCOMPARE(Describe(design.lstItems), Describe(expected.lstItems));
    QCOMPARE(Describe(design.wbPreview), Describe(expected.wbPreview));
    QCOMPARE(Describe(design.fraBatch), Describe(expected.fraBatch));
    QCOMPARE(Describe(design.lstFiles), Describe(expected.lstFiles));
    QCOMPARE(Describe(design.cmdRemoveFiles), Describe(expected.cmdRemoveFiles));
  }

  // Every row starts from the designed rectangles and lays out once.
  void layoutSteps_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<TwipRect>("fraCommands");
    QTest::addColumn<TwipRect>("txtProgress");
    QTest::addColumn<TwipRect>("fraSingle");
    QTest::addColumn<TwipRect>("lstItems");
    QTest::addColumn<TwipRect>("wbPreview");
    QTest::addColumn<TwipRect>("lstFiles");
    QTest::addColumn<int>("removeLeft");

    const MainLayout d = DesignedLayout();
    QTest::addRow("larger window: everything follows")
        << 15000 << 9000 << TwipRect{60, 8445, 14880, 495} << TwipRect{720, 40, 14160, 355}
        << TwipRect{60, 1280, 14880, 7165} << TwipRect{0, 360, 4575, 6805} << TwipRect{4635, 360, 10245, 6805}
        << TwipRect{0, 360, 14880, 6805} << 13245;
    QTest::addRow("strip top above the panels: panel steps keep their controls")
        << 12000 << 1500 << TwipRect{60, 945, 11880, 495} << TwipRect{720, 40, 11160, 355} << d.fraSingle
        << d.lstItems << d.wbPreview << d.lstFiles << d.cmdRemoveFiles.Left;
    QTest::addRow("narrower than the margins: nothing moves but the button")
        << 100 << 7185 << d.fraCommands << d.txtProgress << d.fraSingle << d.lstItems << d.wbPreview
        << d.lstFiles << d.cmdRemoveFiles.Left;
    QTest::addRow("minimised to nothing")
        << 0 << 0 << d.fraCommands << d.txtProgress << d.fraSingle << d.lstItems << d.wbPreview << d.lstFiles
        << d.cmdRemoveFiles.Left;
    QTest::addRow("too narrow for the preview pane only")
        << 4000 << 7185 << TwipRect{60, 6630, 3880, 495} << TwipRect{720, 40, 3160, 355}
        << TwipRect{60, 1280, 3880, 5350} << d.lstItems << d.wbPreview << TwipRect{0, 360, 3880, 4990} << 2245;
    QTest::addRow("too narrow for the status line: button left goes negative")
        << 800 << 7185 << TwipRect{60, 6630, 680, 495} << d.txtProgress << TwipRect{60, 1280, 680, 5350}
        << d.lstItems << d.wbPreview << TwipRect{0, 360, 680, 4990} << -955;
    QTest::addRow("panel exactly as tall as the caption: lists of height 0")
        << 10110 << 2195 << TwipRect{60, 1640, 9990, 495} << d.txtProgress << TwipRect{60, 1280, 9990, 360}
        << TwipRect{0, 360, 4575, 0} << TwipRect{4635, 360, 5355, 0} << TwipRect{0, 360, 9990, 0}
        << d.cmdRemoveFiles.Left;
    QTest::addRow("panel one twip short of the lists: lists keep their rectangles")
        << 10110 << 2194 << TwipRect{60, 1639, 9990, 495} << d.txtProgress << TwipRect{60, 1280, 9990, 359}
        << d.lstItems << d.wbPreview << d.lstFiles << d.cmdRemoveFiles.Left;
    QTest::addRow("negative client height: strip may sit above the window")
        << 10110 << -100 << TwipRect{60, -655, 9990, 495} << d.txtProgress << d.fraSingle << d.lstItems
        << d.wbPreview << d.lstFiles << d.cmdRemoveFiles.Left;
  }

  void layoutSteps() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(TwipRect, fraCommands);
    QFETCH(TwipRect, txtProgress);
    QFETCH(TwipRect, fraSingle);
    QFETCH(TwipRect, lstItems);
    QFETCH(TwipRect, wbPreview);
    QFETCH(TwipRect, lstFiles);
    QFETCH(int, removeLeft);

    const MainLayout laid = LayOutMainWindow(DesignedLayout(), width, height);
    QCOMPARE(Describe(laid.fraCommands), Describe(fraCommands));
    QCOMPARE(Describe(laid.txtProgress), Describe(txtProgress));
    QCOMPARE(Describe(laid.fraSingle), Describe(fraSingle));
    QCOMPARE(Describe(laid.lstItems), Describe(lstItems));
    QCOMPARE(Describe(laid.wbPreview), Describe(wbPreview));
    QCOMPARE(Describe(laid.fraBatch), Describe(fraSingle));
    QCOMPARE(Describe(laid.lstFiles), Describe(lstFiles));
    QCOMPARE(laid.cmdRemoveFiles.Left, removeLeft);
    QCOMPARE(laid.cmdRemoveFiles.Top, 0);
    QCOMPARE(laid.cmdRemoveFiles.Width, 1575);
  }

  // After any layout whose sizes all fit, the preview pane ends at the
  // panel's right edge and both panels share one rectangle.
  void fittingLayoutsKeepTheirInvariants_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addRow("designed") << 10110 << 7185;
    QTest::addRow("just wide enough for the preview") << 4755 << 2195;
    QTest::addRow("full HD") << 28800 << 16200;
  }

  void fittingLayoutsKeepTheirInvariants() {
    QFETCH(int, width);
    QFETCH(int, height);
    // Start from a layout made at a tiny size so that stale rectangles would show.
    const MainLayout laid = LayOutMainWindow(LayOutMainWindow(DesignedLayout(), 130, 600), width, height);
    QCOMPARE(laid.wbPreview.Left + laid.wbPreview.Width, laid.fraSingle.Width);
    QCOMPARE(laid.lstItems.Width, 4575);
    QCOMPARE(laid.fraBatch, laid.fraSingle);
    QCOMPARE(laid.txtProgress.Left + laid.txtProgress.Width, laid.fraCommands.Width);
    QCOMPARE(laid.fraSingle.Top + laid.fraSingle.Height, laid.fraCommands.Top);
    QCOMPARE(laid.fraCommands.Top + laid.fraCommands.Height + 60, height);
  }

  void headerLogoKeepsItsRightMargin_data() {
    QTest::addColumn<int>("headerWidth");
    QTest::addColumn<int>("left");
    QTest::addRow("designed width") << 10110 << 9510;
    QTest::addRow("exactly logo and margin") << 600 << 0;
    QTest::addRow("narrower than the logo") << 300 << -300;
  }

  void headerLogoKeepsItsRightMargin() {
    QFETCH(int, headerWidth);
    QFETCH(int, left);
    QCOMPARE(HeaderLogoLeft(headerWidth), left);
  }

  // Edges convert on their own, so touching rectangles still touch in pixels.
  void twipsToPixels_data() {
    QTest::addColumn<TwipRect>("twips");
    QTest::addColumn<QRect>("pixels");
    QTest::addRow("whole pixels") << TwipRect{60, 1275, 9990, 495} << QRect(4, 85, 666, 33);
    QTest::addRow("edges round to nearest") << TwipRect{0, 1280, 4575, 5350} << QRect(0, 85, 305, 357);
    QTest::addRow("more than half a pixel rounds up, less rounds down") << TwipRect{8, 7, 15, 15} << QRect(1, 0, 1, 1);
    QTest::addRow("negative left") << TwipRect{-955, 0, 1575, 355} << QRect(-64, 0, 105, 24);
  }

  void twipsToPixels() {
    QFETCH(TwipRect, twips);
    QFETCH(QRect, pixels);
    QCOMPARE(velmora::ui::ToPixels(twips), pixels);
  }
};

VELMORA_REGISTER_TEST(MainLayoutTest)
#include "MainLayoutTest.moc"
