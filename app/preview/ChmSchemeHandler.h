#pragma once
// Serves stored files of CHM files to the web engine.
//
// "chm" URLs are answered with the stored file's bytes when the preview
// service lets the requesting page have them. The stream is decoded on a
// worker thread and reaches the engine in chunks (ChmStreamDevice), so a
// page of any size keeps the window answering and nothing is written to
// disk. Moniker links ("ms-its:other.chm::/x.htm", "mk:@MSITStore:..." and
// "its:...") are redirected to the chm URL of the named file in the folder
// of the CHM file whose page asked for it. A CHM file's root ("::/") is
// redirected to its default topic.
//
// What cannot be served fails: a frame (or the whole pane) then shows a
// page of ours naming the item and the reason, other requests simply fail.

#include <QThreadPool>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlSchemeHandler>
#include <memory>
#include <mutex>
#include <vector>

#include "app/preview/AboutPages.h"
#include "app/preview/ChmLocation.h"

namespace velmora::app {

class ChmPreviewService;
class ChmStreamPipe;

class ChmSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  explicit ChmSchemeHandler(ChmPreviewService& service, QObject* parent = nullptr);
  ~ChmSchemeHandler() override;

  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  void Serve(QWebEngineUrlRequestJob* job, bool blnFrame);
  void RedirectMoniker(QWebEngineUrlRequestJob* job, bool blnFrame);
  void Decode(const QPointer<QWebEngineUrlRequestJob>& job, const ChmLocation& location,
              const std::shared_ptr<ChmStreamPipe>& pipe, bool blnFrame, qint64 lngLimit,
              const QByteArray& charset);
  void Fail(QWebEngineUrlRequestJob* job, bool blnFrame, const QString& strItem, PreviewFailure failure,
            QWebEngineUrlRequestJob::Error error);

  ChmPreviewService& m_service;
  QThreadPool m_workers;
  std::mutex m_mutex;
  std::vector<std::weak_ptr<ChmStreamPipe>> m_pipes;  // to stop at the end
};

}  // namespace velmora::app
