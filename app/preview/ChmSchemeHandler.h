#pragma once
// Serves stored files of CHM files to the web engine.
//
// "chm" URLs are answered with the stored file's bytes, for files the
// preview service admits. Moniker links ("ms-its:other.chm::/x.htm",
// "mk:@MSITStore:..." and "its:...") are redirected to the chm URL of the
// named file in the folder of the CHM file whose page asked for it. Anything
// else fails with an error the engine shows as its error page.

#include <QWebEngineUrlSchemeHandler>

namespace velmora::app {

class ChmPreviewService;

class ChmSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  explicit ChmSchemeHandler(ChmPreviewService& service, QObject* parent = nullptr);

  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  void Serve(QWebEngineUrlRequestJob* job);
  void RedirectMoniker(QWebEngineUrlRequestJob* job);

  ChmPreviewService& m_service;
};

}  // namespace velmora::app
