// The folder browser: option bits, the errors raised outside a dialog, path
// handling, and its events on the real dialog, driven while it runs.

#include <QFileSystemModel>
#include <QLabel>
#include <QScopeGuard>
#include <QSortFilterProxyModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <functional>

#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/common/cBrowseForFolder.h"
#include "ui/common/cComponentError.h"

using velmora::test::ScriptedUiServices;

namespace {

template <typename T>
T* Control(QWidget* dialog, const char* name) {
  T* control = dialog->findChild<T*>(QString::fromLatin1(name));
  if (!control) qFatal("control %s missing", name);
  return control;
}

// Runs `drive` once the dialog has initialised (inside its modal loop), then
// returns what BrowseForFolder returned. `drive` must close the dialog.
QString BrowseWhile(cBrowseForFolder& browser, std::function<void(QWidget*)> drive) {
  QObject::connect(&browser, &cBrowseForFolder::Initialized, &browser, [&browser, drive] {
    QWidget* dialog = browser.DialogWindow();
    QTimer::singleShot(0, dialog, [dialog, drive] { drive(dialog); });
  }, Qt::SingleShotConnection);
  // A dialog left open by a failing check is closed so the test ends.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  guard.start(10000);
  return browser.BrowseForFolder();
}

void ClickOk(QWidget* dialog) {
  QTest::mouseClick(Control<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
}

bool Raises26002(const std::function<void()>& call) {
  try {
    call();
  } catch (const cComponentError& error) {
    return error.Number() == 26002 &&
           error.Description() == QStringLiteral("Operation invalid unless dialog is displayed.") &&
           error.Source().endsWith(QStringLiteral(".cBrowseForFolder"));
  }
  return false;
}

}  // namespace

class cBrowseForFolderTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void optionBits_data();
  void optionBits();
  void defaultsBeforeUse();
  void callsOutsideTheDialogRaise26002();
  void relativePathsBecomeAbsoluteAndStay();
  void scriptedCancelLeavesDisplayNameEmpty();
  void specialFolderLocation_data();
  void specialFolderLocation();

  void startFolderIsSelectedAndEventsArriveInOrder();
  void setFolderAndSetStatusWorkWhileOpen();
  void vetoedSelectionDisablesOk();
  void cancelReturnsEmpty();
  void invalidTypedFolderClosesWithoutKeepOpen();
  void invalidTypedFolderStaysOpenWithKeepOpen();
  void typedFolderRelativeToSelectionIsChosen();
  void treeStartsAtRootAndIgnoresFoldersOutsideIt();
  void switchesShowEditBoxAndStatusLine();
  void newStyleStartsWhereTheLastEndedAndMakesFolders();

 private:
  QTemporaryDir m_dir;
  QString Folder(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
};

void cBrowseForFolderTest::init() {
  QVERIFY(m_dir.isValid());
  QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("a/inner")));
  QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("b")));
}

void cBrowseForFolderTest::optionBits_data() {
  QTest::addColumn<int>("switches");  // bits: edit, status, fs only, validate, new UI
  QTest::addColumn<quint32>("bits");
  QTest::newRow("none") << 0 << quint32(0);
  QTest::newRow("edit box") << 1 << quint32(0x10);
  QTest::newRow("status text") << 2 << quint32(0x04);
  QTest::newRow("file system only") << 4 << quint32(0x09);
  QTest::newRow("validate edit box") << 8 << quint32(0x20);
  QTest::newRow("new UI") << 16 << quint32(0x40);
  QTest::newRow("all") << 31 << quint32(0x7D);
}

void cBrowseForFolderTest::optionBits() {
  QFETCH(int, switches);
  QFETCH(quint32, bits);
  cBrowseForFolder browser;
  browser.SetEditBox(switches & 1);
  browser.SetStatusText(switches & 2);
  browser.SetFileSystemOnly(switches & 4);
  browser.SetValidateEditBox(switches & 8);
  browser.SetUseNewUI(switches & 16);
  QCOMPARE(browser.OptionBits(), bits);
}

void cBrowseForFolderTest::defaultsBeforeUse() {
  cBrowseForFolder browser;
  QCOMPARE(browser.Title(), QStringLiteral("请选择目录："));
  QCOMPARE(browser.hwndOwner(), nullptr);
  QCOMPARE(browser.InitialDir(), QString());
  QCOMPARE(browser.RootDir(), QString());
  QCOMPARE(browser.DisplayName(), QString());
}

void cBrowseForFolderTest::callsOutsideTheDialogRaise26002() {
  cBrowseForFolder browser;
  QVERIFY(Raises26002([&] { browser.SetStatus(QStringLiteral("x")); }));
  QVERIFY(Raises26002([&] { browser.SetFolder(m_dir.path()); }));
  QVERIFY(Raises26002([&] { browser.DialogWindow(); }));
  // And again after a dialog has come and gone.
  ScriptedUiServices services;
  services.QueueFolder(QString());
  browser.BrowseForFolder();
  QVERIFY(Raises26002([&] { browser.SetStatus(QStringLiteral("x")); }));
  QVERIFY(Raises26002([&] { browser.SetFolder(m_dir.path()); }));
}

void cBrowseForFolderTest::relativePathsBecomeAbsoluteAndStay() {
  const QString previous = QDir::currentPath();
  QVERIFY(QDir::setCurrent(m_dir.path()));
  ScriptedUiServices services;
  services.QueueFolder(QString());
  cBrowseForFolder browser;
  browser.SetInitialDir(QStringLiteral("a/inner/../inner"));
  browser.SetRootDir(QStringLiteral("."));
  browser.BrowseForFolder();
  QDir::setCurrent(previous);
  const QString root = QDir(m_dir.path()).canonicalPath();
  QCOMPARE(QDir(browser.InitialDir()).canonicalPath(), root + QStringLiteral("/a/inner"));
  QVERIFY(QDir::isAbsolutePath(browser.InitialDir()));
  QVERIFY(!browser.InitialDir().contains(QStringLiteral("..")));
  QCOMPARE(QDir(browser.RootDir()).canonicalPath(), root);
  // The browser saw the absolute forms too.
  QCOMPARE(services.FolderBrowsers().at(0).initialDir, browser.InitialDir());
}

void cBrowseForFolderTest::scriptedCancelLeavesDisplayNameEmpty() {
  ScriptedUiServices services;
  services.QueueFolder(Folder(QStringLiteral("b")));
  services.QueueFolder(QString());
  cBrowseForFolder browser;
  QCOMPARE(browser.BrowseForFolder(), Folder(QStringLiteral("b")));
  QCOMPARE(browser.DisplayName(), QStringLiteral("b"));
  QCOMPARE(browser.BrowseForFolder(), QString());
  QCOMPARE(browser.DisplayName(), QString());
}

void cBrowseForFolderTest::specialFolderLocation_data() {
  QTest::addColumn<int>("folderId");
  QTest::addColumn<QString>("expected");
  QTest::newRow("profile is home") << 0x28 << QDir::homePath();
  QTest::newRow("computer has no path") << 0x11 << QString();
  QTest::newRow("unknown id") << 0x7777 << QString();
}

void cBrowseForFolderTest::specialFolderLocation() {
  QFETCH(int, folderId);
  QFETCH(QString, expected);
  QCOMPARE(cBrowseForFolder().SpecialFolderLocation(folderId), expected);
}

void cBrowseForFolderTest::startFolderIsSelectedAndEventsArriveInOrder() {
  cBrowseForFolder browser;
  browser.SetInitialDir(Folder(QStringLiteral("a")));
  browser.SetStatusText(true);
  QStringList events;
  connect(&browser, &cBrowseForFolder::Initialized, this,
          [&] { events << QStringLiteral("initialized"); });
  connect(&browser, &cBrowseForFolder::SelectionChanged, this,
          [&](const QString& path, bool&) { events << path; });
  const QString chosen = BrowseWhile(browser, [&](QWidget* dialog) {
    QCOMPARE(Control<QLabel>(dialog, "lblStatus")->text(), Folder(QStringLiteral("a")));
    ClickOk(dialog);
  });
  QCOMPARE(chosen, Folder(QStringLiteral("a")));
  QCOMPARE(browser.DisplayName(), QStringLiteral("a"));
  // The start folder is selected while the dialog initialises, before
  // Initialized is raised.
  QCOMPARE(events, (QStringList{Folder(QStringLiteral("a")), QStringLiteral("initialized")}));
}

void cBrowseForFolderTest::setFolderAndSetStatusWorkWhileOpen() {
  cBrowseForFolder browser;
  browser.SetRootDir(m_dir.path());
  browser.SetStatusText(true);
  QStringList selections;
  connect(&browser, &cBrowseForFolder::SelectionChanged, this,
          [&](const QString& path, bool&) { selections << path; });
  const QString chosen = BrowseWhile(browser, [&](QWidget* dialog) {
    browser.SetFolder(Folder(QStringLiteral("a/inner")));
    browser.SetStatus(QStringLiteral("状态"));
    QCOMPARE(Control<QLabel>(dialog, "lblStatus")->text(), QStringLiteral("状态"));
    ClickOk(dialog);
  });
  QCOMPARE(chosen, Folder(QStringLiteral("a/inner")));
  QCOMPARE(selections.last(), Folder(QStringLiteral("a/inner")));
}

void cBrowseForFolderTest::vetoedSelectionDisablesOk() {
  cBrowseForFolder browser;
  browser.SetRootDir(m_dir.path());
  browser.SetInitialDir(Folder(QStringLiteral("a")));
  connect(&browser, &cBrowseForFolder::SelectionChanged, this,
          [](const QString& path, bool& bAllowOk) { bAllowOk = !path.endsWith(QLatin1String("/b")); });
  bool okForA = false;
  bool okForB = true;
  const QString chosen = BrowseWhile(browser, [&](QWidget* dialog) {
    okForA = Control<QPushButton>(dialog, "cmdOK")->isEnabled();
    browser.SetFolder(Folder(QStringLiteral("b")));
    okForB = Control<QPushButton>(dialog, "cmdOK")->isEnabled();
    ClickOk(dialog);  // disabled: nothing happens
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
  });
  QVERIFY(okForA);
  QVERIFY(!okForB);
  QCOMPARE(chosen, QString());
}

void cBrowseForFolderTest::cancelReturnsEmpty() {
  cBrowseForFolder browser;
  browser.SetInitialDir(Folder(QStringLiteral("b")));
  const QString chosen = BrowseWhile(browser, [](QWidget* dialog) {
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
  });
  QCOMPARE(chosen, QString());
  QCOMPARE(browser.DisplayName(), QString());
}

void cBrowseForFolderTest::invalidTypedFolderClosesWithoutKeepOpen() {
  cBrowseForFolder browser;
  browser.SetInitialDir(Folder(QStringLiteral("a")));
  browser.SetEditBox(true);
  browser.SetValidateEditBox(true);
  browser.SetStatusText(true);
  QStringList messages;
  QString statusShown;
  bool okEnabled = true;
  connect(&browser, &cBrowseForFolder::ValidationFailed, this,
          [&](const QString& message, bool&) {
            messages << message;
            QWidget* dialog = browser.DialogWindow();
            statusShown = Control<QLabel>(dialog, "lblStatus")->text();
            okEnabled = Control<QPushButton>(dialog, "cmdOK")->isEnabled();
          });
  const QString chosen = BrowseWhile(browser, [](QWidget* dialog) {
    auto* edit = Control<QLineEdit>(dialog, "txtFolder");
    edit->setText(QStringLiteral("没有这个"));
    ClickOk(dialog);
  });
  QCOMPARE(messages, QStringList{QStringLiteral("Path invalid: 没有这个")});
  QCOMPARE(statusShown, QStringLiteral("Path invalid: 没有这个"));
  QVERIFY(!okEnabled);
  QCOMPARE(chosen, QString());
}

void cBrowseForFolderTest::invalidTypedFolderStaysOpenWithKeepOpen() {
  cBrowseForFolder browser;
  browser.SetInitialDir(Folder(QStringLiteral("a")));
  browser.SetEditBox(true);
  browser.SetValidateEditBox(true);
  connect(&browser, &cBrowseForFolder::ValidationFailed, this,
          [](const QString&, bool& bKeepOpen) { bKeepOpen = true; });
  bool stillOpen = false;
  bool okAfterNewSelection = false;
  const QString chosen = BrowseWhile(browser, [&](QWidget* dialog) {
    auto* edit = Control<QLineEdit>(dialog, "txtFolder");
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("missing"));
    ClickOk(dialog);
    stillOpen = dialog->isVisible();
    // A new selection makes OK usable again.
    browser.SetFolder(Folder(QStringLiteral("b")));
    okAfterNewSelection = Control<QPushButton>(dialog, "cmdOK")->isEnabled();
    ClickOk(dialog);
  });
  QVERIFY(stillOpen);
  QVERIFY(okAfterNewSelection);
  QCOMPARE(chosen, Folder(QStringLiteral("b")));
}

void cBrowseForFolderTest::typedFolderRelativeToSelectionIsChosen() {
  cBrowseForFolder browser;
  browser.SetInitialDir(Folder(QStringLiteral("a")));
  browser.SetEditBox(true);
  browser.SetValidateEditBox(true);
  const QString chosen = BrowseWhile(browser, [](QWidget* dialog) {
    auto* edit = Control<QLineEdit>(dialog, "txtFolder");
    QCOMPARE(edit->text(), QStringLiteral("a"));  // the selection's name
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("inner"));
    ClickOk(dialog);
  });
  QCOMPARE(chosen, Folder(QStringLiteral("a/inner")));
  QCOMPARE(browser.DisplayName(), QStringLiteral("inner"));
}

void cBrowseForFolderTest::treeStartsAtRootAndIgnoresFoldersOutsideIt() {
  cBrowseForFolder browser;
  browser.SetRootDir(Folder(QStringLiteral("a")));
  browser.SetInitialDir(Folder(QStringLiteral("b")));  // outside the root: no preselection
  QStringList selections;
  connect(&browser, &cBrowseForFolder::SelectionChanged, this,
          [&](const QString& path, bool&) { selections << path; });
  int topItems = -1;
  QString topItem;
  const QString chosen = BrowseWhile(browser, [&](QWidget* dialog) {
    auto* tree = Control<QTreeView>(dialog, "tvwFolders");
    topItems = tree->model()->rowCount(tree->rootIndex());
    topItem = tree->model()->index(0, 0, tree->rootIndex()).data().toString();
    browser.SetFolder(Folder(QStringLiteral("b")));
    ClickOk(dialog);
  });
  QCOMPARE(topItems, 1);
  QCOMPARE(topItem, QStringLiteral("a"));
  QCOMPARE(selections, QStringList{Folder(QStringLiteral("a"))});
  QCOMPARE(chosen, Folder(QStringLiteral("a")));
}

void cBrowseForFolderTest::switchesShowEditBoxAndStatusLine() {
  cBrowseForFolder browser;
  browser.SetTitle(QStringLiteral("请选择要导出到的文件夹"));
  browser.SetUseNewUI(true);
  bool editShown = true;
  bool statusShown = true;
  QString title;
  const QString chosen = BrowseWhile(browser, [&](QWidget* dialog) {
    editShown = Control<QLineEdit>(dialog, "txtFolder")->isVisible();
    statusShown = Control<QLabel>(dialog, "lblStatus")->isVisible();
    title = Control<QLabel>(dialog, "lblTitle")->text();
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
  });
  QVERIFY(!editShown);
  QVERIFY(!statusShown);
  QCOMPARE(title, QStringLiteral("请选择要导出到的文件夹"));
  QCOMPARE(chosen, QString());
}

void cBrowseForFolderTest::newStyleStartsWhereTheLastEndedAndMakesFolders() {
  const QByteArray home = qgetenv("HOME");
  const auto restore = qScopeGuard([home] { qputenv("HOME", home); });
  qputenv("HOME", Folder(QStringLiteral("a")).toLocal8Bit());
  const auto pathOf = [](const QModelIndex& index) { return index.data(QFileSystemModel::FilePathRole).toString(); };
  // Whether the tree offers to expand the folder.
  const auto arrowOn = [](QTreeView* tree, const QString& path) {
    auto* proxy = qobject_cast<QSortFilterProxyModel*>(tree->model());
    auto* files = qobject_cast<QFileSystemModel*>(proxy->sourceModel());
    return proxy->hasChildren(proxy->mapFromSource(files->index(path)));
  };

  // The first new-style dialog of the run opens at home, selected and
  // expanded; a folder typed into the path box is selected, and OK is off
  // while the box names no folder.
  cBrowseForFolder first;
  first.SetUseNewUI(true);
  QStringList seen;
  bool okOnMissing = true;
  const QString chosen = BrowseWhile(first, [&](QWidget* dialog) {
    auto* tree = Control<QTreeView>(dialog, "tvwFolders");
    auto* path = Control<QLineEdit>(dialog, "txtPath");
    seen << pathOf(tree->currentIndex()) << path->text();
    QVERIFY(tree->isExpanded(tree->currentIndex()));
    QVERIFY(Control<QPushButton>(dialog, "cmdNewFolder")->isVisible());
    path->selectAll();
    QTest::keyClicks(path, Folder(QStringLiteral("b/none")));
    okOnMissing = Control<QPushButton>(dialog, "cmdOK")->isEnabled();
    path->selectAll();
    QTest::keyClicks(path, Folder(QStringLiteral("b/")));  // with the trailing "/" that pasted paths have
    seen << pathOf(tree->currentIndex()) << path->text();
    ClickOk(dialog);
  });
  QCOMPARE(seen, (QStringList{Folder("a"), Folder("a"), Folder("b"), Folder("b/")}));
  QVERIFY(!okOnMissing);
  QCOMPARE(chosen, Folder(QStringLiteral("b")));

  // The next one opens at that folder; "新建文件夹" makes a folder in the
  // selected one and selects it; the next gets a number. Only folders that
  // hold folders show an arrow.
  cBrowseForFolder second;
  second.SetUseNewUI(true);
  seen.clear();
  QList<bool> arrows;
  BrowseWhile(second, [&](QWidget* dialog) {
    auto* tree = Control<QTreeView>(dialog, "tvwFolders");
    seen << pathOf(tree->currentIndex());
    arrows << arrowOn(tree, Folder("a")) << arrowOn(tree, Folder("a/inner")) << arrowOn(tree, Folder("b"));
    for (int i = 0; i < 2; ++i) {
      second.SetFolder(Folder(QStringLiteral("b")));
      QTest::mouseClick(Control<QPushButton>(dialog, "cmdNewFolder"), Qt::LeftButton);
      seen << pathOf(tree->currentIndex()) << Control<QLineEdit>(dialog, "txtPath")->text();
    }
    arrows << arrowOn(tree, Folder("b"));
    QTest::mouseClick(Control<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
  });
  QCOMPARE(seen, (QStringList{Folder("b"), Folder("b/新建文件夹"), Folder("b/新建文件夹"), Folder("b/新建文件夹 (2)"),
                              Folder("b/新建文件夹 (2)")}));
  QCOMPARE(arrows, (QList<bool>{true, false, false, true}));
  QVERIFY(QFileInfo(Folder(QStringLiteral("b/新建文件夹 (2)"))).isDir());
}

QTEST_MAIN(cBrowseForFolderTest)
#include "cBrowseForFolderTest.moc"
