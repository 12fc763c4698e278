// The reader window over a small help file of its own (a GBK contents
// file, an index with full-width keywords, several topics and See Also, a
// missing target, a link to a second CHM file beside it) and over corpus
// files: opening, the contents tree following the page, history, the
// index filter and chooser, web links, the encoding override and what the
// window remembers.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>
#include <memory>

#include "TestPaths.h"
#include "app/preview/PreviewEngine.h"
#include "tests/support/chm/ChmBuilder.h"
#include "tests/support/ui/ScratchHomeMain.h"
#include "tests/support/ui/PageScript.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/main/frmVelmora.h"
#include "ui/reader/FindBar.h"
#include "ui/reader/IndexModel.h"
#include "ui/reader/ReaderCommandLine.h"
#include "ui/reader/ReaderSettings.h"
#include "ui/reader/TopicChooser.h"
#include "ui/reader/frmReader.h"

using velmora::test::WaitForScript;
using velmora::ui::frmReader;
using velmora::ui::IndexModel;
using velmora::ui::MsgAnswer;

namespace {

std::string Record(std::uint16_t code, const std::string& data) {
  std::string out;
  for (std::uint16_t value : {code, std::uint16_t(data.size())}) {
    out += char(value & 0xff);
    out += char(value >> 8);
  }
  return out + data;
}

// #SYSTEM with the contents and index files, the default topic, a GBK
// title ("测试手册") and the language (Simplified Chinese).
std::string SystemStream(const std::string& strDefaultTopic) {
  std::string lcid("\x04\x08\x00\x00", 4);
  return std::string("\x03\x00\x00\x00", 4) + Record(0, std::string("toc.hhc", 8)) +
         Record(1, std::string("index.hhk", 10)) + Record(2, strDefaultTopic + '\0') +
         Record(3, std::string("\xb2\xe2\xca\xd4\xca\xd6\xb2\xe1", 9)) + Record(4, lcid + std::string(32, '\0'));
}

std::string Entry(const std::string& strName, const std::string& strLocal) {
  return "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + strName +
         "\"><param name=\"Local\" value=\"" + strLocal + "\"></OBJECT>\n";
}

// 第一章 / 第二节 / 缺失的页 / 另一文件, in GBK as old help compilers wrote them.
const std::string kToc = "<UL>" + Entry("\xb5\xda\xd2\xbb\xd5\xc2", "a.htm") + "<UL>" +
                         Entry("\xb5\xda\xb6\xfe\xbd\xda", "sub\\b.htm") + "</UL>" +
                         Entry("\xc8\xb1\xca\xa7\xb5\xc4\xd2\xb3", "gone.htm") +
                         Entry("\xc1\xed\xd2\xbb\xce\xc4\xbc\xfe", "ms-its:other.chm::/x.htm") + "</UL>";

const std::string kIndex =
    "<UL>" + Entry("Alpha", "a.htm") + Entry("Ｂｅｔａ", "sub/b.htm") +
    "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"两处\">"
    "<param name=\"Name\" value=\"甲\"><param name=\"Local\" value=\"a.htm\">"
    "<param name=\"Name\" value=\"乙\"><param name=\"Local\" value=\"sub/b.htm\"></OBJECT>\n"
    "<UL>" + Entry("子词", "sub/b.htm") + "</UL>" +
    "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"参见词\">"
    "<param name=\"See Also\" value=\"Alpha\"></OBJECT>\n</UL>";

const std::string kPageA =
    "<html><head><meta charset=\"utf-8\"><title>A</title></head><body>"
    "<a id=\"toB\" href=\"sub/b.htm\">B</a> <a id=\"web\" href=\"https://example.com/x\">web</a>"
    "<p>apple, apple and apple</p></body></html>";

const char kOnePixelPng[] =
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==";

bool WriteChm(const QString& strPath, const std::vector<std::pair<std::string, std::string>>& streams) {
  velmora::testsupport::ChmBuilder builder;
  builder.languageId(0x804);
  for (const auto& [name, content] : streams) builder.add(name, content);
  return builder.writeTo(QFile::encodeName(strPath).toStdString());
}

QString Corpus(const char* strName) {
  return QStringLiteral(VELMORA_CORPUS_DIR "/real/") + QString::fromUtf8(strName);
}

// Whether the page with this stored path has been shown and loaded.
bool WaitForPage(frmReader* reader, const QString& strStoredPath) {
  return WaitForScript(reader->PageView()->page(),
                       QStringLiteral("document.readyState == 'complete' && "
                                      "decodeURIComponent(location.pathname).endsWith('::%1')")
                           .arg(strStoredPath));
}

QString CurrentContentsName(frmReader* reader) { return reader->ContentsTree()->currentIndex().data().toString(); }

QModelIndex ContentsItem(frmReader* reader, const QString& strName) {
  const QModelIndexList found = reader->ContentsTree()->model()->match(
      reader->ContentsTree()->model()->index(0, 0), Qt::DisplayRole, strName, 1,
      Qt::MatchExactly | Qt::MatchRecursive);
  return found.value(0);
}

void Click(QTreeView* tree, const QModelIndex& index) {
  tree->scrollTo(index);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualRect(index).center());
}

QStringList VisibleKeywords(frmReader* reader) {
  QStringList keywords;
  const IndexModel* model = reader->IndexKeywords();
  for (int row = 0; row < model->rowCount(); ++row) keywords << model->data(model->index(row)).toString().trimmed();
  return keywords;
}

}  // namespace

class ReaderWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    m_strBook = m_dir.filePath(QStringLiteral("书.chm"));
    QVERIFY(WriteChm(m_strBook, {{"/#SYSTEM", SystemStream("a.htm")},
                                 {"/toc.hhc", kToc},
                                 {"/index.hhk", kIndex},
                                 {"/a.htm", kPageA},
                                 {"/sub/b.htm", "<html><body><p>page b</p></body></html>"}}));
    QVERIFY(WriteChm(m_dir.filePath(QStringLiteral("other.chm")),
                     {{"/x.htm", "<html><body>other file</body></html>"}}));
  }

  // Each test starts with nothing remembered.
  void init() {
    QFile::remove(velmora::ui::ReaderSettings::SettingsFile());
    m_services = std::make_unique<velmora::test::ScriptedUiServices>();
  }

  void cleanup() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (qobject_cast<frmReader*>(window)) window->close();
    }
    // Closed readers delete themselves; their web engine profiles must go
    // before the application does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_services->UnexpectedRequests().isEmpty());
    m_services.reset();
  }

  void readOptionNamesTheFiles() {
    QCOMPARE(velmora::ui::ReaderFilesArgument({"--read", m_strBook}), QStringList{m_strBook});
    QCOMPARE(velmora::ui::ReaderFilesArgument({m_strBook}), QStringList());
    QCOMPARE(velmora::ui::ReaderFilesArgument({"--read"}), QStringList());
  }

  // Opened as --read opens it: title from #SYSTEM in GBK, the default
  // topic shown and found in the tree, the GBK contents decoded.
  void opensAtTheDefaultTopic() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(reader);
    QCOMPARE(reader->windowTitle(), QStringLiteral("测试手册 - 书.chm"));
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第一章"));
  }

  void refusesWhatIsNoChmFile() {
    QVERIFY(!frmReader::OpenWindow(m_dir.filePath(QStringLiteral("nothing.chm"))));
    QCOMPARE(m_services->Messages().size(), 1);
    QVERIFY(m_services->Messages().first().text.contains(QStringLiteral("nothing.chm")));
  }

  // Clicks, history and links in the page: the tree always shows the page.
  void treeFollowsThePage() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    QTreeView* tree = reader->ContentsTree();
    Click(tree, ContentsItem(reader, QStringLiteral("第二节")));
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第二节"));
    reader->Action(QStringLiteral("mnuBack"))->trigger();
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第一章"));
    QVERIFY(reader->Action(QStringLiteral("mnuForward"))->isEnabled());
    reader->Action(QStringLiteral("mnuForward"))->trigger();
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第二节"));
    reader->Action(QStringLiteral("mnuPreviousTopic"))->trigger();
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    reader->PageView()->page()->runJavaScript(QStringLiteral("document.getElementById('toB').click()"));
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    QTRY_COMPARE(CurrentContentsName(reader), QStringLiteral("第二节"));
  }

  // A target the file does not hold: greyed, its reason as tooltip, and
  // clicking it leaves the page as it is.
  void missingTargetIsGreyed() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    const QModelIndex missing = ContentsItem(reader, QStringLiteral("缺失的页"));
    QCOMPARE(missing.data(Qt::ToolTipRole).toString(), QStringLiteral("未找到：/gone.htm"));
    QCOMPARE(missing.data(Qt::ForegroundRole).value<QBrush>().color(),
             QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    Click(reader->ContentsTree(), missing);
    QTest::qWait(300);
    QCOMPARE(reader->CurrentTarget().strStoredPath, QStringLiteral("/a.htm"));
  }

  void missingTargetsOfACorpusFile() {
    QPointer<frmReader> reader = frmReader::OpenWindow(Corpus("09-PyWin32.chm"));
    QVERIFY(reader);
    const QAbstractItemModel* model = reader->ContentsTree()->model();
    const QModelIndexList missing =
        model->match(model->index(0, 0), Qt::ToolTipRole, QStringLiteral("未找到："), -1,
                     Qt::MatchStartsWith | Qt::MatchRecursive);
    QCOMPARE(missing.size(), 9);
  }

  // A link to another CHM file beside this one: the reader reads that
  // file; going back returns to the first.
  void linkToAnotherChmFile() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    Click(reader->ContentsTree(), ContentsItem(reader, QStringLiteral("另一文件")));
    QVERIFY(WaitForPage(reader, QStringLiteral("/x.htm")));
    QTRY_COMPARE(QFileInfo(reader->ChmFile()).fileName(), QStringLiteral("other.chm"));
    QCOMPARE(reader->windowTitle(), QStringLiteral("other.chm"));
    reader->Action(QStringLiteral("mnuBack"))->trigger();
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    QTRY_COMPARE(QFileInfo(reader->ChmFile()).fileName(), QStringLiteral("书.chm"));
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第一章"));
  }

  // A page that sends itself to its file's root address (as pages do that
  // find themselves outside a help viewer) gets the default topic.
  void rootAddressShowsTheDefaultTopic() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    Click(reader->ContentsTree(), ContentsItem(reader, QStringLiteral("第二节")));
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    reader->PageView()->page()->runJavaScript(
        QStringLiteral("location.href = location.href.substring(0, location.href.lastIndexOf('::') + 3)"));
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第一章"));
  }

  // A handbook whose pages send themselves to their address minus its path
  // unless the protocol reads "mk:", as in a help viewer: such a page is
  // shown again under the "mk" scheme, and so are the file's pages after it.
  void pageThatWantsTheMkProtocol() {
    const std::string strCheck =
        "<html><head><title>wrong</title><script>"
        "if (!/^mk:$/i.test(location.protocol)) location.href = location.href.replace(location.pathname, '');"
        "else document.title = 'ok';</script></head><body><p>";
    const QString strHandbook = m_dir.filePath(QStringLiteral("css.chm"));
    QVERIFY(WriteChm(strHandbook,
                     {{"/#SYSTEM", SystemStream("start.htm")},
                      {"/toc.hhc", "<UL>" + Entry("Start", "start.htm") + Entry("A", "p/a.htm") +
                                       Entry("B", "p/b.htm") + "</UL>"},
                      {"/start.htm", "<html><body><p>start</p></body></html>"},
                      {"/p/a.htm", strCheck + "page a</p><img id=i src=\"../i.png\"></body></html>"},
                      {"/p/b.htm", strCheck + "page b</p></body></html>"},
                      {"/i.png", QByteArray::fromBase64(kOnePixelPng).toStdString()}}));
    QPointer<frmReader> reader = frmReader::OpenWindow(strHandbook);
    QWebEnginePage* page = reader->PageView()->page();
    QVERIFY(WaitForPage(reader, QStringLiteral("/start.htm")));
    QVERIFY(WaitForScript(page, QStringLiteral("location.protocol == 'chm:'")));
    for (const QString& strName : {QStringLiteral("A"), QStringLiteral("B")}) {
      Click(reader->ContentsTree(), ContentsItem(reader, strName));
      QVERIFY2(WaitForScript(page, QStringLiteral("document.title == 'ok' && document.body.innerText == 'page %1'"
                                                  " && location.protocol == 'mk:'")
                                       .arg(strName.toLower())),
               qPrintable(strName));
      QCOMPARE(CurrentContentsName(reader), strName);
    }
    Click(reader->ContentsTree(), ContentsItem(reader, QStringLiteral("A")));
    QVERIFY(WaitForScript(page, QStringLiteral("document.getElementById('i').naturalWidth == 1")));
  }

  void webLinkAsksFirst() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    m_services->QueueMessageAnswer(MsgAnswer::Yes);
    reader->PageView()->page()->runJavaScript(QStringLiteral("document.getElementById('web').click()"));
    QTRY_COMPARE(m_services->Opened(), QStringList{QStringLiteral("https://example.com/x")});
    QVERIFY(m_services->Messages().first().text.contains(QStringLiteral("https://example.com/x")));
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
  }

  void indexFilter_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("shown");
    const QString strBook = m_dir.filePath(QStringLiteral("书.chm"));
    QTest::addRow("latin, any case") << strBook << "ALP" << QStringList{"Alpha"};
    QTest::addRow("full-width filter") << strBook << "ａｌｐｈａ" << QStringList{"Alpha"};
    QTest::addRow("full-width keyword") << strBook << "beta" << QStringList{"Ｂｅｔａ"};
    QTest::addRow("sub-keyword brings its keyword") << strBook << "子" << QStringList{"两处", "子词"};
    QTest::addRow("chinese") << strBook << "参见" << QStringList{"参见词"};
    QTest::addRow("nothing") << strBook << "zz" << QStringList();
  }

  void indexFilter() {
    QFETCH(QString, file);
    QFETCH(QString, filter);
    QFETCH(QStringList, shown);
    QPointer<frmReader> reader = frmReader::OpenWindow(file);
    QVERIFY(reader);
    // Typed one character after the other (keyClicks knows Latin-1 only).
    for (const QChar ch : filter) reader->IndexFilter()->insert(QString(ch));
    QCOMPARE(VisibleKeywords(reader), shown);
  }

  // Several topics: a chooser; See Also: the keyword it names.
  void indexChooserAndSeeAlso() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    reader->IndexFilter()->setText(QStringLiteral("两处"));
    QTest::keyClick(reader->IndexFilter(), Qt::Key_Return);
    QTRY_VERIFY(reader->findChild<velmora::ui::TopicChooser*>());
    auto* chooser = reader->findChild<velmora::ui::TopicChooser*>();
    QCOMPARE(chooser->Topics()->count(), 2);
    QCOMPARE(chooser->Topics()->item(1)->text(), QStringLiteral("乙"));
    chooser->Topics()->setCurrentRow(1);
    chooser->accept();
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    reader->IndexFilter()->setText(QStringLiteral("参见词"));
    QTest::keyClick(reader->IndexFilter(), Qt::Key_Return);
    QCOMPARE(reader->IndexFilter()->text(), QStringLiteral("Alpha"));
    QCOMPARE(reader->IndexList()->currentIndex().data().toString(), QStringLiteral("Alpha"));
  }

  void indexFilterOfACorpusFile() {
    QPointer<frmReader> reader = frmReader::OpenWindow(Corpus("01-UDFs3CHS.chm"));
    QVERIFY(reader);
    QCOMPARE(reader->IndexKeywords()->rowCount(), 2729);
    for (const QChar ch : QStringLiteral("自定义")) reader->IndexFilter()->insert(QString(ch));
    QCOMPARE(VisibleKeywords(reader), (QStringList{"用户自定义函数", "用户自定义函数说明"}));
    reader->IndexFilter()->clear();
    QTest::keyClicks(reader->IndexFilter(), QStringLiteral("_EXCELsheet"));
    QCOMPARE(VisibleKeywords(reader),
             (QStringList{"_ExcelSheetActivate", "_ExcelSheetAddNew", "_ExcelSheetDelete", "_ExcelSheetList",
                          "_ExcelSheetMove", "_ExcelSheetNameGet", "_ExcelSheetNameSet"}));
  }

  // The override re-decodes the names and the page (whatever it declares)
  // and is remembered for the file.
  void encodingOverride() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    reader->Action(QStringLiteral("mnuEncoding_Big5"))->trigger();
    QVERIFY(!ContentsItem(reader, QStringLiteral("第一章")).isValid());
    QVERIFY(WaitForScript(reader->PageView()->page(), QStringLiteral("document.characterSet == 'Big5'")));
    QCOMPARE(reader->windowTitle().endsWith(QStringLiteral(" - 书.chm")), true);
    reader->close();
    reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(reader->Action(QStringLiteral("mnuEncoding_Big5"))->isChecked());
    QVERIFY(!ContentsItem(reader, QStringLiteral("第一章")).isValid());
    reader->Action(QStringLiteral("mnuEncoding_auto"))->trigger();
    QVERIFY(ContentsItem(reader, QStringLiteral("第一章")).isValid());
  }

  void remembersPageAndZoom() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    Click(reader->ContentsTree(), ContentsItem(reader, QStringLiteral("第二节")));
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    reader->Action(QStringLiteral("mnuZoomIn"))->trigger();
    reader->close();
    reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/sub/b.htm")));
    QCOMPARE(reader->PageView()->zoomFactor(), 1.1);
    QCOMPARE(CurrentContentsName(reader), QStringLiteral("第二节"));
    reader->Action(QStringLiteral("mnuZoomReset"))->trigger();
  }

  void findInPageCountsMatches() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    reader->Action(QStringLiteral("mnuFind"))->trigger();
    QVERIFY(reader->Finder()->isVisible());
    QTest::keyClicks(reader->Finder()->TextBox(), QStringLiteral("apple"));
    QTRY_COMPARE(reader->Finder()->CountText(), QStringLiteral("1/3"));
    reader->Finder()->FindNext();
    QTRY_COMPARE(reader->Finder()->CountText(), QStringLiteral("2/3"));
  }

  void printsToTheChosenPdfFile() {
    QPointer<frmReader> reader = frmReader::OpenWindow(m_strBook);
    QVERIFY(WaitForPage(reader, QStringLiteral("/a.htm")));
    const QString strPdf = m_dir.filePath(QStringLiteral("a.pdf"));
    m_services->QueueFiles({strPdf});
    QSignalSpy printed(reader->PageView()->page(), &QWebEnginePage::pdfPrintingFinished);
    reader->Action(QStringLiteral("mnuPrint"))->trigger();
    // A close while the file is written waits for it.
    reader->close();
    QVERIFY(reader->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(printed.size(), 1, 20000);
    QCOMPARE(printed.first().at(1).toBool(), true);
    QTRY_VERIFY(!reader);  // closed, and deleted
    QFile pdf(strPdf);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
  }

  // The main window's new entry reads the file it has open.
  void mainWindowReadsItsFile() {
    velmora::ui::frmVelmora main;
    main.SetArguments({m_strBook});
    main.Form_Load();
    QVERIFY(main.IsLoaded());
    main.findChild<QAction*>(QStringLiteral("mnuRead"))->trigger();
    frmReader* reader = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<frmReader*>(window)) reader = found;
    }
    QVERIFY(reader);
    QCOMPARE(reader->ChmFile(), QFileInfo(m_strBook).absoluteFilePath());
  }

 private:
  QTemporaryDir m_dir;
  QString m_strBook;
  std::unique_ptr<velmora::test::ScriptedUiServices> m_services;
};

int main(int argc, char** argv) { return velmora::test::RunInScratchHome<ReaderWindowTest>(argc, argv); }

#include "ReaderWindowTest.moc"
