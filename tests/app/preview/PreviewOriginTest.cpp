// Which CHM file a page may reach, decided by each barrier on its own: the
// scheme handler without the request filter (and behind a filter that only
// tells it frames from reads), the request filter in front of a handler
// that serves any stored file asked for, and both together as the preview
// pane has them. A page of main.chm reads its own file, frames
// a sibling of its folder, and tries to read that sibling (by script, with
// the filter's own header forged, by a picture) and to run under an origin
// made of a descriptor link: the names of the descriptors that hold its own
// file and a CHM file of another folder the program has shown, and, with
// both barriers, /proc/self/fd/N for every N from 3 to 200. A page served
// keyed (opaque origin, no initiator) makes the same attempts under every
// name of its sibling it can build.

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include "WebTestSupport.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmSchemeHandler.h"
#include "app/preview/ChmUrl.h"
#include "app/preview/ChmUrlSchemes.h"
#include "app/preview/PreviewRequestInterceptor.h"
#include "app/preview/PreviewSandbox.h"
#include "platform/storage/ChmArchive.h"

using namespace velmora::app;
using namespace velmora::testsupport;

namespace {

enum class Barrier { Both, HandlerAlone, HandlerWithFrameMarks, FilterAlone };

// A filter that checks nothing, only marks navigations as the preview's
// filter does, so that the scheme handler knows them from reads.
class MarkFramesOnly : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const bool blnFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame ||
                          info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
    if (blnFrame) info.setHttpHeader(kFrameRequestHeader, FrameRequestMark());
  }
};

// A handler with no origin checks: serves whatever stored file a chm URL
// names, from whatever file its host names.
class ServeAnythingHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

  void requestStarted(QWebEngineUrlRequestJob* job) override {
    const std::optional<ChmLocation> location = ChmUrl::FromUrl(job->requestUrl());
    velmora::platform::ChmArchive::OpenResult result;
    const auto archive = location ? velmora::platform::ChmArchive::Open(
                                        QFile::encodeName(location->strChmFile).toStdString(), result)
                                  : nullptr;
    const auto* entry = archive ? archive->find(location->strStoredPath.toStdString()) : nullptr;
    std::string bytes;
    if (!entry || !archive->extract(*entry, [&](const char* data, std::size_t length) {
          bytes.append(data, length);
          return true;
        })) {
      job->fail(QWebEngineUrlRequestJob::UrlNotFound);
      return;
    }
    auto* buffer = new QBuffer;
    buffer->setData(QByteArray::fromStdString(bytes));
    buffer->open(QIODevice::ReadOnly);
    connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    const QByteArray type = location->strStoredPath.endsWith(".png")  ? "image/png"
                            : location->strStoredPath.endsWith(".js") ? "text/javascript"
                                                                      : "text/html";
    job->reply(type, buffer);
  }
};

QString ChmUrlText(const QString& strChm, const QString& strStored) {
  return ChmUrl::ToUrl(ChmLocation{strChm, strStored}).toString(QUrl::FullyEncoded);
}

// Every frame that runs reports the host it runs under; a page running as
// the top document makes the probes and counts its frames as they load.
const char kPage[] = R"(<body><script>
if (window.parent !== window) {
  parent.postMessage('ran ' + location.host, '*');
} else {
  window.r = {ran: []};
  window.addEventListener('message', function(e) {
    if (typeof e.data === 'string' && e.data.indexOf('ran ') === 0) r.ran.push(e.data.slice(4));
  });
  var read = function(key, url, mark, forged) {
    try {
      var x = new XMLHttpRequest();
      x.onload = function() { r[key] = x.responseText.indexOf(mark) >= 0 ? 'read' : 'blocked'; };
      x.onerror = function() { r[key] = 'blocked'; };
      x.open('GET', url);
      if (forged) x.setRequestHeader('X-Velmora-Frame', '1');
      x.send();
    } catch (e) { r[key] = 'blocked'; }
  };
  read('own', 'own.txt', 'own-text', false);
  read('sibling', 'SIBLING/secret.htm', 'secret-text', false);
  read('siblingForged', 'SIBLING/secret.htm', 'secret-text', true);
  var i = new Image();
  i.onload = function() { r.siblingPicture = 'read'; };
  i.onerror = function() { r.siblingPicture = 'blocked'; };
  i.src = 'SIBLING/pic.png';
  var urls = ['report.htm', 'SIBLING/index.htm'].concat(DESCRIPTOR_URLS);
  r.frames = urls.length;
  r.settled = 0;
  urls.forEach(function(url) {
    var f = document.createElement('iframe');
    f.width = f.height = 1;
    f.onload = function() { ++r.settled; };
    f.src = url;
    document.body.appendChild(f);
  });
}
</script>)";

const char kReport[] = "<script>parent.postMessage('ran ' + location.host, '*');</script>";

// A page served keyed (opaque origin, no initiator) tries to read its
// sibling by every name it can make: the sibling's chm URL, a keyed URL
// with its own key and the sibling's path, and a moniker; by script,
// picture and script inclusion; and through the document of a frame
// showing the sibling. Frames report their address and referrer.
const char kKeyedPage[] = R"(<body><script>
window.r = {ran: [], pending: 0};
addEventListener('message', function(e) { if (String(e.data).indexOf('ran ') === 0) r.ran.push(e.data.slice(4)); });
var probe = function(key, make) { ++r.pending; make(function(v) { r[key] = v; --r.pending; }); };
var read = function(url, mark) { return function(done) {
  var x = new XMLHttpRequest();
  x.onload = function() { done(x.responseText.indexOf(mark) >= 0 ? 'read' : 'blocked'); };
  x.onerror = function() { done('blocked'); };
  try { x.open('GET', url); x.send(); } catch (e) { done('blocked'); }
}; };
var picture = function(url) { return function(done) {
  var i = new Image();
  i.onload = function() { done('read'); };
  i.onerror = function() { done('blocked'); };
  i.src = url;
}; };
var script = function(url) { return function(done) {
  var s = document.createElement('script');
  s.onload = s.onerror = function() { done(window.stolen ? 'read' : 'blocked'); };
  s.src = url; document.body.appendChild(s);
}; };
probe('own', read('own.txt', 'own-text'));
NAMES.forEach(function(n, i) {
  probe('read' + i, read(n + 'secret.htm', 'secret-text'));
  probe('picture' + i, picture(n + 'pic.png'));
  probe('script' + i, script(n + 's.js'));
});
probe('frame', function(done) {
  var f = document.createElement('iframe');
  f.onload = function() {
    try { done(f.contentDocument && f.contentDocument.body ? 'read' : 'blocked'); } catch (e) { done('blocked'); }
  };
  f.src = 'ms-its:sibling.chm::/report.htm';
  document.body.appendChild(f);
});
</script>)";

const char kKeyedReport[] =
    "<script>parent.postMessage('ran ' + location.href + ' referrer=' + document.referrer, '*');</script>";

}  // namespace

Q_DECLARE_METATYPE(Barrier)

class PreviewOriginTest : public QObject {
  Q_OBJECT

 private slots:
  void eachBarrierAlone_data();
  void eachBarrierAlone();
  void keyedPageReadsOnlyItsOwnFile_data();
  void keyedPageReadsOnlyItsOwnFile();
};

void PreviewOriginTest::eachBarrierAlone_data() {
  QTest::addColumn<Barrier>("barrier");
  QTest::addColumn<bool>("siblingFramed");
  QTest::newRow("handler and filter") << Barrier::Both << true;
  // Only the filter tells the handler a frame from a script's read.
  QTest::newRow("scheme handler alone") << Barrier::HandlerAlone << false;
  QTest::newRow("scheme handler behind a filter that only marks frames") << Barrier::HandlerWithFrameMarks << true;
  QTest::newRow("request filter alone") << Barrier::FilterAlone << true;
}

void PreviewOriginTest::eachBarrierAlone() {
  QFETCH(Barrier, barrier);
  QFETCH(bool, siblingFramed);
  QTemporaryDir dir;
  ChmPreviewService service;
  QWebEngineView view;
  view.resize(300, 200);
  if (barrier == Barrier::Both) {
    HardenPreview(&view, service);
  } else {
    auto* profile = new QWebEngineProfile;
    if (barrier != Barrier::FilterAlone) {
      auto* handler = new ChmSchemeHandler(service, profile);
      for (const char* scheme : {kChmScheme, kMkScheme, kMsItsScheme, kItsScheme}) {
        profile->installUrlSchemeHandler(scheme, handler);
      }
      if (barrier == Barrier::HandlerWithFrameMarks) profile->setUrlRequestInterceptor(new MarkFramesOnly(profile));
    } else {
      profile->installUrlSchemeHandler(kChmScheme, new ServeAnythingHandler(profile));
      profile->setUrlRequestInterceptor(new PreviewRequestInterceptor(service, profile));
    }
    auto* page = new QWebEnginePage(profile, &view);
    profile->setParent(page);  // the page goes first
    view.setPage(page);
  }

  const QString strMain = dir.filePath("main.chm");
  const QString strSibling = dir.filePath("sibling.chm");
  QVERIFY(QDir(dir.path()).mkpath("elsewhere"));
  const QString strElsewhere = dir.filePath("elsewhere/other.chm");
  QVERIFY(WriteChm(strSibling, {{"/index.htm", kReport},
                                {"/secret.htm", "secret-text"},
                                {"/pic.png", OnePixelPng().toStdString()}}));
  QVERIFY(WriteChm(strElsewhere, {{"/index.htm", kReport}}));
  // The program shows the other folder's file first, so that it is open.
  const auto show = [&](const QString& strChm) {
    service.OpenForPreview(strChm);
    return LoadAndWait(view, service.UrlForAddress("mk:@MSITStore:" + strChm + "::/index.htm"));
  };
  QVERIFY(show(strElsewhere));

  // Descriptors that hold the two files, as the archive cache's do.
  QFile heldMain(strMain), heldElsewhere(strElsewhere);
  QVERIFY(WriteChm(strMain, {{"/index.htm", kReport}}));
  QVERIFY(heldMain.open(QIODevice::ReadOnly) && heldElsewhere.open(QIODevice::ReadOnly));
  QStringList descriptorUrls;
  // Every descriptor a page could guess, where both barriers stand; each
  // barrier alone is shown the ones that hold the files.
  for (int n = 3; n <= 200 && barrier == Barrier::Both; ++n) {
    descriptorUrls << ChmUrlText(QStringLiteral("/proc/self/fd/%1").arg(n), "/index.htm");
  }
  for (const int n : {heldMain.handle(), heldElsewhere.handle()}) {
    for (const QString& strLink : {QStringLiteral("/proc/self/fd/%1"), QStringLiteral("/dev/fd/%1"),
                                   QStringLiteral("/proc/%2/fd/%1")}) {
      descriptorUrls << ChmUrlText(strLink.arg(n).arg(QCoreApplication::applicationPid()), "/index.htm");
    }
  }
  QString strPage = QString::fromLatin1(kPage);
  strPage.replace("SIBLING", ChmUrlText(strSibling, "/").chopped(1));
  strPage.replace("DESCRIPTOR_URLS", "['" + descriptorUrls.join("', '") + "']");
  // Written in place, so that the held descriptor sees the page.
  QVERIFY(WriteChm(strMain,
                   {{"/index.htm", strPage.toStdString()}, {"/own.txt", "own-text"}, {"/report.htm", kReport}}));
  QCOMPARE(QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(heldMain.handle())).canonicalFilePath(), strMain);
  // Not every frame need finish loading; the page's probes tell when it is done.
  service.OpenForPreview(strMain);
  view.setUrl(service.UrlForAddress("mk:@MSITStore:" + strMain + "::/index.htm"));

  // Every frame loaded (a page of its own or an error page), every probe
  // settled; then the frames' last reports.
  QVERIFY2(WaitForJs(view, "['own', 'sibling', 'siblingForged', 'siblingPicture'].every(function(k) { return k in r; })"
                           " && r.settled === r.frames", 60000),
           qPrintable(EvalJs(view, "JSON.stringify(r)").toString()));
  QTest::qWait(500);
  QCOMPARE(EvalJs(view, "[r.own, r.sibling, r.siblingForged, r.siblingPicture].join(' ')").toString(),
           QStringLiteral("read blocked blocked blocked"));
  // The page's own frame ran, which shows that frames report, and the
  // sibling's where frames of it are let through; nothing else did.
  QStringList files;
  for (const QString& strHost : EvalJs(view, "r.ran").toStringList()) {
    const auto location = ChmUrl::FromUrl(QUrl(QStringLiteral("chm://") + strHost + QStringLiteral("/")));
    files << (location ? location->strChmFile : strHost);
  }
  files.sort();
  QStringList expected = {strMain};
  if (siblingFramed) expected << strSibling;
  QCOMPARE(files, expected);
}

void PreviewOriginTest::keyedPageReadsOnlyItsOwnFile_data() {
  QTest::addColumn<Barrier>("barrier");
  QTest::addColumn<bool>("siblingFramed");
  QTest::newRow("handler and filter") << Barrier::Both << true;
  // Without the filter every request counts as a read, frames included.
  QTest::newRow("scheme handler alone") << Barrier::HandlerAlone << false;
  QTest::newRow("request filter alone") << Barrier::FilterAlone << true;
}

void PreviewOriginTest::keyedPageReadsOnlyItsOwnFile() {
  QFETCH(Barrier, barrier);
  QFETCH(bool, siblingFramed);
  QTemporaryDir dir;
  ChmPreviewService service;
  QWebEngineView view;
  view.resize(300, 200);
  if (barrier == Barrier::Both) {
    HardenPreview(&view, service);
  } else {
    auto* profile = new QWebEngineProfile;
    QWebEngineUrlSchemeHandler* handler = nullptr;
    if (barrier == Barrier::FilterAlone) {
      handler = new ServeAnythingHandler(profile);
      profile->setUrlRequestInterceptor(new PreviewRequestInterceptor(service, profile));
    } else {
      handler = new ChmSchemeHandler(service, profile);
    }
    for (const char* scheme : {kChmScheme, kMkScheme, kMsItsScheme, kItsScheme}) {
      profile->installUrlSchemeHandler(scheme, handler);
    }
    auto* page = new QWebEnginePage(profile, &view);
    profile->setParent(page);
    view.setPage(page);
  }
  const QString strMain = QFileInfo(dir.path()).canonicalFilePath() + "/main.chm";
  const QString strSibling = QFileInfo(dir.path()).canonicalFilePath() + "/sibling.chm";
  QVERIFY(WriteChm(strSibling, {{"/report.htm", kKeyedReport},
                                {"/secret.htm", "secret-text"},
                                {"/s.js", "window.stolen = 1;"},
                                {"/pic.png", OnePixelPng().toStdString()}}));
  // The names of the sibling's folder "/" that a page of main.chm can make.
  const QUrl keyed = ChmUrl::ToKeyedUrl(ChmLocation{strMain, "/"});
  const QString strKey = keyed.host().section('.', 0, 0);
  const QString strSiblingHost = ChmUrl::ToUrl(ChmLocation{strSibling, "/"}).host();
  const QStringList names = {ChmUrlText(strSibling, "/").chopped(1) + "/",
                             "mk://" + strKey + "." + strSiblingHost + "/", "ms-its:sibling.chm::/"};
  QString strPage = QString::fromLatin1(kKeyedPage);
  strPage.replace("NAMES", "['" + names.join("', '") + "']");
  QVERIFY(WriteChm(strMain, {{"/index.htm", strPage.toStdString()}, {"/own.txt", "own-text"}}));

  service.ServeKeyed(strMain);
  const QUrl start = service.UrlForAddress("mk:@MSITStore:" + strMain + "::/index.htm");
  QVERIFY(ChmUrl::IsKeyedUrl(start));
  view.setUrl(start);
  QVERIFY2(WaitForJs(view, "r.pending === 0 && 'frame' in r", 60000),
           qPrintable(EvalJs(view, "JSON.stringify(r)").toString()));
  QTest::qWait(500);
  QCOMPARE(EvalJs(view, "location.protocol").toString(), QStringLiteral("mk:"));
  QCOMPARE(EvalJs(view, "[r.own, r.frame].join(' ')").toString(), QStringLiteral("read blocked"));
  for (int i = 0; i < names.size(); ++i) {
    QCOMPARE(EvalJs(view, QStringLiteral("[r.read%1, r.picture%1, r.script%1].join(' ')").arg(i)).toString(),
             QStringLiteral("blocked blocked blocked"));
  }
  // The sibling's page ran where frames of it are let through, and learnt
  // nothing of the page that framed it.
  const QStringList ran = EvalJs(view, "r.ran").toStringList();
  QCOMPARE(ran.size(), siblingFramed ? 1 : 0);
  if (siblingFramed) {
    const QString strHref = ran.first().section(' ', 0, 0);
    const auto location = ChmUrl::FromUrl(QUrl(strHref));
    QVERIFY2(location && location->strChmFile == strSibling, qPrintable(strHref));
    QVERIFY2(ran.first().endsWith(" referrer="), qPrintable(ran.first()));
  }
}

int RunPreviewOriginTest(int argc, char** argv) {
  PreviewOriginTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "PreviewOriginTest.moc"
