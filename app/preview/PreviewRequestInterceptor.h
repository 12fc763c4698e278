#pragma once
// The request filter of the preview's profile. It lets through stored CHM
// files (their handler decides what may be read), data:, blob: and about:
// content that pages make themselves, and one local file: the page the
// program itself navigated to (an extracted preview copy). Everything else
// is blocked: the network (http, https, ftp, ws, wss, ...), every other
// local file, and any other scheme.

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

namespace velmora::app {

class PreviewRequestInterceptor : public QWebEngineUrlRequestInterceptor {
  Q_OBJECT

 public:
  explicit PreviewRequestInterceptor(QObject* parent = nullptr);

  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  bool AllowsFile(const QWebEngineUrlRequestInfo& info);

  QUrl m_allowedFile;  // without fragment
};

}  // namespace velmora::app
