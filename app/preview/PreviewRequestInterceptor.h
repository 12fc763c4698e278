#pragma once
// The request filter of the preview's profile. It lets through data:,
// blob: and about: content that pages make themselves, one local file (the
// page the program itself navigated to: an extracted preview copy), and
// stored CHM files as follows:
//  - navigations (the whole pane or a frame) go on to the scheme handler,
//    which decides which CHM files the page may reach;
//  - every other request (pictures, style sheets, scripts, XMLHttpRequest,
//    fetch, ...) only from a page of the same CHM file, so that no CHM file
//    reads another.
// Everything else is blocked: the network (http, https, ftp, ws, wss, ...),
// every other local file, and any other scheme.
//
// The filter marks every stored-file request with kFrameRequestHeader
// ("1" for a navigation, "0" otherwise, whatever the page set), which tells
// the scheme handler whether to answer a failure with a page.

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

namespace velmora::app {

class ChmPreviewService;

inline constexpr char kFrameRequestHeader[] = "X-Velmora-Frame";

class PreviewRequestInterceptor : public QWebEngineUrlRequestInterceptor {
  Q_OBJECT

 public:
  explicit PreviewRequestInterceptor(ChmPreviewService& service, QObject* parent = nullptr);

  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  bool AllowsFile(const QWebEngineUrlRequestInfo& info);
  bool AllowsStoredFile(QWebEngineUrlRequestInfo& info) const;

  ChmPreviewService& m_service;
  QUrl m_allowedFile;  // without fragment
};

}  // namespace velmora::app
