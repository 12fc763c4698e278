// The real main window, found by object names: menu tree, start-up and reset
// state, status line, modes, drags over the mode buttons, the content list's
// context menu, the layout, fonts and the small menu commands.

#include <QAction>
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QtTest>
#include <memory>

#include "Version.h"
#include "engine/ProductInfo.h"
#include "settings/DesktopVerb.h"
#include "settings/basAssociation.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "tests/ui/main/MainTests.h"
#include "ui/common/frmAbout.h"
#include "ui/main/cPreviewBrowser.h"
#include "ui/main/frmVelmora.h"

using velmora::ui::cPreviewBrowser;
using velmora::ui::frmVelmora;

namespace {

const QString kStatusReady = QStringLiteral("    请打开CHM文件。");

QString ExpectedTitle() {
  return QStringLiteral("Velmora %1.%2.0.%3")
      .arg(VELMORA_VERSION_MAJOR)
      .arg(VELMORA_VERSION_MINOR)
      .arg(VELMORA_VERSION_REVISION);
}

QString ExpectedWelcome() {
  return QStringLiteral("about:欢迎使用") + ExpectedTitle() +
         QStringLiteral("<BR><BR>请打开CHM文件，然后选择左边的内容列表项目预览，或者点击导出...");
}

// A loaded and shown main window, the way the program starts it.
struct LoadedWindow {
  LoadedWindow() {
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("main window not exposed");
  }
  template <typename T>
  T* Find(const QString& strName) {
    T* child = window.findChild<T*>(strName);
    if (!child) qFatal("no child named %s", qPrintable(strName));
    return child;
  }
  QAction* Action(const QString& strName) { return Find<QAction>(strName); }
  QListWidget* List(const QString& strName) { return Find<QListWidget>(strName); }
  QString Status() { return Find<QLineEdit>(QStringLiteral("txtProgress"))->text(); }
  QString PreviewAddress() { return Find<cPreviewBrowser>(QStringLiteral("wbPreview"))->LastAddress(); }
  bool InFront(const QString& strFrame) { return Find<QFrame>(strFrame)->isVisible(); }
  QWidget* Client() { return window.centralWidget(); }

  frmVelmora window;
};

QStringList ExportEntriesEnabled(LoadedWindow& w) {
  QStringList enabled;
  for (int index = 0; index < 8; ++index) {
    if (index == 6) continue;
    if (w.Action(QStringLiteral("mnuExportCHM%1").arg(index))->isEnabled()) enabled << QString::number(index);
  }
  return enabled;
}

const QStringList kAllExportEntries{"0", "1", "2", "3", "4", "5", "7"};

// Clicks a mode button on its indicator, inside its clickable area.
void ClickMode(QRadioButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

}  // namespace

class frmVelmoraTest : public QObject {
  Q_OBJECT

 private slots:
  void menuBarInDisplayOrder() {
    LoadedWindow w;
    QStringList names;
    QStringList captions;
    for (QAction* action : w.window.menuBar()->actions()) {
      names << action->objectName();
      captions << action->text();
    }
    QCOMPARE(names, (QStringList{"mnuFile", "mnuSearch", "mnuExport", "mnuView", "mnuHelp"}));
    QCOMPARE(captions, (QStringList{"文件(&F)", "搜索(&S)", "导出(&E)", "选项(&O)", "帮助(&H)"}));
  }

  void submenuEntriesInDisplayOrder_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::addRow("mnuFile") << "mnuFile" << QStringList{"mnuOpen", "mnuRead", "mnuClose", "mnuHR", "mnuExit"};
    QTest::addRow("mnuSearch") << "mnuSearch" << QStringList{"mnuFind", "mnuShelfSearch"};
    QTest::addRow("mnuExport") << "mnuExport"
                               << QStringList{"mnuExportCHM0", "mnuExportCHM1", "mnuExportCHM2", "mnuExportCHM3",
                                              "mnuExportCHM4", "mnuExportCHM5", "mnuExportCHM6", "mnuExportCHM7",
                                              "mnuExportCHM8"};
    QTest::addRow("mnuView") << "mnuView"
                             << QStringList{"mnuViewInplace", "mnuPreview", "mnuHR5", "mnuAutoViewHTML", "mnuHR6",
                                            "mnuAssociates"};
    QTest::addRow("mnuHelp") << "mnuHelp"
                             << QStringList{"mnuAbout", "mnuManual", "mnuHR2", "mnuDonate", "mnuHR3", "mnuWebsite"};
  }

  void submenuEntriesInDisplayOrder() {
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    LoadedWindow w;
    QStringList names;
    for (QAction* action : w.Find<QMenu>(menu)->actions()) names << action->objectName();
    QCOMPARE(names, entries);
  }

  void menuEntry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");  // empty for a separator
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    auto entry = [](const char* name, const char* caption, const char* shortcut, bool checkable, bool checked,
                    bool enabled) {
      QTest::addRow("%s", name) << QString::fromLatin1(name) << QString::fromUtf8(caption)
                                << QString::fromLatin1(shortcut) << checkable << checked << enabled;
    };
    entry("mnuOpen", "打开CHM文件/列表(&O)", "Ctrl+O", false, false, true);
    entry("mnuRead", "阅读(&R)…", "Ctrl+R", false, false, true);
    entry("mnuClose", "关闭CHM文件/列表(&C)", "Ctrl+W", false, false, true);
    entry("mnuHR", "", "", false, false, true);
    entry("mnuExit", "退出(&X)", "", false, false, true);
    entry("mnuFind", "查找(&F)", "F3", false, false, true);
    entry("mnuExportCHM0", "所有内容(&A)", "F4", false, false, false);
    entry("mnuExportCHM1", "选中内容(&S)", "F6", false, false, false);
    entry("mnuExportCHM2", "仅所有图片(&P)", "F7", false, false, false);
    entry("mnuExportCHM3", "仅所有网页(&H)", "F8", false, false, false);
    entry("mnuExportCHM4", "仅所有多媒体(&M)", "F9", false, false, false);
    entry("mnuExportCHM5", "仅当前文件(&F)", "F11", false, false, false);
    entry("mnuExportCHM6", "", "", false, false, true);
    entry("mnuExportCHM7", "仅文件列表", "F12", false, false, false);
    entry("mnuExportCHM8", "导出为可编译的工程(&J)…", "", false, false, false);
    entry("mnuViewInplace", "实时预览（不抽取内容，直接查看）(&I)", "Ctrl+I", true, true, true);
    entry("mnuPreview", "抽取内容预览(&P)", "Ctrl+V", true, false, true);
    entry("mnuHR5", "", "", false, false, true);
    entry("mnuAutoViewHTML", "自动浏览内容(&A)", "", true, true, true);
    entry("mnuHR6", "", "", false, false, true);
    entry("mnuAssociates", "在资源管理器右键菜单关联CHM文件(&A)", "", true, false, true);
    entry("mnuAbout", "关于(&A)", "Ctrl+F1", false, false, true);
    entry("mnuManual", "使用手册(&M)...", "F1", false, false, true);
    entry("mnuHR2", "", "", false, false, true);
    entry("mnuDonate", "捐助我们(&D)", "Ctrl+D", false, false, true);
    entry("mnuHR3", "", "", false, false, true);
    entry("mnuWebsite", "官方网站(&W)", "Ctrl+H", false, false, true);
  }

  void menuEntry() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    LoadedWindow w;
    QAction* action = w.Action(name);
    QCOMPARE(action->isSeparator(), caption.isEmpty());
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isCheckable(), checkable);
    if (name != QLatin1String("mnuAssociates")) QCOMPARE(action->isChecked(), checked);
    QCOMPARE(action->isEnabled(), enabled);
    QVERIFY(action->isVisible());
  }

  void startUpState() {
    LoadedWindow w;
    QCOMPARE(w.window.objectName(), QStringLiteral("frmVelmora"));
    QCOMPARE(w.window.windowTitle(), ExpectedTitle());
    QCOMPARE(w.PreviewAddress(), ExpectedWelcome());
    QCOMPARE(w.Status(), kStatusReady);
    QCOMPARE(ExportEntriesEnabled(w), QStringList());
    QCOMPARE(w.List("lstItems")->count(), 0);
    QCOMPARE(w.List("lstFiles")->count(), 0);
    QVERIFY(w.Find<QRadioButton>("optMode0")->isChecked());
    QVERIFY(w.InFront("fraSingle"));
    QVERIFY(!w.InFront("fraBatch"));
    QVERIFY(!w.window.IsLoaded());
    QVERIFY(w.window.Items().empty());
    QVERIFY(w.window.CHMFile().isEmpty());
    QVERIFY(!w.Find<QLabel>("imgLogo")->pixmap().isNull());
    QVERIFY(w.Find<QLineEdit>("txtProgress")->isReadOnly());
  }

  void controlCaptionsAndTips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addRow("lblTitle") << "lblTitle" << "Velmora";
    QTest::addRow("lblCaption0") << "lblCaption0" << "Velmora";
    QTest::addRow("lblCaption1") << "lblCaption1" << "内容列表：";
    QTest::addRow("lblCaption2") << "lblCaption2" << "预览：";
    QTest::addRow("lblCaption3") << "lblCaption3" << "文件列表：(双击列表里面的文件进行预览)";
    QTest::addRow("lblProgress") << "lblProgress" << "进度：";
    QTest::addRow("optMode0") << "optMode0" << "单个预览(&P)";
    QTest::addRow("optMode1") << "optMode1" << "批量处理(&B)";
    QTest::addRow("cmdRemoveFiles") << "cmdRemoveFiles" << "移除选中文件";
  }

  void controlCaptionsAndTips() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    LoadedWindow w;
    QObject* control = w.Find<QWidget>(name);
    QCOMPARE(control->property("text").toString(), caption);
    QCOMPARE(w.List("lstItems")->toolTip(), QStringLiteral("单击预览内容，双击保存文件"));
    QCOMPARE(w.List("lstFiles")->toolTip(), QStringLiteral("双击列表里面的文件进行预览"));
  }

  // Chinese captions must not render as boxes: the font each label resolves
  // to has the glyphs of its caption.
  void captionsHaveTheirGlyphs_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"lblTitle", "lblCaption0", "lblCaption1", "lblCaption2", "lblCaption3", "lblProgress",
                             "optMode0", "optMode1", "cmdRemoveFiles"}) {
      QTest::addRow("%s", name) << QString::fromLatin1(name);
    }
  }

  void captionsHaveTheirGlyphs() {
    QFETCH(QString, name);
    LoadedWindow w;
    QWidget* control = w.Find<QWidget>(name);
    const QRawFont raw = QRawFont::fromFont(control->font());
    QVERIFY(raw.isValid());
    const QString caption = control->property("text").toString().remove(QLatin1Char('&'));
    for (const QChar ch : caption) {
      QVERIFY2(raw.supportsCharacter(ch), qPrintable(QStringLiteral("%1 lacks %2 (%3)")
                                                         .arg(raw.familyName(), QString(ch), name)));
    }
  }

  void closeCommandResetsEverything_data() {
    QTest::addColumn<bool>("byShortcut");
    QTest::addRow("menu entry") << false;
    QTest::addRow("Ctrl+W") << true;
  }

  void closeCommandResetsEverything() {
    QFETCH(bool, byShortcut);
    LoadedWindow w;
    w.List("lstItems")->addItems({"index.htm", "  logo.gif"});
    w.List("lstFiles")->addItems({"/doc/a.chm", "/doc/b.chm"});
    w.window.EnableExportMenus(true);
    w.window.ShowStatus(QStringLiteral("解释完成"));
    w.Find<cPreviewBrowser>("wbPreview")->Navigate(QStringLiteral("about:other"));
    if (byShortcut) {
      w.window.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&w.window));
      QTest::keyClick(&w.window, Qt::Key_W, Qt::ControlModifier);
    } else {
      w.Action("mnuClose")->trigger();
    }
    QCOMPARE(w.List("lstItems")->count(), 0);
    QCOMPARE(w.List("lstFiles")->count(), 0);
    QCOMPARE(ExportEntriesEnabled(w), QStringList());
    QCOMPARE(w.PreviewAddress(), ExpectedWelcome());
    QCOMPARE(w.Status(), kStatusReady);
    QVERIFY(!w.window.IsLoaded());
  }

  void resetWithoutClearingKeepsTheLists() {
    LoadedWindow w;
    w.List("lstItems")->addItems({"index.htm"});
    w.List("lstFiles")->addItems({"/doc/a.chm"});
    w.window.EnableExportMenus(true);
    w.window.ResetWindow(false);
    QCOMPARE(w.List("lstItems")->count(), 1);
    QCOMPARE(w.List("lstFiles")->count(), 1);
    QCOMPARE(ExportEntriesEnabled(w), QStringList());
    QCOMPARE(w.PreviewAddress(), ExpectedWelcome());
    QCOMPARE(w.Status(), kStatusReady);
    QVERIFY(w.List("lstItems")->isVisible());
  }

  void enableExportMenus_data() {
    QTest::addColumn<bool>("from");
    QTest::addColumn<bool>("to");
    QTest::addRow("off to on") << false << true;
    QTest::addRow("on to off") << true << false;
    QTest::addRow("on again") << true << true;
  }

  void enableExportMenus() {
    QFETCH(bool, from);
    QFETCH(bool, to);
    LoadedWindow w;
    w.window.EnableExportMenus(from);
    w.window.EnableExportMenus(to);
    QCOMPARE(ExportEntriesEnabled(w), to ? kAllExportEntries : QStringList());
    QVERIFY(w.Action("mnuExportCHM6")->isSeparator());
  }

  void showStatusWritesFourBlanksAndRunsPendingEvents_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addRow("text") << QStringLiteral("正在解释：index.htm，大小：120") << QStringLiteral("    正在解释：index.htm，大小：120");
    QTest::addRow("empty") << QString() << QStringLiteral("    ");
    QTest::addRow("leading blanks kept") << QStringLiteral("  x") << QStringLiteral("      x");
  }

  void showStatusWritesFourBlanksAndRunsPendingEvents() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    LoadedWindow w;
    bool ran = false;
    QMetaObject::invokeMethod(&w.window, [&] { ran = true; }, Qt::QueuedConnection);
    w.window.ShowStatus(text);
    QCOMPARE(w.Status(), shown);
    QVERIFY(ran);
  }

  void showModeFrameIgnoresOtherIndexes_data() {
    QTest::addColumn<int>("index");
    QTest::addRow("2") << 2;
    QTest::addRow("-1") << -1;
  }

  void showModeFrameIgnoresOtherIndexes() {
    QFETCH(int, index);
    LoadedWindow w;
    w.window.ShowModeFrame(1);
    w.window.ShowModeFrame(index);
    QVERIFY(w.InFront("fraBatch"));
    QVERIFY(!w.InFront("fraSingle"));
  }

  void modeSwitchingKeepsBothListsAndSelections() {
    LoadedWindow w;
    QListWidget* items = w.List("lstItems");
    QListWidget* files = w.List("lstFiles");
    items->addItems({"a.htm", "b.htm", "c.htm"});
    files->addItems({"/doc/a.chm", "/doc/b.chm", "/doc/c.chm"});
    items->setCurrentRow(1);
    items->item(2)->setSelected(true);
    files->item(0)->setSelected(true);
    files->item(2)->setSelected(true);

    for (int round = 0; round < 2; ++round) {
      ClickMode(w.Find<QRadioButton>("optMode1"));
      QVERIFY(w.InFront("fraBatch"));
      QVERIFY(!w.InFront("fraSingle"));
      QCOMPARE(w.window.CurrentMode(), 1);
      ClickMode(w.Find<QRadioButton>("optMode0"));
      QVERIFY(w.InFront("fraSingle"));
      QVERIFY(!w.InFront("fraBatch"));
      QCOMPARE(w.window.CurrentMode(), 0);
    }
    QCOMPARE(items->count(), 3);
    QCOMPARE(files->count(), 3);
    QCOMPARE(items->currentRow(), 1);
    QCOMPARE(items->selectedItems().size(), 2);
    QVERIFY(items->item(2)->isSelected());
    QCOMPARE(files->selectedItems().size(), 2);
    QVERIFY(files->item(0)->isSelected() && files->item(2)->isSelected());
    QCOMPARE(w.Status(), kStatusReady);
  }

  void modeFollowsButtonsSetByOtherCode() {
    LoadedWindow w;
    w.Find<QRadioButton>("optMode1")->setChecked(true);
    QVERIFY(w.InFront("fraBatch"));
    QVERIFY(!w.Find<QRadioButton>("optMode0")->isChecked());
    w.Find<QRadioButton>("optMode0")->setChecked(true);
    QVERIFY(w.InFront("fraSingle"));
  }

  void dragOverModeButtonSelectsIt_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("carries");
    QTest::addColumn<QString>("front");
    QTest::addRow("file over batch button") << "optMode1" << "file" << "fraBatch";
    QTest::addRow("text over batch button") << "optMode1" << "text" << "fraBatch";
    QTest::addRow("nothing over batch button") << "optMode1" << "" << "fraBatch";
    QTest::addRow("file over single button") << "optMode0" << "file" << "fraSingle";
  }

  void dragOverModeButtonSelectsIt() {
    QFETCH(QString, button);
    QFETCH(QString, carries);
    QFETCH(QString, front);
    LoadedWindow w;
    // Start in the other mode.
    w.Find<QRadioButton>(button == QLatin1String("optMode1") ? "optMode0" : "optMode1")->setChecked(true);
    QMimeData mime;
    if (carries == QLatin1String("file")) mime.setUrls({QUrl::fromLocalFile("/doc/a.chm")});
    if (carries == QLatin1String("text")) mime.setText(QStringLiteral("a.chm"));
    QRadioButton* target = w.Find<QRadioButton>(button);
    QDragEnterEvent enter(target->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(target->isChecked());
    QVERIFY(w.InFront(front));
  }

  void rightReleaseOnContentListOpensExportMenu_data() {
    QTest::addColumn<bool>("exportEnabled");
    QTest::addRow("right after start-up: entries disabled") << false;
    QTest::addRow("after a file was listed: entries enabled") << true;
  }

  void rightReleaseOnContentListOpensExportMenu() {
    QFETCH(bool, exportEnabled);
    LoadedWindow w;
    w.window.EnableExportMenus(exportEnabled);
    QListWidget* items = w.List("lstItems");
    QMenu* menu = w.Find<QMenu>("mnuExport");
    QVERIFY(!menu->isVisible());
    QTest::mouseClick(items->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->pos(), items->viewport()->mapToGlobal(QPoint(20, 20)));
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) QCOMPARE(action->isEnabled(), exportEnabled);
    }
    menu->hide();
  }

  void otherButtonsDoNotOpenTheExportMenu() {
    LoadedWindow w;
    QListWidget* files = w.List("lstFiles");
    w.window.ShowModeFrame(1);
    QTest::mouseClick(files->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseClick(w.List("lstItems")->viewport(), Qt::MiddleButton, Qt::NoModifier, QPoint(20, 20));
    QTest::qWait(50);
    QVERIFY(!w.Find<QMenu>("mnuExport")->isVisible());
  }

  // Client sizes in pixels; the window is resized until its client area has
  // that size.
  void layoutOfTheWindow_data() {
    QTest::addColumn<QSize>("client");
    QTest::addRow("designed") << QSize(674, 479);
    QTest::addRow("large") << QSize(1200, 800);
    QTest::addRow("just wide enough for the preview") << QSize(317, 400);
  }

  void layoutOfTheWindow() {
    QFETCH(QSize, client);
    LoadedWindow w;
    w.window.resize(w.window.size() + client - w.Client()->size());
    QTRY_COMPARE(w.Client()->size(), client);
    QWidget* single = w.Find<QWidget>("fraSingle");
    QWidget* batch = w.Find<QWidget>("fraBatch");
    QWidget* strip = w.Find<QWidget>("fraCommands");
    QWidget* preview = w.Find<QWidget>("wbPreview");
    QWidget* items = w.Find<QWidget>("lstItems");
    QWidget* header = w.Find<QWidget>("picHeader");
    QWidget* logo = w.Find<QWidget>("imgLogo");
    QCOMPARE(header->geometry(), QRect(0, 0, client.width(), 50));
    QCOMPARE(logo->geometry(), QRect(client.width() - 8 - 32, 6, 32, 32));
    QCOMPARE(strip->geometry(), QRect(4, client.height() - 37, client.width() - 8, 33));
    QCOMPARE(single->geometry(), QRect(4, 85, client.width() - 8, client.height() - 37 - 85));
    QCOMPARE(batch->geometry(), single->geometry());
    QCOMPARE(items->geometry(), QRect(0, 24, 305, single->height() - 24));
    QCOMPARE(preview->geometry().right() + 1, single->width());
    QCOMPARE(preview->geometry().left(), 309);
    QCOMPARE(w.Find<QWidget>("lstFiles")->geometry(), QRect(0, 24, single->width(), single->height() - 24));
    QCOMPARE(w.Find<QWidget>("txtProgress")->geometry().right() + 1, strip->width());
    QCOMPARE(w.Find<QWidget>("cmdRemoveFiles")->geometry().right() + 1, single->width() - 4);
  }

  void tinyWindowKeepsControlsAndRestoresLater() {
    LoadedWindow w;
    QWidget* single = w.Find<QWidget>("fraSingle");
    QWidget* items = w.Find<QWidget>("lstItems");
    const QRect fullSingle = single->geometry();
    const QRect fullItems = items->geometry();
    const QSize full = w.Client()->size();

    // A client area 60 pixels high puts the strip's top above the panels.
    w.window.resize(w.window.size() + QSize(400, 60) - full);
    QTRY_COMPARE(w.Client()->size(), QSize(400, 60));
    QCOMPARE(single->height(), fullSingle.height());
    QCOMPARE(single->width(), fullSingle.width());
    QCOMPARE(items->geometry(), fullItems);
    QCOMPARE(w.Find<QWidget>("fraCommands")->geometry(), QRect(4, 23, 392, 33));

    w.window.resize(w.window.size() + full - w.Client()->size());
    QTRY_COMPARE(w.Client()->size(), full);
    QCOMPARE(single->geometry(), fullSingle);
    QCOMPARE(items->geometry(), fullItems);
  }

  void previewOptions_data() {
    QTest::addColumn<QString>("clicks");  // I in place, P extracted, A auto view
    QTest::addColumn<bool>("inplace");
    QTest::addColumn<bool>("extracted");
    QTest::addColumn<bool>("autoView");
    QTest::addRow("nothing clicked") << "" << true << false << true;
    QTest::addRow("checked in-place clicked: extracted takes over") << "I" << false << true << true;
    QTest::addRow("extracted clicked: in-place goes off") << "P" << false << true << true;
    QTest::addRow("extracted clicked twice: back to in-place") << "PP" << true << false << true;
    QTest::addRow("in-place, then extracted") << "IP" << true << false << true;
    QTest::addRow("in-place twice") << "II" << true << false << true;
    QTest::addRow("auto view toggles alone") << "A" << true << false << false;
    QTest::addRow("auto view twice") << "AA" << true << false << true;
  }

  void previewOptions() {
    QFETCH(QString, clicks);
    QFETCH(bool, inplace);
    QFETCH(bool, extracted);
    QFETCH(bool, autoView);
    LoadedWindow w;
    for (const QChar click : clicks) {
      const char* name = click == QLatin1Char('I') ? "mnuViewInplace"
                         : click == QLatin1Char('P') ? "mnuPreview"
                                                      : "mnuAutoViewHTML";
      w.Action(QString::fromLatin1(name))->trigger();
    }
    QCOMPARE(w.Action("mnuViewInplace")->isChecked(), inplace);
    QCOMPARE(w.Action("mnuPreview")->isChecked(), extracted);
    QCOMPARE(w.Action("mnuAutoViewHTML")->isChecked(), autoView);
  }

  void previewOptionShortcut() {
    LoadedWindow w;
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w.Action("mnuPreview")->isChecked());
    QVERIFY(!w.Action("mnuViewInplace")->isChecked());
  }

  // The manual is built beside the program (and this test), so F1 opens it.
  // A web page the desktop cannot open is reported; the manual is then
  // opened in the window instead (DesktopLookTest).
  void helpCommandsOpenWithTheDesktop_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<bool>("desktopOpens");
    const QString strManual = QCoreApplication::applicationDirPath() + QStringLiteral("/Velmora(Velmora)用户手册.chm");
    QTest::addRow("manual") << "mnuManual" << strManual << true;
    const QString strSite = QString::fromUtf8(velmora::kWebsiteAddress);
    QTest::addRow("web site") << "mnuWebsite" << strSite << true;
    QTest::addRow("donation page") << "mnuDonate" << strSite + QStringLiteral("donate.htm") << true;
    QTest::addRow("web site, no browser") << "mnuWebsite" << strSite << false;
    QTest::addRow("donation page, no browser") << "mnuDonate" << strSite + QStringLiteral("donate.htm") << false;
  }

  void helpCommandsOpenWithTheDesktop() {
    QFETCH(QString, entry);
    QFETCH(QString, opened);
    QFETCH(bool, desktopOpens);
    if (entry == QLatin1String("mnuManual")) {
      QVERIFY2(QFileInfo(opened).isFile(), "the manual is built with the program");
    }
    velmora::test::ScriptedUiServices desktop;
    desktop.SetOpenSucceeds(desktopOpens);
    LoadedWindow w;
    w.Action(entry)->trigger();
    QCOMPARE(desktop.Opened(), QStringList{opened});
    if (desktopOpens) {
      QVERIFY(desktop.Messages().isEmpty());
      return;
    }
    QCOMPARE(desktop.Messages().size(), 1);
    const auto& message = desktop.Messages().first();
    QCOMPARE(message.text, QStringLiteral("无法打开网页，请在浏览器中访问：") + opened);
    QCOMPARE(message.caption, QString::fromUtf8(velmora::kApplicationTitle));
    QCOMPARE(message.icon, velmora::ui::MsgIcon::Information);
    QCOMPARE(message.buttons, velmora::ui::MsgButtons::Ok);
    QCOMPARE(message.owner, &w.window);
  }

  void helpShortcutOpensTheManual() {
    velmora::test::ScriptedUiServices desktop;
    LoadedWindow w;
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_F1);
    QCOMPARE(desktop.Opened().size(), 1);
    QVERIFY(desktop.Opened().at(0).endsWith(QStringLiteral("/Velmora(Velmora)用户手册.chm")));
  }

  void aboutIsOneModelessWindow() {
    LoadedWindow w;
    w.Action("mnuAbout")->trigger();
    QPointer<frmAbout> first = frmAbout::Instance();
    QVERIFY(first);
    QTRY_VERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    QCOMPARE(first->parentWidget(), &w.window);
    w.Action("mnuAbout")->trigger();
    QCOMPARE(frmAbout::Instance(), first.data());
    QCOMPARE(w.window.findChildren<frmAbout*>().size(), 1);
    first->close();
  }

  // TestMain points HOME and XDG_* at a scratch folder, where the verb's
  // registry keys and desktop files go.
  void associationSwitchFollowsTheVerb() {
    QVERIFY(QString::fromStdString(velmora::settings::ServiceMenuPath())
                .startsWith(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"))));
    QVERIFY(!velmora::settings::IsContextMenuRegistered());
    {
      LoadedWindow w;
      QVERIFY(!w.Action("mnuAssociates")->isChecked());
      w.Action("mnuAssociates")->trigger();
      QVERIFY(w.Action("mnuAssociates")->isChecked());
      QVERIFY(velmora::settings::IsContextMenuRegistered());
      QVERIFY(QFileInfo::exists(QString::fromStdString(velmora::settings::ServiceMenuPath())));
    }
    {
      LoadedWindow w;  // start-up reads the registered verb back
      QVERIFY(w.Action("mnuAssociates")->isChecked());
      w.Action("mnuAssociates")->trigger();
      QVERIFY(!w.Action("mnuAssociates")->isChecked());
      QVERIFY(!velmora::settings::IsContextMenuRegistered());
    }
    LoadedWindow w;
    QVERIFY(!w.Action("mnuAssociates")->isChecked());
  }

  void exitClosesTheWindow() {
    LoadedWindow w;
    QVERIFY(w.window.isVisible());
    w.Action("mnuExit")->trigger();
    QVERIFY(!w.window.isVisible());
  }

  void exportEntryShortcutsDoNothingWhileDisabled() {
    velmora::test::ScriptedUiServices desktop;
    LoadedWindow w;
    QSignalSpy triggered(w.Action("mnuExportCHM0"), &QAction::triggered);
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTest::keyClick(&w.window, Qt::Key_F4);
    QCOMPARE(triggered.count(), 0);
    w.window.EnableExportMenus(true);
    desktop.QueueFolder(QString());  // the export asks for a folder: cancelled
    QTest::keyClick(&w.window, Qt::Key_F4);
    QCOMPARE(triggered.count(), 1);
  }
};

VELMORA_REGISTER_TEST(frmVelmoraTest)
#include "frmVelmoraTest.moc"
