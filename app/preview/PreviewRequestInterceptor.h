#pragma once
// The request filter of the preview's profile. It lets through data:,
// blob: and about: content that pages make themselves, one local file (the
// page the program itself navigated to: an extracted preview copy), and
// stored CHM files as follows, judged by the requesting page's origin as
// the engine names it (the request's initiator):
//  - navigations (the whole pane or a frame): the program's own (no
//    initiator; typed, back/forward or reload) and moniker links go on to
//    the scheme handler; a page's
//    navigation to a chm URL only to its own CHM file or another of its
//    folder;
//  - every other request (pictures, style sheets, scripts, XMLHttpRequest,
//    fetch, ...) only from a page of the same CHM file, so that no CHM file
//    reads another.
// Either way the CHM files must be named by their canonical paths
// (ChmFilePath.h). Everything else is blocked: the network (http, https,
// ftp, ws, wss, ...), every other local file, and any other scheme.
//
// A keyed URL (see ChmUrl) is let through to its own file whoever asks: its
// key is the proof. Pages served keyed have opaque origins and no
// initiator; they read nothing else, and reach other files of the folder
// only by moniker links in frames, which the filter redirects itself. A
// page that sends itself to the bare root of its own file's address
// (looking for the "mk:" protocol) has its file served keyed from then on.
//
// The filter marks every stored-file request with kFrameRequestHeader:
// FrameRequestMark() for a navigation, "0" otherwise, whatever the page
// set. The mark tells the scheme handler that a request is a navigation
// (which may reach a sibling CHM file and is answered with a page when it
// fails); no page can guess it, so without the filter the handler takes
// every request for a read.

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

namespace velmora::app {

class ChmPreviewService;

inline constexpr char kFrameRequestHeader[] = "X-Velmora-Frame";

// A random value drawn once per run.
const QByteArray& FrameRequestMark();

class PreviewRequestInterceptor : public QWebEngineUrlRequestInterceptor {
  Q_OBJECT

 public:
  explicit PreviewRequestInterceptor(ChmPreviewService& service, QObject* parent = nullptr);

  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  bool AllowsFile(const QWebEngineUrlRequestInfo& info);
  bool AllowsStoredFile(QWebEngineUrlRequestInfo& info) const;
  bool AllowsWithoutInitiator(QWebEngineUrlRequestInfo& info, bool blnFrame, bool blnMoniker) const;
  void ServeKeyed(QWebEngineUrlRequestInfo& info, const QString& strChmFile) const;
  static bool IsBareRoot(const QUrl& url);

  ChmPreviewService& m_service;
  QUrl m_allowedFile;  // without fragment
};

}  // namespace velmora::app
