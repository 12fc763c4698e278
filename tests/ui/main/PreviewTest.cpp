// The content list's preview through the real window: the address for
// each kind of item (in place, extracted copy, forced copy, folder,
// refused), the confirmations for executables and scripts and their
// answers, auto-browse moving the selection, the preview folder, a CHM
// file moved away after listing, drops and the offer to add files on the
// content list, and pages loaded in place for real. (The preview options'
// check marks are tested with the window's menus in frmVelmoraTest.)

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QtTest>
#include <memory>
#include <optional>

#include "tests/support/ui/PageScript.h"
#include "tests/ui/main/MainTests.h"
#include "tests/ui/main/OpenWindowHarness.h"
#include "ui/common/ucFirefoxWait.h"

using velmora::test::DropOn;
using velmora::test::FixtureChm;
using velmora::test::OpenWindowHarness;
using velmora::test::ReadAll;
using velmora::test::RowTexts;
using velmora::test::WaitForScript;
using velmora::ui::MsgAnswer;
using velmora::ui::MsgButtons;
using velmora::ui::MsgIcon;
using velmora::ui::frmVelmora;

Q_DECLARE_METATYPE(velmora::ui::MsgAnswer)
Q_DECLARE_METATYPE(velmora::ui::MsgIcon)

namespace {

const QString kHostileName = QStringLiteral("<img src=x onerror=alert(1)>.exe");

// The stored files of the test's own CHM file, in directory order.
const std::vector<std::pair<std::string, std::string>> kStreams{
    {"/index.htm", "<html><head><title>Top</title></head><body>top</body></html>"},
    {"/a.EXE", "MZ an executable"},
    {"/x.js", "var x = 1;"},
    {"/toc.hhc",
     "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"contents\">"
     "<param name=\"Local\" value=\"index.htm\"></object></ul>"},
    {"/docs/sub/page.htm", "<p>deep page</p>"},
    {"/style.css", "body { color: red }"},
    {"/" + kHostileName.toStdString(), "MZ"},
    {"/tools/setup.exe", "MZ setup"},
};

QString Stored(const std::string& strName) {
  for (const auto& [name, content] : kStreams) {
    if (name == strName) return QString::fromStdString(content);
  }
  return QString();
}

}  // namespace

class PreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_strCHM = m_dir.filePath(QStringLiteral("preview #1 帮助.chm"));
    QVERIFY(velmora::test::WriteChm(m_strCHM, kStreams));
  }

  void init() {
    // Each case starts without preview copies.
    QDir(PreviewFolder()).removeRecursively();
  }

  void inPlaceAddress_data() {
    QTest::addColumn<QString>("file");  // empty: the test's own CHM file
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("inside");
    QTest::addRow("top-level page") << QString() << "\\index.htm" << "::/index.htm";
    // Below the top the folder path follows the colons directly.
    QTest::addRow("page two folders down") << QString() << "docs\\sub\\page.htm" << "::docs/sub/page.htm";
    QTest::addRow("picture") << FixtureChm(QStringLiteral("nested")) << "html\\images\\logo.gif"
                             << "::html/images/logo.gif";
    QTest::addRow("Chinese names") << FixtureChm(QStringLiteral("chinese")) << "中文目录\\无声明.htm"
                                   << "::中文目录/无声明.htm";
  }

  void inPlaceAddress() {
    QFETCH(QString, file);
    QFETCH(QString, key);
    QFETCH(QString, inside);
    const QString strFile = file.isEmpty() ? m_strCHM : file;
    OpenWindowHarness w;
    w.Open(strFile);
    const int lngRow = w.RowOf(key);
    w.Items()->setCurrentRow(lngRow);
    QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + strFile + inside);
    const auto& item = w.window.Items()[std::size_t(lngRow)];
    QCOMPARE(w.Status(), QStringLiteral("    ") + key + QStringLiteral("，大小：") + QString::number(item.Size));
    QVERIFY(w.services.Messages().isEmpty());
    QVERIFY(!QFileInfo::exists(PreviewFolder()));
  }

  void aMouseClickOnARowPreviewsIt() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    QCoreApplication::processEvents();
    const QRect rect = w.Items()->visualItemRect(w.Items()->item(w.RowOf(QStringLiteral("\\index.htm"))));
    QTest::mouseClick(w.Items()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + m_strCHM + QStringLiteral("::/index.htm"));
  }

  void copies_data() {
    QTest::addColumn<bool>("extracted");  // the extracted-preview option
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("copy");     // extension of the preview copy
    QTest::addColumn<std::string>("stored");
    QTest::addRow("page, extracted preview") << true << "\\index.htm" << "htm" << std::string("/index.htm");
    QTest::addRow("nested page, extracted preview")
        << true << "docs\\sub\\page.htm" << "htm" << std::string("/docs/sub/page.htm");
    QTest::addRow("style sheet, in place") << false << "\\style.css" << "htm" << std::string("/style.css");
    QTest::addRow("style sheet, extracted") << true << "\\style.css" << "htm" << std::string("/style.css");
  }

  void copies() {
    QFETCH(bool, extracted);
    QFETCH(QString, key);
    QFETCH(QString, copy);
    QFETCH(std::string, stored);
    OpenWindowHarness w;
    w.Open(m_strCHM);
    if (extracted) w.Action(QStringLiteral("mnuPreview"))->trigger();
    w.Items()->setCurrentRow(w.RowOf(key));
    const QString strCopy = frmVelmora::GetPreviewFilePrefix() + copy;
    QTRY_COMPARE(w.Address(), strCopy);
    QCOMPARE(QString::fromUtf8(ReadAll(strCopy)), Stored(stored));
  }

  // A contents file is shown as its entries, not as empty bullets.
  void tableOfContentsIsShownAsItsEntries() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\toc.hhc")));
    const QString strCopy = frmVelmora::GetPreviewFilePrefix() + QStringLiteral("htm");
    // The copy is made off the window's thread; the pane follows when it is done.
    QTRY_COMPARE(w.Address(), strCopy);
    QVERIFY(QString::fromUtf8(ReadAll(strCopy)).contains(QStringLiteral("<li>contents <span class=\"target\">index.htm</span>")));
  }

  void confirmations_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("extracted");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<QString>("copy");  // the preview copy's extension
    const QString exe = QStringLiteral("这是可执行文件，是否真要预览？");
    const QString js = QStringLiteral("这是脚本文件，是否真要预览？");
    QTest::addRow("a.EXE, yes, in place") << "\\a.EXE" << "a.EXE" << false << MsgAnswer::Yes << exe
                                          << MsgIcon::Warning << "exe";
    QTest::addRow("a.EXE, yes, extracted") << "\\a.EXE" << "a.EXE" << true << MsgAnswer::Yes << exe
                                           << MsgIcon::Warning << "exe";
    QTest::addRow("a.EXE, no") << "\\a.EXE" << "a.EXE" << true << MsgAnswer::No << exe << MsgIcon::Warning
                               << "exe";
    QTest::addRow("x.js, yes, in place") << "\\x.js" << "x.js" << false << MsgAnswer::Yes << js
                                         << MsgIcon::Question << "txt";
    QTest::addRow("x.js, yes, extracted as text") << "\\x.js" << "x.js" << true << MsgAnswer::Yes << js
                                                  << MsgIcon::Question << "txt";
    QTest::addRow("x.js, no") << "\\x.js" << "x.js" << true << MsgAnswer::No << js << MsgIcon::Question << "txt";
  }

  void confirmations() {
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(bool, extracted);
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, question);
    QFETCH(MsgIcon, icon);
    QFETCH(QString, copy);
    OpenWindowHarness w;
    w.Open(m_strCHM);
    if (extracted) w.Action(QStringLiteral("mnuPreview"))->trigger();
    w.services.QueueMessageAnswer(answer);
    const int lngRow = w.RowOf(key);
    w.Items()->setCurrentRow(lngRow);
    QCOMPARE(w.MessageTexts(), QStringList{question});
    const auto& request = w.services.Messages().first();
    QCOMPARE(request.buttons, MsgButtons::YesNo);
    QCOMPARE(request.defaultButton, MsgAnswer::No);
    QCOMPARE(request.icon, icon);
    const QString strCopy = frmVelmora::GetPreviewFilePrefix() + copy;
    if (answer == MsgAnswer::No) {
      QCOMPARE(w.Address(), QStringLiteral("about:<font color=red>(危险文件，已经忽略：") + name +
                                QStringLiteral(")</font>"));
      QVERIFY(!QFileInfo::exists(strCopy));
    } else if (extracted) {
      QTRY_COMPARE(w.Address(), strCopy);
      QCOMPARE(QString::fromUtf8(ReadAll(strCopy)), Stored("/" + name.toStdString()));
    } else {
      QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + m_strCHM + QStringLiteral("::/") + name);
    }
    // The status line shows the item whatever the answer.
    QCOMPARE(w.Status(), QStringLiteral("    ") + key + QStringLiteral("，大小：") +
                             QString::number(w.window.Items()[std::size_t(lngRow)].Size));
  }

  void refusedNameIsShownAsText() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    w.services.QueueMessageAnswer(MsgAnswer::No);
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\") + kHostileName));
    QCOMPARE(w.Address(),
             QStringLiteral("about:<font color=red>(危险文件，已经忽略：&lt;img src=x onerror=alert(1)&gt;.exe)</font>"));
  }

  void folderWithoutAutoBrowse() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    w.Action(QStringLiteral("mnuAutoViewHTML"))->trigger();
    QVERIFY(!w.Action(QStringLiteral("mnuAutoViewHTML"))->isChecked());
    const int lngRow = w.RowOf(QStringLiteral("\\docs"));
    w.Items()->setCurrentRow(lngRow);
    QCOMPARE(w.Address(), QStringLiteral("about:(这是目录)"));
    QCOMPARE(w.Status(), QStringLiteral("    \\docs，大小：0"));
    QCOMPARE(w.Items()->currentRow(), lngRow);
  }

  void autoBrowseMovesToTheNextFile() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    QVERIFY(w.Action(QStringLiteral("mnuAutoViewHTML"))->isChecked());
    const int lngFolder = w.RowOf(QStringLiteral("\\docs"));
    const int lngPage = w.RowOf(QStringLiteral("docs\\sub\\page.htm"));
    QCOMPARE(lngPage, lngFolder + 2);
    w.Items()->setCurrentRow(lngFolder);
    QCOMPARE(w.Items()->currentRow(), lngPage);
    QCOMPARE(w.Items()->selectedItems(), QList<QListWidgetItem*>{w.Items()->item(lngPage)});
    QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + m_strCHM + QStringLiteral("::docs/sub/page.htm"));
    QCOMPARE(w.Status(), QStringLiteral("    docs\\sub\\page.htm，大小：16"));
  }

  void autoBrowseAsksOnceForTheFileFound() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    w.services.QueueMessageAnswer(MsgAnswer::Yes);
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\tools")));
    // One question (a second would find no preset answer and fail).
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("这是可执行文件，是否真要预览？")});
    QCOMPARE(w.Items()->currentRow(), w.RowOf(QStringLiteral("tools\\setup.exe")));
    QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + m_strCHM + QStringLiteral("::tools/setup.exe"));
  }

  void autoBrowseByMouseSelectsOnlyTheFileFound() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    const int lngFolder = w.RowOf(QStringLiteral("\\docs"));
    const int lngPage = w.RowOf(QStringLiteral("docs\\sub\\page.htm"));
    const QRect rect = w.Items()->visualItemRect(w.Items()->item(lngFolder));
    QTest::mouseClick(w.Items()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(w.Items()->currentRow(), lngPage);
    QCOMPARE(w.Items()->selectedItems(), QList<QListWidgetItem*>{w.Items()->item(lngPage)});
    QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + m_strCHM + QStringLiteral("::docs/sub/page.htm"));
  }

  // The list takes the focus by the keyboard, or when the window is
  // activated again: nothing is previewed and no row becomes current, so
  // a click on the first row still previews it, and so does a key press.
  void takingTheFocusPreviewsNothing_data() {
    QTest::addColumn<bool>("byKey");  // the first row chosen by the Down key, else by a click
    QTest::addRow("then a click") << false;
    QTest::addRow("then the Down key") << true;
  }

  void takingTheFocusPreviewsNothing() {
    QFETCH(bool, byKey);
    OpenWindowHarness w;
    w.Open(m_strCHM);
    const QString strStatus = w.Status();
    const QString strAddress = w.Address();
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.Find<QWidget>(QStringLiteral("txtProgress"))->setFocus(Qt::OtherFocusReason);
    w.Items()->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w.Items()->hasFocus());
    QTest::qWait(50);
    QCOMPARE(w.Address(), strAddress);
    QCOMPARE(w.Status(), strStatus);
    QCOMPARE(w.Items()->currentRow(), -1);

    if (byKey) {
      QTest::keyClick(w.Items(), Qt::Key_Down);
    } else {
      const QRect rect = w.Items()->visualItemRect(w.Items()->item(0));
      QTest::mouseClick(w.Items()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    QCOMPARE(w.Items()->currentRow(), 0);
    QCOMPARE(w.Address(), QStringLiteral("mk:@MSITStore:") + m_strCHM + QStringLiteral("::/index.htm"));
  }

  void previewFolderIsCreatedInTheCacheOnFirstUse() {
    const QString strCache = QString::fromLocal8Bit(qgetenv("XDG_CACHE_HOME"));
    QVERIFY(!strCache.isEmpty());
    QCOMPARE(frmVelmora::GetPreviewFilePrefix(),
             QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/预览/~preview."));
    QVERIFY(frmVelmora::GetPreviewFilePrefix().startsWith(strCache + QLatin1Char('/')));
    QVERIFY(!QFileInfo::exists(PreviewFolder()));
    OpenWindowHarness w;
    w.Open(m_strCHM);
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\toc.hhc")));
    QTRY_COMPARE(w.Address(), frmVelmora::GetPreviewFilePrefix() + QStringLiteral("htm"));
    QVERIFY(QFileInfo(PreviewFolder()).isDir());
    QCOMPARE(QDir(PreviewFolder()).entryList(QDir::Files), QStringList{QStringLiteral("~preview.htm")});
  }

  void noCurrentRowShowsNothingNew() {
    OpenWindowHarness w;
    w.Open(m_strCHM);
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\index.htm")));
    const QString strAddress = w.Address();
    const QString strStatus = w.Status();
    w.Items()->setCurrentRow(-1);
    w.window.lstItems_Click();
    QCOMPARE(w.Address(), strAddress);
    QCOMPARE(w.Status(), strStatus);
  }

  void fileMovedAwayAfterListing_data() {
    QTest::addColumn<bool>("extracted");
    QTest::addColumn<QString>("address");  // %1 the CHM file
    QTest::addRow("extracted preview") << true << "about:文件不存在：%1";
    QTest::addRow("forced copy") << false << "about:文件不存在：%1";
  }

  void fileMovedAwayAfterListing() {
    QFETCH(bool, extracted);
    QFETCH(QString, address);
    QTemporaryDir dir;
    const QString strCopy = dir.filePath(QStringLiteral("moved.chm"));
    QVERIFY(QFile::copy(m_strCHM, strCopy));
    OpenWindowHarness w;
    w.Open(strCopy);
    if (extracted) w.Action(QStringLiteral("mnuPreview"))->trigger();
    QVERIFY(QFile::rename(strCopy, dir.filePath(QStringLiteral("elsewhere.chm"))));
    w.Items()->setCurrentRow(w.RowOf(extracted ? QStringLiteral("\\index.htm") : QStringLiteral("\\toc.hhc")));
    QTRY_COMPARE(w.Address(), address.arg(strCopy));
    QVERIFY(!QFileInfo::exists(PreviewFolder() + QStringLiteral("/~preview.htm")));
    // In place the pane gets the address and shows its own notice.
    if (extracted) w.Action(QStringLiteral("mnuViewInplace"))->trigger();
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("docs\\sub\\page.htm")));
    QVERIFY(w.Address().startsWith(QStringLiteral("mk:@MSITStore:") + strCopy));
  }

  void failedCopiesSayWhy_data() {
    QTest::addColumn<bool>("extracted");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("reason");
    QTest::addRow("bomb") << false << "\\toc.hhc" << "文件太大，不能实时预览，请抽取后查看。";
    QTest::addRow("index past the end of the file") << false << "\\index.hhk" << "文件已损坏，无法读取。";
    QTest::addRow("page past the end, extracted preview") << true << "\\lost.htm" << "文件已损坏，无法读取。";
  }

  // A copy that cannot be made shows why instead of the page before it,
  // leaves nothing in the preview folder, and never holds up the window:
  // the key pressed right after the click is answered at once. A stored
  // file whose listed length is a bomb's (3 GiB) is not decoded at all.
  void failedCopiesSayWhy() {
    QFETCH(bool, extracted);
    QFETCH(QString, key);
    QFETCH(QString, reason);
    const QString strChm = m_dir.filePath(QStringLiteral("failing.chm"));
    velmora::testsupport::ChmBuilder builder;
    builder.add("/index.htm", "<title>first</title>");
    builder.add({"/toc.hhc", "<ul>", std::nullopt, std::uint64_t(3) << 30, 0});
    builder.add({"/index.hhk", "<ul>", std::uint64_t(1) << 40, std::nullopt, 0});
    builder.add({"/lost.htm", "<p>", std::uint64_t(1) << 40, std::nullopt, 0});
    builder.add("/last.htm", "<title>last</title>");
    QVERIFY(builder.writeTo(QFile::encodeName(strChm).toStdString()));
    OpenWindowHarness w;
    w.Open(strChm);
    if (extracted) w.Action(QStringLiteral("mnuPreview"))->trigger();
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\index.htm")));
    const QString strFirst = w.Address();
    const int lngRow = w.RowOf(key);

    QElapsedTimer timer;
    timer.start();
    w.Items()->setCurrentRow(lngRow);
    QTest::keyClick(w.Items(), Qt::Key_Down);
    const qint64 lngAnsweredMs = timer.elapsed();
    QCOMPARE(w.Items()->currentRow(), lngRow + 1);
    QVERIFY2(lngAnsweredMs < 1000, qPrintable(QString::number(lngAnsweredMs)));

    QTest::keyClick(w.Items(), Qt::Key_Up);
    const auto& item = w.window.Items()[std::size_t(lngRow)];
    QCOMPARE(w.Status(), QStringLiteral("    ") + key + QStringLiteral("，大小：") + QString::number(item.Size));
    QTRY_VERIFY(w.Address() != strFirst && !w.Find<ucFirefoxWait>(QStringLiteral("fwProgress"))->IsPlaying());
    QVERIFY2(w.Address().contains(QStringLiteral("(无法预览：failing.chm::") + key.mid(1) + QLatin1Char(')')),
             qPrintable(w.Address()));
    QVERIFY(w.Address().contains(reason));
    QCOMPARE(QDir(PreviewFolder()).entryList(QDir::Files | QDir::Hidden), QStringList());
  }

  void dropOpensTheFirstFileOnly() {
    OpenWindowHarness w;
    const QString strGuide = FixtureChm(QStringLiteral("guide"));
    w.window.AddBatchFile(QStringLiteral("/x/old.chm"));
    DropOn(w.Items(), {strGuide, FixtureChm(QStringLiteral("nested"))});
    QCOMPARE(w.window.CHMFile(), strGuide);
    QVERIFY(w.window.IsLoaded());
    QCOMPARE(w.Items()->count(), 10);
    // Both lists were emptied; the file is the CHM file list's only row.
    QCOMPARE(RowTexts(w.Files()), QStringList{strGuide});
    // A drop without files does nothing.
    DropOn(w.Items(), {});
    QCOMPARE(w.window.CHMFile(), strGuide);
    QCOMPARE(w.Items()->count(), 10);
  }

  void clickOnTheEmptyContentListOffersToAddFiles_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addRow("yes opens the dialog") << MsgAnswer::Yes;
    QTest::addRow("no leaves everything") << MsgAnswer::No;
  }

  void clickOnTheEmptyContentListOffersToAddFiles() {
    QFETCH(MsgAnswer, answer);
    OpenWindowHarness w;
    w.services.QueueMessageAnswer(answer);
    if (answer == MsgAnswer::Yes) w.services.QueueFiles({FixtureChm(QStringLiteral("guide"))});
    QTest::mouseClick(w.Items()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(w.MessageTexts(), QStringList{QStringLiteral("还没有文件，是否马上添加？")});
    QCOMPARE(w.services.Messages().first().icon, MsgIcon::Question);
    QCOMPARE(w.window.IsLoaded(), answer == MsgAnswer::Yes);
    QCOMPARE(w.Items()->count(), answer == MsgAnswer::Yes ? 10 : 0);
    QCOMPARE(w.services.UnusedAnswers(), 0);
  }

  void emptyStreamShowsAnEmptyPage_data() {
    QTest::addColumn<bool>("extracted");
    QTest::addRow("in place") << false;
    QTest::addRow("extracted preview") << true;
  }

  // An empty stored page after another page: the pane is emptied, in place
  // and from an extracted copy (an older copy is not shown).
  void emptyStreamShowsAnEmptyPage() {
    QFETCH(bool, extracted);
    const QString strChm = m_dir.filePath(QStringLiteral("empty.chm"));
    QVERIFY(velmora::test::WriteChm(strChm, {{"/index.htm", "<title>first</title><p>first page</p>"},
                                             {"/empty.htm", ""}}));
    OpenWindowHarness w;
    w.Open(strChm);
    if (extracted) w.Action(QStringLiteral("mnuPreview"))->trigger();
    QWebEnginePage* page = w.Preview()->page();
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\index.htm")));
    QVERIFY(WaitForScript(page, QStringLiteral("document.title === 'first'")));
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\empty.htm")));
    QVERIFY(WaitForScript(page, QStringLiteral("document.title === '' && document.documentElement.innerText === ''")));
  }

  // The page, its picture and its style sheet come from inside the CHM
  // file through the registered schemes, whatever characters its path holds.
  void pageLoadsInPlace() {
    // A path with a blank, "#", "?", "%" and Chinese characters.
    const QString strCopy = m_dir.filePath(QStringLiteral("in place #?%帮助.chm"));
    QVERIFY(QFile::copy(FixtureChm(QStringLiteral("inplace")), strCopy));
    OpenWindowHarness w;
    w.Open(strCopy);
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("\\index.htm")));
    QWebEnginePage* page = w.Preview()->page();
    QVERIFY(WaitForScript(page, QStringLiteral("document.title === 'In place'")));
    QVERIFY(WaitForScript(page, QStringLiteral("document.getElementById('pic').complete && "
                                               "document.getElementById('pic').naturalWidth === 1")));
    QVERIFY(WaitForScript(page, QStringLiteral("document.styleSheets.length === 1 && "
                                               "document.styleSheets[0].cssRules.length > 0")));
    // A page below the top, whose address has no slash after the colons,
    // reaches its picture one folder up.
    w.Items()->setCurrentRow(w.RowOf(QStringLiteral("sub\\page2.htm")));
    QVERIFY(WaitForScript(page, QStringLiteral("document.title === 'Page 2' && document.images[0].complete && "
                                               "document.images[0].naturalWidth === 1")));
  }

 private:
  static QString PreviewFolder() {
    QString strPrefix = frmVelmora::GetPreviewFilePrefix();
    return strPrefix.left(strPrefix.lastIndexOf(QLatin1Char('/')));
  }

  QTemporaryDir m_dir;
  QString m_strCHM;
};

VELMORA_REGISTER_TEST(PreviewTest)
#include "PreviewTest.moc"
