// The preview sandbox: a hostile page, shown in place from a CHM file or as
// an extracted preview copy, tries to read local files, reach loopback
// listeners of the test (HTTP on TCP, a STUN/TURN server on UDP and TCP) by
// every channel a page has (WebRTC from its own document and from fresh,
// written and data frames included), open windows, start downloads and
// hand URLs to the desktop. None of it may get through: the listeners see
// no connection and no datagram. The engine runs with the switches the
// program starts it with (tests/app/preview/main.cpp).

#include <QDesktopServices>
#include <QDir>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUdpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "WebTestSupport.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/PreviewSandbox.h"

using namespace velmora::app;
using namespace velmora::testsupport;

// Records every URL the page tries to hand to the desktop.
class DesktopUrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> m_opened;

 public slots:
  void open(const QUrl& url) { m_opened << url; }
};

class PreviewSandboxTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void hostilePage_data();
  void hostilePage();
  void topLevelNavigation_data();
  void topLevelNavigation();
  void clickedLinksToOtherSchemes();
  void downloadsRefused();

 private:
  QString HostilePage() const;
  bool ShowInPlace(const QString& strChm, const QString& strStored);
  bool ShowPage(bool blnInPlace, const QString& strPage);

  std::unique_ptr<QTemporaryDir> m_dir;
  std::unique_ptr<QTcpServer> m_server;   // HTTP, WebSocket, EventSource, ...
  std::unique_ptr<QTcpServer> m_turnTcp;  // TURN over TCP
  std::unique_ptr<QUdpSocket> m_udp;      // STUN and TURN over UDP
  std::unique_ptr<ChmPreviewService> m_service;
  std::unique_ptr<QWebEngineView> m_view;
  DesktopUrlRecorder m_desktop;
  QString m_strOutsidePicture;
  QString m_strOutsidePage;
};

void PreviewSandboxTest::init() {
  m_dir = std::make_unique<QTemporaryDir>();
  m_server = std::make_unique<QTcpServer>();
  QVERIFY(m_server->listen(QHostAddress::LocalHost));
  m_turnTcp = std::make_unique<QTcpServer>();
  QVERIFY(m_turnTcp->listen(QHostAddress::LocalHost));
  m_udp = std::make_unique<QUdpSocket>();
  QVERIFY(m_udp->bind(QHostAddress::LocalHost, 0));
  m_service = std::make_unique<ChmPreviewService>();
  m_view = std::make_unique<QWebEngineView>();
  m_view->resize(400, 300);
  HardenPreview(m_view.get(), *m_service);
  // Local files outside the CHM file and outside the preview copy.
  QVERIFY(QDir(m_dir->path()).mkpath("outside"));
  m_strOutsidePicture = m_dir->filePath("outside/pic.png");
  m_strOutsidePage = m_dir->filePath("outside/frame.htm");
  QVERIFY(WriteFile(m_strOutsidePicture, OnePixelPng()));
  QVERIFY(WriteFile(m_strOutsidePage, "<script>parent.postMessage('local-frame', '*');</script>"));
  m_desktop.m_opened.clear();
  for (const char* scheme : {"mailto", "velmora-test", "http", "file"}) {
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_desktop, "open");
  }
}

void PreviewSandboxTest::cleanup() {
  for (const char* scheme : {"mailto", "velmora-test", "http", "file"}) {
    QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }
  m_view.reset();
  m_service.reset();
  m_server.reset();
  m_turnTcp.reset();
  m_udp.reset();
}

bool PreviewSandboxTest::ShowInPlace(const QString& strChm, const QString& strStored) {
  m_service->OpenForPreview(strChm);
  const QUrl url = m_service->UrlForAddress("mk:@MSITStore:" + strChm + "::" + strStored);
  return url.isValid() && LoadAndWait(*m_view, url);
}

// The page in place from a CHM file, or as an extracted copy in "预览".
bool PreviewSandboxTest::ShowPage(bool blnInPlace, const QString& strPage) {
  if (blnInPlace) {
    const QString strChm = m_dir->filePath("hostile.chm");
    return WriteChm(strChm, {{"/index.htm", strPage.toStdString()}}) && ShowInPlace(strChm, "/index.htm");
  }
  const QString strCopy = m_dir->filePath("预览/~preview.htm");
  return QDir(m_dir->path()).mkpath("预览") && WriteFile(strCopy, strPage.toUtf8()) &&
         LoadAndWait(*m_view, QUrl::fromLocalFile(strCopy));
}

// Every attempt ends in r[key]: "read" when it got through, "blocked" when not.
QString PreviewSandboxTest::HostilePage() const {
  const QString strNet = QStringLiteral("http://127.0.0.1:%1").arg(m_server->serverPort());
  QString strPage = QStringLiteral(R"(<html><head>
<link rel="preconnect" href="NET"><link rel="prefetch" href="NET/prefetch"><link rel="stylesheet" href="NET/sheet.css">
</head><body>
<script>
var r = window.r = {};
// A read always counts, even after a probe gave up waiting.
function done(key, value) { if (value === 'read' || !(key in r)) r[key] = value; }
alert('hostile');
done('confirm', String(confirm('allow?')));
function fetchProbe(key, url) {
  fetch(url).then(function(x) { return x.text(); }).then(function() { done(key, 'read'); },
                                                         function() { done(key, 'blocked'); });
}
function xhrProbe(key, url) {
  try {
    var x = new XMLHttpRequest();
    x.onload = function() { done(key, 'read'); };
    x.onerror = function() { done(key, 'blocked'); };
    x.open('GET', url); x.send();
  } catch (e) { done(key, 'blocked'); }
}
function imageProbe(key, url) {
  var i = new Image();
  i.onload = function() { done(key, 'read'); };
  i.onerror = function() { done(key, 'blocked'); };
  i.src = url;
}
fetchProbe('fetchPasswd', 'file:///etc/passwd');
xhrProbe('xhrPasswd', 'file:///etc/passwd');
imageProbe('imageOutside', 'OUTSIDE_PICTURE');
window.addEventListener('message', function(e) { if (e.data === 'local-frame') done('frameOutside', 'read'); });
var f = document.createElement('iframe'); f.src = 'OUTSIDE_PAGE'; document.body.appendChild(f);
var p = document.createElement('iframe'); p.src = 'file:///etc/passwd'; document.body.appendChild(p);
p.onload = function() { try { done('framePasswd', p.contentDocument.body.innerText.length ? 'read' : 'blocked'); }
                        catch (e) { done('framePasswd', 'blocked'); } };
fetchProbe('fetchNet', 'NET/fetch');
xhrProbe('xhrNet', 'NET/xhr');
imageProbe('imageNet', 'NET/image.png');
try {
  var ws = new WebSocket('ws://127.0.0.1:PORT/ws');
  ws.onopen = function() { done('webSocket', 'read'); };
  ws.onerror = ws.onclose = function() { done('webSocket', 'blocked'); };
} catch (e) { done('webSocket', 'blocked'); }
try { navigator.sendBeacon('NET/beacon', 'x'); } catch (e) {}
try { new EventSource('NET/events'); } catch (e) {}
// WebRTC opens its own sockets, past the request filter: STUN and TURN
// over UDP and TURN over TCP to the loopback listeners, the TURN user name
// carrying the page's text, from this page, from a fresh about:blank frame,
// from a frame whose document was written by the page, and from frames with
// documents of their own.
var ice = {iceServers: [{urls: 'stun:127.0.0.1:UDP'},
                        {urls: 'turn:127.0.0.1:UDP?transport=udp', username: 'secret-udp', credential: 'c'},
                        {urls: 'turn:127.0.0.1:TURNTCP?transport=tcp', username: 'secret-tcp', credential: 'c'}]};
function rtcProbe(key, win) {
  try {
    var pc = new win.RTCPeerConnection(ice), seen = [];
    pc.onicecandidate = function(e) { if (e.candidate) seen.push(e.candidate.candidate); else done(key, 'gathered'); };
    pc.createDataChannel('d');
    pc.createOffer().then(function(o) { return pc.setLocalDescription(o); });
    setTimeout(function() { done(key, 'waited'); }, 5000);
  } catch (e) { done(key, 'no constructor'); }
}
rtcProbe('rtcPage', window);
var blank = document.createElement('iframe'); document.body.appendChild(blank);
rtcProbe('rtcBlankFrame', blank.contentWindow);
var written = document.createElement('iframe'); document.body.appendChild(written);
written.contentDocument.open();
written.contentDocument.write('<script>parent.rtcProbe("rtcWrittenFrame", window);<\/script>');
written.contentDocument.close();
var rtcFrameScript = 'var pc = new RTCPeerConnection(' + JSON.stringify(ice) + '); pc.createDataChannel("d");' +
    'pc.createOffer().then(function(o) { return pc.setLocalDescription(o); });';
var own = document.createElement('iframe'); own.srcdoc = '<script>' + rtcFrameScript + '<\/script>';
document.body.appendChild(own);
var data = document.createElement('iframe');
data.src = 'data:text/html,' + encodeURIComponent('<script>' + rtcFrameScript + '<\/script>');
document.body.appendChild(data);
// A form posted into a hidden frame, and a frame refreshing itself away.
var sink = document.createElement('iframe'); sink.name = 'sink'; document.body.appendChild(sink);
var form = document.createElement('form'); form.action = 'NET/form'; form.method = 'post'; form.target = 'sink';
form.innerHTML = '<input name="q" value="secret">'; document.body.appendChild(form); form.submit();
var refresh = document.createElement('iframe');
refresh.srcdoc = '<meta http-equiv="refresh" content="0; url=NET/refresh">'; document.body.appendChild(refresh);
var n = document.createElement('iframe'); n.src = 'NET/frame'; document.body.appendChild(n);
var m = document.createElement('iframe'); m.src = 'mailto:someone@example.com'; document.body.appendChild(m);
var v = document.createElement('iframe'); v.src = 'velmora-test:launch'; document.body.appendChild(v);
done('windowOpen', window.open('index.htm') === null ? 'null' : 'window');
setTimeout(function() { done('frameOutside', 'blocked'); done('framePasswd', 'blocked'); }, 2000);
</script></body></html>)");
  strPage.replace("NET", strNet);
  strPage.replace("TURNTCP", QString::number(m_turnTcp->serverPort()));
  strPage.replace("UDP", QString::number(m_udp->localPort()));
  strPage.replace("PORT", QString::number(m_server->serverPort()));
  strPage.replace("OUTSIDE_PICTURE", QUrl::fromLocalFile(m_strOutsidePicture).toString(QUrl::FullyEncoded));
  strPage.replace("OUTSIDE_PAGE", QUrl::fromLocalFile(m_strOutsidePage).toString(QUrl::FullyEncoded));
  return strPage;
}

void PreviewSandboxTest::hostilePage_data() {
  QTest::addColumn<bool>("inPlace");
  QTest::addColumn<bool>("engineChecksOff");
  QTest::newRow("in place from a CHM file") << true << false;
  QTest::newRow("extracted preview copy") << false << false;
  // The request filter alone, without the engine's own file checks.
  QTest::newRow("extracted preview copy, engine file checks off") << false << true;
}

void PreviewSandboxTest::hostilePage() {
  QFETCH(bool, inPlace);
  QFETCH(bool, engineChecksOff);
  if (engineChecksOff) {
    QWebEngineSettings* settings = m_view->page()->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
  }
  QSignalSpy connections(m_server.get(), &QTcpServer::newConnection);
  QSignalSpy turnConnections(m_turnTcp.get(), &QTcpServer::newConnection);
  QSignalSpy datagrams(m_udp.get(), &QUdpSocket::readyRead);
  if (!inPlace) {
    // A file beside the copy is not the copy: it stays out of reach too.
    QVERIFY(QDir(m_dir->path()).mkpath("预览"));
    m_strOutsidePicture = m_dir->filePath("预览/~preview.png");
    QVERIFY(WriteFile(m_strOutsidePicture, OnePixelPng()));
  }
  QVERIFY(ShowPage(inPlace, HostilePage()));
  const QStringList blocked = {"fetchPasswd", "xhrPasswd", "imageOutside", "frameOutside", "framePasswd",
                               "fetchNet",    "xhrNet",    "imageNet",     "webSocket"};
  // WebRTC gets its constructors everywhere; what counts is that no packet
  // leaves, below.
  const QStringList rtc = {"rtcPage", "rtcBlankFrame", "rtcWrittenFrame"};
  const int lngKeys = int(blocked.size() + rtc.size()) + 2;
  QVERIFY2(WaitForJs(*m_view, QStringLiteral("Object.keys(r).length === %1").arg(lngKeys), 20000),
           qPrintable(EvalJs(*m_view, "JSON.stringify(r)").toString()));
  // Give late attempts (reads after a probe gave up, preconnect, beacon,
  // event source, frames with their own documents) time to show up.
  QTest::qWait(2000);
  for (const QString& key : blocked) QCOMPARE(EvalJs(*m_view, "r." + key).toString() + " " + key, "blocked " + key);
  for (const QString& key : rtc) QVERIFY2(EvalJs(*m_view, "r." + key).toString() != "no constructor", qPrintable(key));
  QCOMPARE(EvalJs(*m_view, "r.confirm").toString(), QStringLiteral("false"));
  QCOMPARE(EvalJs(*m_view, "r.windowOpen").toString(), QStringLiteral("null"));
  // What the listeners saw: connections to the HTTP and TURN listeners,
  // datagrams to the STUN/TURN listener.
  const QString strSeen = QStringLiteral("http %1, turn-tcp %2, udp %3")
                              .arg(connections.count())
                              .arg(turnConnections.count())
                              .arg(m_udp->hasPendingDatagrams() ? std::max<qsizetype>(datagrams.count(), 1) : 0);
  QCOMPARE(strSeen, QStringLiteral("http 0, turn-tcp 0, udp 0"));
  QVERIFY2(m_desktop.m_opened.isEmpty(), qPrintable(m_desktop.m_opened.value(0).toString()));
}

void PreviewSandboxTest::topLevelNavigation_data() {
  QTest::addColumn<bool>("inPlace");
  QTest::newRow("in place from a CHM file") << true;
  QTest::newRow("extracted preview copy") << false;
}

// A page sending the whole pane to the network, to another scheme or to a
// local file.
void PreviewSandboxTest::topLevelNavigation() {
  QFETCH(bool, inPlace);
  QSignalSpy connections(m_server.get(), &QTcpServer::newConnection);
  const QString strNet = QStringLiteral("http://127.0.0.1:%1/top").arg(m_server->serverPort());
  for (const QString& strTarget : {strNet, QStringLiteral("mailto:someone@example.com"),
                                   QStringLiteral("velmora-test:launch"), QStringLiteral("file:///etc/passwd"),
                                   QUrl::fromLocalFile(m_strOutsidePage).toString(QUrl::FullyEncoded)}) {
    QVERIFY(ShowPage(inPlace, QStringLiteral("<p>start</p>")));
    QSignalSpy finished(m_view.get(), &QWebEngineView::loadFinished);
    EvalJs(*m_view, "window.addEventListener('message', function() { document.title = 'reached'; });"
                    "location.href = '" + strTarget + "'; 0");
    finished.wait(3000);
    const QString strText = EvalJs(*m_view, "document.body ? document.body.innerText : ''").toString();
    QVERIFY2(!strText.contains("root:"), qPrintable(strTarget));
    QVERIFY2(EvalJs(*m_view, "document.title").toString() != "reached", qPrintable(strTarget));
    QVERIFY2(m_view->url().scheme() != "file" || m_view->url().path().endsWith("~preview.htm") ||
                 !finished.value(0).value(0).toBool(),
             qPrintable(m_view->url().toString()));
  }
  QTest::qWait(500);
  QCOMPARE(connections.count(), 0);
  QVERIFY2(m_desktop.m_opened.isEmpty(), qPrintable(m_desktop.m_opened.value(0).toString()));
}

// Links the user really clicks: the engine would otherwise hand schemes it
// does not know to the desktop. A click on a link to a stored page shows
// that the click itself gets through.
void PreviewSandboxTest::clickedLinksToOtherSchemes() {
  m_view->show();
  QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
  const QString strChm = m_dir->filePath("links.chm");
  for (const QString& strTarget : {QStringLiteral("second.htm"), QStringLiteral("mailto:someone@example.com"),
                                   QStringLiteral("velmora-test:launch")}) {
    const QString strPage = "<title>first</title><a href=\"" + strTarget +
                            "\" style=\"display:block;position:fixed;left:0;top:0;width:100%;height:100%\">x</a>";
    QVERIFY(WriteChm(strChm, {{"/index.htm", strPage.toStdString()}, {"/second.htm", "<title>second</title>"}}));
    QVERIFY(ShowInPlace(strChm, "/index.htm"));
    QWidget* target = m_view->focusProxy() ? m_view->focusProxy() : m_view.get();
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(50, 50));
    if (strTarget == "second.htm") {
      QTRY_COMPARE_WITH_TIMEOUT(EvalJs(*m_view, "document.title").toString(), QStringLiteral("second"), 10000);
    } else {
      QTest::qWait(1000);
      QCOMPARE(EvalJs(*m_view, "document.title").toString(), QStringLiteral("first"));
    }
  }
  QVERIFY2(m_desktop.m_opened.isEmpty(), qPrintable(m_desktop.m_opened.value(0).toString()));
}

void PreviewSandboxTest::downloadsRefused() {
  const QString strChm = m_dir->filePath("download.chm");
  QVERIFY(WriteChm(strChm, {{"/index.htm", "<a id=d href=\"payload.bin\" download>get</a>"},
                            {"/payload.bin", std::string(1000, 'p')},
                            {"/tools/setup.exe", "MZ" + std::string(100, '\0')}}));
  QWebEngineProfile* profile = m_view->page()->profile();
  const QString strDownloads = m_dir->filePath("downloads");
  QVERIFY(QDir().mkpath(strDownloads));
  profile->setDownloadPath(strDownloads);
  QList<QWebEngineDownloadRequest::DownloadState> states;
  connect(profile, &QWebEngineProfile::downloadRequested, this,
          [&states](QWebEngineDownloadRequest* download) { states << download->state(); });

  QVERIFY(ShowInPlace(strChm, "/index.htm"));
  EvalJs(*m_view, "document.getElementById('d').click(); 0");
  QTRY_COMPARE_WITH_TIMEOUT(states.size(), 1, 10000);
  // An executable addressed in place is offered as a download: refused too.
  m_view->setUrl(m_service->UrlForAddress("mk:@MSITStore:" + strChm + "::/tools/setup.exe"));
  QTRY_COMPARE_WITH_TIMEOUT(states.size(), 2, 10000);
  for (auto state : states) QCOMPARE(state, QWebEngineDownloadRequest::DownloadCancelled);
  QTest::qWait(500);
  QVERIFY(QDir(strDownloads).isEmpty());
}

int RunPreviewSandboxTest(int argc, char** argv) {
  PreviewSandboxTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "PreviewSandboxTest.moc"
