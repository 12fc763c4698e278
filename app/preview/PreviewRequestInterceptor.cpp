#include "app/preview/PreviewRequestInterceptor.h"

#include "app/preview/ChmUrlSchemes.h"

namespace velmora::app {

PreviewRequestInterceptor::PreviewRequestInterceptor(QObject* parent) : QWebEngineUrlRequestInterceptor(parent) {}

void PreviewRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const QString strScheme = info.requestUrl().scheme().toLower();
  bool blnAllowed = false;
  if (IsChmScheme(strScheme) || strScheme == QLatin1String("data") || strScheme == QLatin1String("blob") ||
      strScheme == QLatin1String("about")) {
    blnAllowed = true;
  } else if (strScheme == QLatin1String("file")) {
    blnAllowed = AllowsFile(info);
  }
  info.block(!blnAllowed);
}

// A main-frame load the program typed (Navigate to a preview copy) makes
// that file the one allowed; after that only the same file may be loaded
// again (reload, or the page referring to itself).
bool PreviewRequestInterceptor::AllowsFile(const QWebEngineUrlRequestInfo& info) {
  const QUrl file = info.requestUrl().adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery);
  if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
      info.navigationType() == QWebEngineUrlRequestInfo::NavigationTypeTyped) {
    m_allowedFile = file;
    return true;
  }
  return !m_allowedFile.isEmpty() && file == m_allowedFile;
}

}  // namespace velmora::app
