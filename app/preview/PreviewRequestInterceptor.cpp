#include "app/preview/PreviewRequestInterceptor.h"

#include <QRandomGenerator>

#include "app/preview/ChmFilePath.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmUrl.h"
#include "app/preview/ChmUrlSchemes.h"

namespace velmora::app {

const QByteArray& FrameRequestMark() {
  static const QByteArray mark = [] {
    quint64 bits[2];
    QRandomGenerator::system()->fillRange(bits);
    return QByteArray(reinterpret_cast<const char*>(bits), sizeof bits).toHex();
  }();
  return mark;
}

PreviewRequestInterceptor::PreviewRequestInterceptor(ChmPreviewService& service, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), m_service(service) {}

void PreviewRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const QString strScheme = info.requestUrl().scheme().toLower();
  bool blnAllowed = false;
  if (IsChmScheme(strScheme)) {
    blnAllowed = AllowsStoredFile(info);
  } else if (strScheme == QLatin1String("data") || strScheme == QLatin1String("blob") ||
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

bool PreviewRequestInterceptor::AllowsStoredFile(QWebEngineUrlRequestInfo& info) const {
  const bool blnFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame ||
                        info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame;
  info.setHttpHeader(kFrameRequestHeader, blnFrame ? FrameRequestMark() : QByteArray("0"));
  const bool blnMoniker = IsMonikerScheme(info.requestUrl().scheme());
  if (blnFrame && (blnMoniker || info.initiator().isEmpty())) return true;
  const std::optional<ChmLocation> from = ChmUrl::FromUrl(info.initiator());
  if (!from || !IsCanonicalChmFile(from->strChmFile)) return false;
  QString strTarget;
  if (blnMoniker) {
    const std::optional<ChmMoniker> moniker = ChmUrl::FromMonikerUrl(info.requestUrl());
    if (moniker) strTarget = m_service.FindSibling(from->strChmFile, moniker->strFile);
  } else if (const std::optional<ChmLocation> target = ChmUrl::FromUrl(info.requestUrl())) {
    strTarget = target->strChmFile;
  }
  if (!IsCanonicalChmFile(strTarget)) return false;
  return strTarget == from->strChmFile || (blnFrame && ChmPreviewService::InSameFolder(from->strChmFile, strTarget));
}

}  // namespace velmora::app
