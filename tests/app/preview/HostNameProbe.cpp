// A preview pane showing, in place from a CHM file, a page that makes the
// web engine look up host names of its choosing: a remote WebRTC candidate
// with a DNS name, one with an mDNS name (".local") and TURN/TURNS servers
// given by name. Run under a socket observer by PreviewHostNameTest.
//
//   test_preview_host_name_probe [--without-resolver-rules] <folder>
//
// The CHM file is written into <folder>. The option takes the preview's
// host resolver rules out of the engine's switches again, so the observer
// can show that the page does send queries when nothing stops them. Prints
// what the page did and exits 0 once it has run every step.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstring>

#include "WebTestSupport.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/PreviewEngine.h"
#include "app/preview/PreviewSandbox.h"

using namespace velmora::app;
using namespace velmora::testsupport;

namespace {

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// Each name carries the probe's mark, so the observer's log shows whose
// lookup it was.
const char kPage[] = R"(<html><body><script>
window.r = {};
function step(key) { return function(e) { r[key] = e ? 'error ' + e.name : 'ok'; }; }
var servers = {iceServers: [
  {urls: 'turn:turn-probe.velmora-test.example:3478?transport=udp', username: 'u', credential: 'c'},
  {urls: 'turn:turn-probe.velmora-test.example:3478?transport=tcp', username: 'u', credential: 'c'},
  {urls: 'turns:turns-probe.velmora-test.example:5349', username: 'u', credential: 'c'}]};
var local = new RTCPeerConnection(servers), remote = new RTCPeerConnection(servers);
local.createDataChannel('d');
local.onicecandidate = function(e) { if (!e.candidate) r.gathered = 'ok'; };
local.createOffer()
  .then(function(offer) {
    return local.setLocalDescription(offer).then(function() { return remote.setRemoteDescription(offer); });
  })
  .then(function() { return remote.createAnswer(); })
  .then(function(answer) { return remote.setLocalDescription(answer); })
  .then(function() {
    var candidates = ['dns-probe.velmora-test.example', 'mdns-probe-4f6b2c1e.local'];
    candidates.forEach(function(host, i) {
      var candidate = 'candidate:' + (i + 1) + ' 1 udp 2122260223 ' + host + ' ' + (50000 + i) + ' typ host';
      remote.addIceCandidate({sdpMid: '0', sdpMLineIndex: 0, candidate: candidate})
        .then(step('candidate' + i), step('candidate' + i));
    });
  }, step('negotiation'));
setTimeout(function() { r.waited = 'ok'; }, 4000);
</script></body></html>)";

// The user's switches and the preview's, less the host resolver rules.
void SetSwitchesWithoutResolverRules(const QByteArray& userFlags) {
  QList<QByteArray> flags = {userFlags};
  for (const QByteArray& flag : PreviewEngineSwitches()) {
    if (!flag.startsWith("--host-resolver-rules=")) flags << flag;
  }
  qputenv(kFlagsVariable, flags.join(' '));
}

}  // namespace

int main(int argc, char** argv) {
  const bool blnWithoutRules = argc > 2 && std::strcmp(argv[1], "--without-resolver-rules") == 0;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s [--without-resolver-rules] <folder>\n", argv[0]);
    return 2;
  }
  const QString strFolder = QString::fromLocal8Bit(argv[argc - 1]);
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  const QByteArray userFlags = qgetenv(kFlagsVariable);
  PreparePreviewEngine(1, argv);
  if (blnWithoutRules) SetSwitchesWithoutResolverRules(userFlags);
  QApplication app(argc, argv);
  ChmPreviewService service;
  QWebEngineView view;
  view.resize(300, 200);
  HardenPreview(&view, service);
  const QString strChm = QDir(strFolder).filePath(QStringLiteral("probe.chm"));
  if (!WriteChm(strChm, {{"/index.htm", kPage}})) return 2;
  service.OpenForPreview(strChm);
  const QUrl page = service.UrlForAddress(QStringLiteral("mk:@MSITStore:") + strChm + QStringLiteral("::/index.htm"));
  if (!LoadAndWait(view, page)) {
    std::fprintf(stderr, "the page did not load\n");
    return 1;
  }
  const bool blnRan =
      WaitForJs(view, QStringLiteral("r.waited === 'ok' && 'candidate0' in r && 'candidate1' in r"), 20000);
  std::printf("%s\n", qPrintable(EvalJs(view, QStringLiteral("JSON.stringify(r)")).toString()));
  return blnRan ? 0 : 1;
}
