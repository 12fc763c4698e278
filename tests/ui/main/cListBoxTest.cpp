// The main window's list boxes: drops, right clicks, the horizontal extent
// and rows set in one go.

#include <QMimeData>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

#include "tests/ui/main/MainTests.h"
#include "ui/main/cListBox.h"

using velmora::ui::cListBox;

namespace {

// Delivers a complete drop of mime at the list's centre.
void Drop(cListBox& list, QMimeData* mime) {
  const QPoint centre = list.viewport()->rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &enter);
  QDragMoveEvent move(centre, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &move);
  QDropEvent drop(QPointF(centre), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list.viewport(), &drop);
}

}  // namespace

class cListBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void dropReportsLocalFilesInOrder_data() {
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("files");
    QTest::addRow("two files")
        << QList<QUrl>{QUrl::fromLocalFile("/doc/b.chm"), QUrl::fromLocalFile("/doc/a.chm")} << QString()
        << QStringList{"/doc/b.chm", "/doc/a.chm"};
    QTest::addRow("web address among files")
        << QList<QUrl>{QUrl("https://example.org/x.chm"), QUrl::fromLocalFile("/doc/中文 名.chm")} << QString()
        << QStringList{"/doc/中文 名.chm"};
    QTest::addRow("plain text only: drop without files") << QList<QUrl>{} << QStringLiteral("/doc/a.chm")
                                                          << QStringList{};
  }

  void dropReportsLocalFilesInOrder() {
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(QStringList, files);
    cListBox list;
    list.resize(200, 200);
    list.show();
    QSignalSpy dropped(&list, &cListBox::FilesDropped);
    QMimeData mime;
    if (!urls.isEmpty()) mime.setUrls(urls);
    if (!text.isEmpty()) mime.setText(text);
    Drop(list, &mime);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.at(0).at(0).toStringList(), files);
    QCOMPARE(list.count(), 0);  // the list itself adds nothing
  }

  void rightClickLeavesSelectionAndCurrentRow() {
    cListBox list;
    list.addItems({"a.htm", "b.htm", "c.htm"});
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.setCurrentRow(0);
    QSignalSpy released(&list, &cListBox::MouseReleased);
    const QPoint onRow2 = list.visualItemRect(list.item(2)).center();
    QTest::mouseClick(list.viewport(), Qt::RightButton, Qt::NoModifier, onRow2);
    QCOMPARE(list.currentRow(), 0);
    QCOMPARE(list.selectedItems().size(), 1);
    QVERIFY(list.item(0)->isSelected());
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(released.at(0).at(1).toPoint(), list.viewport()->mapToGlobal(onRow2));
  }

  void leftClickSelectsAndReportsRelease() {
    cListBox list;
    list.addItems({"a.htm", "b.htm"});
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy released(&list, &cListBox::MouseReleased);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, list.visualItemRect(list.item(1)).center());
    QCOMPARE(list.currentRow(), 1);
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
  }

  void extendedSelectionAcrossRows() {
    cListBox list;
    list.addItems({"a", "b", "c", "d"});
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, list.visualItemRect(list.item(0)).center());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      list.visualItemRect(list.item(2)).center());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list.visualItemRect(list.item(3)).center());
    QCOMPARE(list.selectedItems().size(), 4);
  }

  void horizontalExtentWidensButNeverCutsTheRows() {
    cListBox list;
    list.resize(200, 150);
    list.addItem(QStringLiteral("short"));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.horizontalScrollBar()->maximum(), 0);

    // The rows scroll over the extent, however narrow they are.
    list.SetHorizontalExtent(1000);
    QTRY_COMPARE(list.horizontalScrollBar()->maximum(), 1000 - list.viewport()->width());
    list.addItem(QStringLiteral("another"));
    QTRY_COMPARE(list.horizontalScrollBar()->maximum(), 1000 - list.viewport()->width());
    // An empty list has nothing to scroll; rows added again bring it back.
    list.clear();
    QTRY_COMPARE(list.horizontalScrollBar()->maximum(), 0);
    list.addItem(QStringLiteral("back"));
    QTRY_COMPARE(list.horizontalScrollBar()->maximum(), 1000 - list.viewport()->width());

    // A small extent never cuts what a long row needs.
    list.SetHorizontalExtent(10);
    list.addItem(QString(300, QLatin1Char('W')));
    QTRY_VERIFY(list.horizontalScrollBar()->maximum() > 0);
  }

  // Rows set in one go: the widest row is found exactly, whatever its
  // script, and no row is lower than its own text needs.
  void setRowsFindsTheWidestAndTallestRow_data() {
    QTest::addColumn<QStringList>("strRows");
    const QString strLatin = QStringLiteral("    docs\\sec00\\chap0\\page00001.htm (4096 字节)");
    QTest::newRow("Latin, the longest is the widest") << QStringList{QStringLiteral("a"), strLatin, QStringLiteral("b")};
    QTest::newRow("a shorter CJK row is the widest")
        << QStringList{QStringLiteral("iiiiiiiiiiiiiiiiiiii"), QStringLiteral("中文名称中文名称中文"), QStringLiteral("x")};
    QTest::newRow("kerning pairs") << QStringList{QStringLiteral("AVAVAVAVAVAVAVAVAV"), QStringLiteral("AAAAAAAAAAAAAAAAAA")};
    QTest::newRow("marks, kana, Cyrillic, Thai")
        << QStringList{QStringLiteral("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301"), QStringLiteral("ひらがなカタカナ"),
                       QStringLiteral("Справка по программе"), QStringLiteral("ภาษาไทยภาษาไทย")};
    QTest::newRow("no rows") << QStringList{};
  }

  void setRowsFindsTheWidestAndTallestRow() {
    QFETCH(QStringList, strRows);
    cListBox list;
    list.resize(120, 150);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    int lngWidest = 0;
    for (const QString& strRow : strRows) lngWidest = std::max(lngWidest, list.fontMetrics().horizontalAdvance(strRow));
    QCOMPARE(list.SetRows(strRows), lngWidest);
    QCOMPARE(list.count(), strRows.size());
    // Each row's own height and the scroll range from a list filled row by
    // row, which asks every row for its size.
    cListBox plain;
    plain.resize(list.size());
    plain.addItems(strRows);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    int lngTallest = 0;
    for (int i = 0; i < strRows.size(); ++i) lngTallest = std::max(lngTallest, plain.sizeHintForRow(i));
    for (int i = 0; i < strRows.size(); ++i) QTRY_COMPARE(list.visualItemRect(list.item(i)).height(), lngTallest);
    QTRY_COMPARE(list.horizontalScrollBar()->maximum(), plain.horizontalScrollBar()->maximum());
  }
};

VELMORA_REGISTER_TEST(cListBoxTest)
#include "cListBoxTest.moc"
