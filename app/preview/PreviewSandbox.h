#pragma once
// Turns a web view into the preview sandbox: the view gets a page of its
// own off-the-record profile that serves stored CHM files through the
// service, refuses the network and local files other than the preview copy
// it was sent to, cancels downloads, opens no windows and grants nothing.
// Call it once, right after the view is made and before it loads anything.
// The sockets no request filter sees (WebRTC) are closed for the whole
// engine by the switches of PreviewEngine.h.

class QWebEngineView;

namespace velmora::app {

class ChmPreviewService;

void HardenPreview(QWebEngineView* view);
void HardenPreview(QWebEngineView* view, ChmPreviewService& service);

}  // namespace velmora::app
