// Pages served in place from CHM files in a real web view: relative
// pictures, style sheets and links, "../" at the root, legacy charsets,
// awkward file paths, links to other CHM files, and files the preview was
// never given.

#include <QDir>
#include <algorithm>
#include <vector>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include "WebTestSupport.h"
#include "TestPaths.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmUrl.h"
#include "app/preview/PreviewSandbox.h"
#include "platform/storage/ChmArchive.h"
#include "tests/support/chm/ChmBuilder.h"

using namespace velmora::app;
using namespace velmora::testsupport;

namespace {

QString Address(const QString& strChm, const QString& strStored) {
  return QStringLiteral("mk:@MSITStore:") + strChm + QStringLiteral("::") + strStored;
}

// Sets window.r[key] to "loaded" or "failed" once the picture settles.
QString ProbeImage(const QString& strKey, const QString& strSrc) {
  return QStringLiteral("<img src=\"%2\" onload=\"r['%1']='loaded'\" onerror=\"r['%1']='failed'\">")
      .arg(strKey, strSrc);
}

// An invisible frame with the given id and address.
QString ProbeFrame(const QString& strKey, const QString& strSrc) {
  return QStringLiteral("<iframe id=\"%1\" src=\"%2\" width=1 height=1></iframe>").arg(strKey, strSrc);
}

}  // namespace

class InPlacePreviewTest : public QObject {
  Q_OBJECT

 public:
  // Runs only the tests that read the shared corpus; the other runs skip them.
  bool blnCorpusRun = false;

 private slots:
  void init();
  void cleanup();
  void relativePictureAndStyleSheet();
  void linkToSubfolderAndBack();
  void parentReferencesStopAtTheRoot();
  void legacyCharsets_data();
  void legacyCharsets();
  void awkwardFilePaths_data();
  void awkwardFilePaths();
  void pagesSeeAHelpViewerAddress();
  void linksToOtherChmFiles();
  void siblingReadsRefused_data();
  void siblingReadsRefused();
  void unknownFilesRefused();
  void largeStreamServed();
  void emptyStreamShowsAnEmptyPage();
  void streamBomb();
  void damagedStreamsFailCleanly();
  void addressesThatServeNothing_data();
  void addressesThatServeNothing();
  void realHelpFiles_data();
  void realHelpFiles();

 private:
  bool Show(const QString& strChm, const QString& strStored);

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<ChmPreviewService> m_service;
  std::unique_ptr<QWebEngineView> m_view;
};

void InPlacePreviewTest::init() {
  m_dir = std::make_unique<QTemporaryDir>();
  m_service = std::make_unique<ChmPreviewService>();
  m_view = std::make_unique<QWebEngineView>();
  m_view->resize(400, 300);
  HardenPreview(m_view.get(), *m_service);
}

void InPlacePreviewTest::cleanup() {
  m_view.reset();
  m_service.reset();
}

bool InPlacePreviewTest::Show(const QString& strChm, const QString& strStored) {
  m_service->OpenForPreview(strChm);
  const QUrl url = m_service->UrlForAddress(Address(strChm, strStored));
  return url.isValid() && LoadAndWait(*m_view, url);
}

void InPlacePreviewTest::relativePictureAndStyleSheet() {
  QVERIFY(Show(FixtureFile("inplace.chm"), "/index.htm"));
  QVERIFY(WaitForJs(*m_view, "document.getElementById('pic').complete"));
  QVERIFY(EvalJs(*m_view, "document.getElementById('pic').naturalWidth").toInt() > 0);
  QCOMPARE(EvalJs(*m_view, "getComputedStyle(document.body).color").toString(), QStringLiteral("rgb(1, 2, 3)"));
  // The style sheet's own "../images/bg.gif" resolves from css/ to the root.
  const QString strBackground = EvalJs(*m_view, "getComputedStyle(document.body).backgroundImage").toString();
  QVERIFY2(strBackground.startsWith("url(\""), qPrintable(strBackground));
  const auto location = ChmUrl::FromUrl(QUrl(strBackground.mid(5).chopped(2)));
  QVERIFY(location);
  QCOMPARE(location->strStoredPath, QStringLiteral("/images/bg.gif"));
  EvalJs(*m_view, "window.r = {}; var i = new Image(); i.onload = function() { r.bg = i.naturalWidth; };"
                  "i.onerror = function() { r.bg = -1; }; i.src = '" + strBackground.mid(5).chopped(2) + "'; 0");
  QVERIFY(WaitForJs(*m_view, "r.bg !== undefined"));
  QVERIFY(EvalJs(*m_view, "r.bg").toInt() > 0);
}

void InPlacePreviewTest::linkToSubfolderAndBack() {
  QVERIFY(Show(FixtureFile("inplace.chm"), "/index.htm"));
  QSignalSpy finished(m_view.get(), &QWebEngineView::loadFinished);
  EvalJs(*m_view, "document.getElementById('next').click(); 0");
  QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 15000);
  QVERIFY(finished.first().first().toBool());
  const auto location = ChmUrl::FromUrl(m_view->url());
  QVERIFY(location);
  QCOMPARE(location->strStoredPath, QStringLiteral("/sub/page2.htm"));
  QCOMPARE(EvalJs(*m_view, "document.title").toString(), QStringLiteral("Page 2"));
  QVERIFY(WaitForJs(*m_view, "document.images[0].complete"));
  QVERIFY(EvalJs(*m_view, "document.images[0].naturalWidth").toInt() > 0);
  QCOMPARE(EvalJs(*m_view, "getComputedStyle(document.body).color").toString(), QStringLiteral("rgb(1, 2, 3)"));
  finished.clear();
  EvalJs(*m_view, "document.links[0].click(); 0");
  QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 15000);
  QCOMPARE(EvalJs(*m_view, "document.title").toString(), QStringLiteral("In place"));
}

void InPlacePreviewTest::parentReferencesStopAtTheRoot() {
  QVERIFY(Show(FixtureFile("inplace.chm"), "/sub/page2.htm"));
  const QUrl resolved(EvalJs(*m_view, "new URL('../../../../images/pic.png', location.href).href").toString());
  const auto location = ChmUrl::FromUrl(resolved);
  QVERIFY(location);
  QCOMPARE(location->strChmFile, FixtureFile("inplace.chm"));
  QCOMPARE(location->strStoredPath, QStringLiteral("/images/pic.png"));
  EvalJs(*m_view, "window.r = {}; var i = new Image(); i.onload = function() { r.pic = 'loaded'; };"
                  "i.src = '../../../../images/pic.png'; 0");
  QVERIFY(WaitForJs(*m_view, "r.pic === 'loaded'"));
}

void InPlacePreviewTest::legacyCharsets_data() {
  QTest::addColumn<QString>("stored");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("characterSet");
  QTest::newRow("GBK page without a declaration")
      << "/中文目录/无声明.htm" << "GBK 编码的页面，没有字符集声明。" << "GBK";
  QTest::newRow("GBK page declaring gb2312") << "/中文目录/有声明.htm" << "GBK 编码的页面，声明了字符集。" << "GBK";
  QTest::newRow("UTF-8 page declaring it") << "/index.htm" << "UTF-8 页面，带有字符集声明。" << "UTF-8";
}

void InPlacePreviewTest::legacyCharsets() {
  QFETCH(QString, stored);
  QFETCH(QString, text);
  QFETCH(QString, characterSet);
  QVERIFY(Show(FixtureFile("chinese.chm"), stored));
  QCOMPARE(EvalJs(*m_view, "document.characterSet").toString(), characterSet);
  const QString strBody = EvalJs(*m_view, "document.body.innerText").toString();
  QVERIFY2(!strBody.contains(QChar::ReplacementCharacter), qPrintable(strBody));
  QCOMPARE(strBody.trimmed(), text);
}

void InPlacePreviewTest::awkwardFilePaths_data() {
  QTest::addColumn<QString>("folder");
  QTest::addColumn<QString>("file");
  QTest::newRow("blanks") << "my help" << "in place.chm";
  QTest::newRow("hash and question mark") << "#1?" << "a#b?c.chm";
  QTest::newRow("percent signs") << "100%" << "a%20b%zz.chm";
  QTest::newRow("Chinese") << "帮助 文档" << "实时预览.chm";
  QTest::newRow("looks like a moniker") << "x::y" << "mk:@MSITStore:a.chm";
  // Pages are served under the file's real path; the link's works as well.
  QTest::newRow("folder reached through a link") << "link ->" << "a.chm";
}

void InPlacePreviewTest::awkwardFilePaths() {
  QFETCH(QString, folder);
  QFETCH(QString, file);
  if (folder.endsWith("->")) {
    QVERIFY(QDir(m_dir->path()).mkpath("real"));
    QVERIFY(QFile::link(m_dir->filePath("real"), m_dir->filePath(folder)));
  }
  QVERIFY(QDir(m_dir->path()).mkpath(folder));
  const QString strChm = QDir(m_dir->filePath(folder)).filePath(file);
  QVERIFY(QFile::copy(FixtureFile("inplace.chm"), strChm));
  QVERIFY(Show(strChm, "/index.htm"));
  QCOMPARE(EvalJs(*m_view, "document.title").toString(), QStringLiteral("In place"));
  QVERIFY(WaitForJs(*m_view, "document.getElementById('pic').complete"));
  QVERIFY(EvalJs(*m_view, "document.getElementById('pic').naturalWidth").toInt() > 0);
}

// Help pages test where they are: location.href holds the help viewer's
// address of the page, so a script that leaves unless it finds
// "mk:@MSITStore:" and "::" stays, and one that builds a sibling page's
// address from location.href reaches that page. A link above the stored
// root still lands inside the CHM file, with the address.
void InPlacePreviewTest::pagesSeeAHelpViewerAddress() {
  QVERIFY(QDir(m_dir->path()).mkpath("帮助 #1"));
  const QString strChm = m_dir->filePath("帮助 #1/手册%.chm");
  QVERIFY(WriteChm(strChm, {{"/html/index.htm", R"(<title>start</title><script>
var href = location.href;
if (href.indexOf('mk:@MSITStore:') < 0 || href.indexOf('::') < 0) location.href = '../left.htm';
</script>)"},
                            {"/left.htm", "<title>left</title>"},
                            {"/html/sibling.htm", "<title>sibling</title>"},
                            {"/top.htm", "<title>top</title>"}}));
  QVERIFY(Show(strChm, "/html/index.htm"));
  QTest::qWait(500);
  QCOMPARE(EvalJs(*m_view, "document.title").toString(), QStringLiteral("start"));
  const QString strHref = QUrl::fromPercentEncoding(EvalJs(*m_view, "location.href").toString().toUtf8());
  QVERIFY2(strHref.endsWith("/mk:@MSITStore:" + strChm + "::/html/index.htm"), qPrintable(strHref));
  for (const auto& [script, title] : {std::pair<QString, QString>{
                                          "location.href = location.href.slice(0, location.href.lastIndexOf('/') + 1)"
                                          " + 'sibling.htm'",
                                          "sibling"},
                                      {"location.href = location.href.slice(0, location.href.indexOf('::') + 2)"
                                       " + '/top.htm'",
                                       "top"},
                                      {"location.href = '../../../top.htm#part'", "top"}}) {
    QSignalSpy finished(m_view.get(), &QWebEngineView::loadFinished);
    EvalJs(*m_view, script + "; 0");
    QVERIFY(finished.wait(10000));
    QCOMPARE(EvalJs(*m_view, "document.title").toString(), title);
    const QString strNow = QUrl::fromPercentEncoding(EvalJs(*m_view, "location.href").toString().toUtf8());
    QVERIFY2(strNow.contains("/mk:@MSITStore:" + strChm + "::/"), qPrintable(strNow));
    if (!script.contains("#part")) QVERIFY(Show(strChm, "/html/index.htm"));
  }
  QCOMPARE(EvalJs(*m_view, "location.hash").toString(), QStringLiteral("#part"));
}

// Links and frames to other CHM files of the same folder, with the
// awkward characters of stored names: the frame's page reports back. A
// picture of another CHM file is a read, not a navigation: refused.
void InPlacePreviewTest::linksToOtherChmFiles() {
  const std::string png = OnePixelPng().toStdString();
  const std::string report = "<script>parent.postMessage('here', '*');</script>";
  const QString strPage =
      "<script>window.r = {}; window.addEventListener('message', function(e) {"
      "  document.querySelectorAll('iframe').forEach(function(f) { if (f.contentWindow === e.source) r[f.id] = 'loaded'; });"
      "});</script>" +
      ProbeFrame("moniker", "ms-its:OTHER.CHM::/pic%20%23%25.htm") +
      ProbeFrame("windowsPath", "mk:@MSITStore:C:\\Help\\other.chm::/中文/图.htm") +
      ProbeFrame("its", "its:other.chm::pic%20%23%25.htm") + ProbeFrame("missingFile", "ms-its:missing.chm::/a.htm") +
      ProbeFrame("missingStream", "ms-its:other.chm::/none.htm") +
      // Only the file name counts: the folder the author wrote is not followed.
      ProbeFrame("outsideFolder", "ms-its:../elsewhere/other.chm::/pic%20%23%25.htm") +
      ProbeImage("otherPicture", "ms-its:other.chm::/pic.png") + ProbeImage("ownByMoniker", "ms-its:main.chm::/own.png");
  const QString strMain = m_dir->filePath("main.chm");
  QVERIFY(WriteChm(strMain, {{"/index.htm", strPage.toStdString()}, {"/own.png", png}}));
  QVERIFY(WriteChm(m_dir->filePath("other.chm"), {{"/pic #%.htm", report}, {"/中文/图.htm", report}, {"/pic.png", png}}));
  QVERIFY(QDir(m_dir->path()).mkpath("elsewhere"));
  QVERIFY(Show(strMain, "/index.htm"));
  QVERIFY2(WaitForJs(*m_view, "Object.keys(r).length === 6"), qPrintable(EvalJs(*m_view, "JSON.stringify(r)").toString()));
  QTest::qWait(1000);
  QCOMPARE(EvalJs(*m_view, "JSON.stringify(r, Object.keys(r).sort())").toString(),
           QStringLiteral(R"({"its":"loaded","moniker":"loaded","otherPicture":"failed","outsideFolder":"loaded",)"
                          R"("ownByMoniker":"loaded","windowsPath":"loaded"})"));
}

void InPlacePreviewTest::siblingReadsRefused_data() {
  QTest::addColumn<bool>("symlink");
  QTest::newRow("sibling file") << false;
  QTest::newRow("sibling name linking to a CHM file elsewhere") << true;
}

// A page frames another CHM file of its folder (which help files may do),
// then tries to read it: through its internal address, and through the
// moniker addresses. Every read is refused; a sibling that is a link to a
// file in another folder is not even framed.
void InPlacePreviewTest::siblingReadsRefused() {
  QFETCH(bool, symlink);
  const std::string secret = "<script>parent.postMessage('framed', '*');</script>secret-text";
  const QString strSibling = m_dir->filePath("internal.chm");
  if (symlink) {
    QVERIFY(QDir(m_dir->path()).mkpath("elsewhere"));
    QVERIFY(WriteChm(m_dir->filePath("elsewhere/secret.chm"), {{"/passwords.htm", secret}}));
    QVERIFY(QFile::link(m_dir->filePath("elsewhere/secret.chm"), strSibling));
  } else {
    QVERIFY(WriteChm(strSibling, {{"/passwords.htm", secret}}));
  }
  const QString strInternal =
      ChmUrl::ToUrl(ChmLocation{strSibling, QStringLiteral("/passwords.htm")}).toString(QUrl::FullyEncoded);
  QString strPage = R"(<script>
window.r = {};
window.addEventListener('message', function(e) { if (e.data === 'framed') r.frame = 'loaded'; });
function xhr(key, url) {
  try {
    var x = new XMLHttpRequest();
    x.onload = function() { r[key] = x.responseText.indexOf('secret-text') >= 0 ? 'read' : 'blocked'; };
    x.onerror = function() { r[key] = 'blocked'; };
    x.open('GET', url); x.send();
  } catch (e) { r[key] = 'blocked'; }
}
function fetchProbe(key, url) {
  fetch(url).then(function(x) { return x.text(); })
      .then(function(t) { r[key] = t.indexOf('secret-text') >= 0 ? 'read' : 'blocked'; },
            function() { r[key] = 'blocked'; });
}
var f = document.createElement('iframe'); f.style.display = 'none';
f.src = 'ms-its:internal.chm::/passwords.htm';
f.onload = function() {
  try { r.frameDocument = f.contentDocument.body.innerText.indexOf('secret-text') >= 0 ? 'read' : 'blocked'; }
  catch (e) { r.frameDocument = 'blocked'; }
  xhr('xhrInternal', 'INTERNAL'); fetchProbe('fetchInternal', 'INTERNAL');
  xhr('xhrMsIts', 'ms-its:internal.chm::/passwords.htm');
  xhr('xhrMk', 'mk:@MSITStore:internal.chm::/passwords.htm');
};
document.documentElement.appendChild(f);
</script>)";
  strPage.replace("INTERNAL", strInternal);
  const QString strMain = m_dir->filePath("main.chm");
  QVERIFY(WriteChm(strMain, {{"/index.htm", strPage.toStdString()}}));
  QVERIFY(Show(strMain, "/index.htm"));
  QVERIFY2(WaitForJs(*m_view, "['frameDocument', 'xhrInternal', 'fetchInternal', 'xhrMsIts', 'xhrMk']"
                              ".every(function(k) { return k in r; })"),
           qPrintable(EvalJs(*m_view, "JSON.stringify(r)").toString()));
  QTest::qWait(1000);
  const QString strFrame = symlink ? QString() : QStringLiteral(R"("frame":"loaded",)");
  QCOMPARE(EvalJs(*m_view, "JSON.stringify(r, Object.keys(r).sort())").toString(),
           QStringLiteral(R"({"fetchInternal":"blocked",)") + strFrame +
               QStringLiteral(R"("frameDocument":"blocked","xhrInternal":"blocked","xhrMk":"blocked",)"
                              R"("xhrMsIts":"blocked"})"));
}

// A CHM file in another folder cannot be read or framed by a page, even
// when the page knows its chm URL.
void InPlacePreviewTest::unknownFilesRefused() {
  QVERIFY(QDir(m_dir->path()).mkpath("private"));
  const QString strPrivate = m_dir->filePath("private/secret.chm");
  QVERIFY(WriteChm(strPrivate, {{"/pic.png", OnePixelPng().toStdString()},
                                {"/page.htm", "<script>parent.postMessage('here', '*');</script>"}}));
  const auto url = [&](const char* stored) {
    return ChmUrl::ToUrl(ChmLocation{strPrivate, QString::fromLatin1(stored)}).toString(QUrl::FullyEncoded);
  };
  const QString strMain = m_dir->filePath("main.chm");
  QVERIFY(WriteChm(strMain, {{"/index.htm", ("<script>window.r = {}; window.addEventListener('message', "
                                             "function() { r.frame = 'loaded'; });</script>" +
                                             ProbeImage("secret", url("/pic.png")) + ProbeImage("own", "own.png") +
                                             ProbeFrame("frame", url("/page.htm")))
                                                .toStdString()},
                             {"/own.png", OnePixelPng().toStdString()}}));
  // The program showed the other file before: that gives pages of other
  // files no way in.
  QVERIFY(Show(strPrivate, "/page.htm"));
  QVERIFY(Show(strMain, "/index.htm"));
  QVERIFY(WaitForJs(*m_view, "'own' in r && 'secret' in r"));
  QTest::qWait(1000);
  QCOMPARE(EvalJs(*m_view, "JSON.stringify(r, Object.keys(r).sort())").toString(),
           QStringLiteral(R"({"own":"loaded","secret":"failed"})"));
}

// A stream larger than what is kept in memory comes through whole.
void InPlacePreviewTest::largeStreamServed() {
  // Every 16-byte line names its own offset, so any byte tells where it came from.
  std::string big;
  for (int i = 0; big.size() < 6 * 1024 * 1024; i += 16) big += QString::asprintf("%015d\n", i).toStdString();
  const QString strChm = m_dir->filePath("big.chm");
  QVERIFY(WriteChm(strChm, {{"/index.htm", "<p>big</p>"}, {"/big.txt", big}}));
  QVERIFY(Show(strChm, "/index.htm"));
  // The whole stream, and a range far into it (the start of a media seek).
  EvalJs(*m_view, "window.r = {};"
                  "function get(key, range) { var x = new XMLHttpRequest(); x.open('GET', 'big.txt');"
                  "  if (range) x.setRequestHeader('Range', range);"
                  "  x.onload = function() { r[key] = x.status + ':' + x.responseText.length + ':' +"
                  "    x.responseText.slice(0, 16) + x.responseText.slice(-16); };"
                  "  x.onerror = function() { r[key] = 'failed'; }; x.send(); }"
                  "get('whole'); get('range', 'bytes=4194304-4194335'); 0");
  QVERIFY(WaitForJs(*m_view, "r.whole !== undefined && r.range !== undefined", 30000));
  const QString strLast = QString::fromStdString(big.substr(big.size() - 16));
  QCOMPARE(EvalJs(*m_view, "r.whole").toString(),
           QStringLiteral("200:%1:000000000000000\n%2").arg(big.size()).arg(strLast));
  QCOMPARE(EvalJs(*m_view, "r.range").toString(),
           QStringLiteral("206:32:000000004194304\n000000004194320\n"));
}

// An empty stored page replaces the page shown before it.
void InPlacePreviewTest::emptyStreamShowsAnEmptyPage() {
  const QString strChm = m_dir->filePath("empty.chm");
  QVERIFY(WriteChm(strChm, {{"/index.htm", "<title>first</title><p>first page</p>"}, {"/empty.htm", ""}}));
  QVERIFY(Show(strChm, "/index.htm"));
  QVERIFY(Show(strChm, "/empty.htm"));
  QCOMPARE(ChmUrl::FromUrl(m_view->url())->strStoredPath, QStringLiteral("/empty.htm"));
  QCOMPARE(EvalJs(*m_view, "document.title + '|' + document.documentElement.innerText").toString(), QStringLiteral("|"));
}

// A page asks six reads and six pictures of a stream longer than the
// preview serves, and six reads of a long stream it does serve. The
// window's timer keeps firing while they load, nothing is written to the
// temporary folder, every read settles, and the pane sent to the stream
// itself shows our error page naming it.
void InPlacePreviewTest::streamBomb() {
  const qint64 lngLimit = 8 * 1024 * 1024;
  m_service->SetStreamLimit(lngLimit);
  const std::string served(6 * 1024 * 1024, 's');
  QString strPage = R"(<script>
window.r = {};
function xhr(key, url) {
  var x = new XMLHttpRequest(); x.open('GET', url);
  x.onload = function() { r[key] = x.responseText.length; };
  x.onerror = function() { r[key] = 'failed'; };
  x.send();
}
for (var i = 0; i < 6; ++i) {
  xhr('huge' + i, 'huge.txt?' + i);
  xhr('served' + i, 'served.txt?' + i);
  var img = new Image();
  img.onload = (function(k) { return function() { r[k] = 'loaded'; }; })('picture' + i);
  img.onerror = (function(k) { return function() { r[k] = 'failed'; }; })('picture' + i);
  img.src = 'huge.txt#' + i;
}
</script>)";
  const QString strChm = m_dir->filePath("bomb.chm");
  QVERIFY(WriteChm(strChm, {{"/index.htm", strPage.toStdString()},
                            {"/huge.txt", std::string(std::size_t(lngLimit) + 1, 'h')},
                            {"/served.txt", served}}));
  QVERIFY(QDir(m_dir->path()).mkpath("tmp"));
  const QByteArray oldTemp = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(m_dir->filePath("tmp")));
  QElapsedTimer sinceTick;
  qint64 lngLongestGap = 0;
  int lngTicks = 0;
  QTimer ticker;
  connect(&ticker, &QTimer::timeout, this, [&] {
    lngLongestGap = std::max(lngLongestGap, sinceTick.restart());
    ++lngTicks;
  });
  sinceTick.start();
  ticker.start(20);
  const bool blnShown = Show(strChm, "/index.htm");
  const bool blnSettled = blnShown && WaitForJs(*m_view, "Object.keys(r).length === 18", 60000);
  ticker.stop();
  if (oldTemp.isNull()) qunsetenv("TMPDIR"); else qputenv("TMPDIR", oldTemp);
  QVERIFY(blnSettled);
  QVERIFY(lngTicks > 0);
  QVERIFY2(lngLongestGap < 2000, qPrintable(QString::number(lngLongestGap)));
  QVERIFY(QDir(m_dir->filePath("tmp")).isEmpty());
  QString strExpected;
  for (int i = 0; i < 6; ++i) {
    strExpected += QStringLiteral("huge%1=failed picture%1=failed served%1=%2 ").arg(i).arg(served.size());
  }
  QCOMPARE(EvalJs(*m_view, "var t = ''; for (var i = 0; i < 6; ++i) t += 'huge' + i + '=' + r['huge' + i] + "
                           "' picture' + i + '=' + r['picture' + i] + ' served' + i + '=' + r['served' + i] + ' '; t")
               .toString(),
           strExpected);
  QVERIFY(LoadAndWait(*m_view, m_service->UrlForAddress(Address(strChm, "/huge.txt"))));
  const QString strText = EvalJs(*m_view, "document.body.innerText").toString();
  QVERIFY2(strText.contains(QStringLiteral("无法预览：bomb.chm::/huge.txt")) && strText.contains(QStringLiteral("文件太大")),
           qPrintable(strText));
}

// Streams whose declared place runs past the data are refused whole: a
// picture fails, a page shows our error page naming it, nothing crashes.
void InPlacePreviewTest::damagedStreamsFailCleanly() {
  const QString strChm = m_dir->filePath("damaged.chm");
  ChmBuilder builder;
  builder.add("/index.htm", ("<script>window.r = {};</script>" + ProbeImage("bad", "bad.png") +
                             ProbeImage("good", "good.png")).toStdString());
  builder.add(ChmBuilder::Entry{"/bad.png", OnePixelPng().toStdString(), std::nullopt, 1u << 30, 0});
  builder.add("/good.png", OnePixelPng().toStdString());
  builder.add(ChmBuilder::Entry{"/bad.htm", "<p>cut</p>", std::uint64_t(1) << 40, std::nullopt, 0});
  QVERIFY(builder.writeTo(QFile::encodeName(strChm).toStdString()));
  QVERIFY(Show(strChm, "/index.htm"));
  QVERIFY(WaitForJs(*m_view, "Object.keys(r).length === 2"));
  QCOMPARE(EvalJs(*m_view, "r.bad").toString(), QStringLiteral("failed"));
  QCOMPARE(EvalJs(*m_view, "r.good").toString(), QStringLiteral("loaded"));
  QVERIFY(LoadAndWait(*m_view, m_service->UrlForAddress(Address(strChm, "/bad.htm"))));
  const QString strText = EvalJs(*m_view, "document.body.innerText").toString();
  QVERIFY2(strText.contains(QStringLiteral("无法预览：damaged.chm::/bad.htm")) &&
               strText.contains(QStringLiteral("文件已损坏")),
           qPrintable(strText));
}

void InPlacePreviewTest::addressesThatServeNothing_data() {
  QTest::addColumn<QString>("address");
  QTest::newRow("missing CHM file") << Address("/nonexistent/x.chm", "/index.htm");
  QTest::newRow("about page") << QStringLiteral("about:(这是目录)");
  QTest::newRow("local file") << FixtureFile("inplace.chm");
  QTest::newRow("no stored path") << Address(FixtureFile("inplace.chm"), "");
}

void InPlacePreviewTest::addressesThatServeNothing() {
  QFETCH(QString, address);
  QVERIFY(m_service->UrlForAddress(address).isEmpty());
}

void InPlacePreviewTest::realHelpFiles_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("characterSet");
  QTest::newRow("Chinese, GB2312 pages") << "03-WINDOWS脚本技术手册.chm" << "GBK";
  QTest::newRow("Japanese, Shift_JIS pages") << "12-sakura.chm" << "Shift_JIS";
  QTest::newRow("Russian, windows-1251 pages") << "14-Справка.chm" << "windows-1251";
  QTest::newRow("Chinese language, UTF-8 pages") << "01-UDFs3CHS.chm" << "UTF-8";
  QTest::newRow("English, pages without charset") << "09-PyWin32.chm" << "windows-1252";
}

// The first page with non-ASCII text of a real help file is decoded right:
// with its declared charset, or without one, its language's code page.
void InPlacePreviewTest::realHelpFiles() {
  QFETCH(QString, file);
  QFETCH(QString, characterSet);
  if (!blnCorpusRun) QSKIP("reads the shared corpus: runs with the argument corpus");
  const QString strChm = QStringLiteral(VELMORA_CORPUS_DIR "/real/") + file;
  velmora::platform::ChmArchive::OpenResult result;
  auto archive = velmora::platform::ChmArchive::Open(QFile::encodeName(strChm).toStdString(), result);
  QVERIFY(archive);
  QString strPage;
  for (const auto& entry : archive->entries()) {
    const QString strName = QString::fromStdString(entry.name);
    if (!strName.endsWith(".htm", Qt::CaseInsensitive) && !strName.endsWith(".html", Qt::CaseInsensitive)) continue;
    QByteArray head;
    archive->extract(entry, [&head](const char* bytes, std::size_t length) {
      head.append(bytes, static_cast<qsizetype>(length));
      return head.size() < 4096;
    });
    const bool blnNonAscii = std::any_of(head.begin(), head.end(), [](char c) { return c & 0x80; });
    if (blnNonAscii) {
      strPage = "/" + strName;
      break;
    }
  }
  QVERIFY(!strPage.isEmpty());
  QVERIFY(Show(strChm, strPage));
  QCOMPARE(EvalJs(*m_view, "document.characterSet").toString(), characterSet);
  const QString strBody = EvalJs(*m_view, "document.documentElement.innerText").toString();
  QVERIFY(!strBody.trimmed().isEmpty());
  QVERIFY2(!strBody.contains(QChar::ReplacementCharacter), qPrintable(strPage));
}

int RunInPlacePreviewTest(int argc, char** argv) {
  InPlacePreviewTest test;
  return QTest::qExec(&test, argc, argv);
}

int RunInPlacePreviewCorpusTest(int argc, char** argv) {
  InPlacePreviewTest test;
  test.blnCorpusRun = true;
  std::vector<char*> arguments(argv, argv + argc);
  arguments.push_back(const_cast<char*>("realHelpFiles"));
  return QTest::qExec(&test, static_cast<int>(arguments.size()), arguments.data());
}

#include "InPlacePreviewTest.moc"
