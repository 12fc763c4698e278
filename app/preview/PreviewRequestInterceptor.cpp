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
  // A keyed URL is asked for by the program or a page of its own file:
  // nothing else holds the key.
  if (ChmUrl::IsKeyedUrl(info.requestUrl())) {
    return IsCanonicalChmFile(ChmUrl::FromUrl(info.requestUrl())->strChmFile);
  }
  const bool blnMoniker = IsMonikerScheme(info.requestUrl().scheme());
  if (info.initiator().isEmpty()) return AllowsWithoutInitiator(info, blnFrame, blnMoniker);
  if (blnFrame && blnMoniker) return true;
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
  if (blnFrame && strTarget == from->strChmFile && IsBareRoot(info.requestUrl())) {
    ServeKeyed(info, strTarget);
    return true;
  }
  return strTarget == from->strChmFile || (blnFrame && ChmPreviewService::InSameFolder(from->strChmFile, strTarget));
}

// No initiator: the program's own navigations, or a page with an opaque
// origin (a keyed page, see ChmUrl), whose file the engine does not name.
// Such a page reads nothing but keyed URLs (above); its moniker links, in
// frames only, lead to a file of the folder of the pane's top document,
// which every frame of the pane shares, served keyed as well: the scheme
// handler sees no initiator to judge a chm URL by.
bool PreviewRequestInterceptor::AllowsWithoutInitiator(QWebEngineUrlRequestInfo& info, bool blnFrame,
                                                        bool blnMoniker) const {
  if (!blnFrame) return false;
  using Info = QWebEngineUrlRequestInfo;
  const Info::NavigationType type = info.navigationType();
  if (!blnMoniker) return type == Info::NavigationTypeTyped || type == Info::NavigationTypeBackForward ||
                          type == Info::NavigationTypeReload;
  const std::optional<ChmLocation> top = ChmUrl::FromUrl(info.firstPartyUrl());
  const std::optional<ChmMoniker> moniker = ChmUrl::FromMonikerUrl(info.requestUrl());
  if (!top || !moniker || !IsCanonicalChmFile(top->strChmFile)) return false;
  const QString strTarget = m_service.FindSibling(top->strChmFile, moniker->strFile);
  if (!IsCanonicalChmFile(strTarget) || !ChmPreviewService::InSameFolder(top->strChmFile, strTarget)) return false;
  info.redirect(ChmUrl::ToKeyedUrl(ChmLocation{strTarget, moniker->strStoredPath}));
  return true;
}

// A page that sends itself to the bare root of its file's address ("its
// address minus its path") found a protocol other than "mk:" there: its
// file is served keyed from now on, starting with the page again (for the
// whole pane, whose address the engine names) or the file's default topic.
void PreviewRequestInterceptor::ServeKeyed(QWebEngineUrlRequestInfo& info, const QString& strChmFile) const {
  m_service.ServeKeyed(strChmFile);
  std::optional<ChmLocation> page = ChmUrl::FromUrl(info.firstPartyUrl());
  if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame || !page ||
      page->strChmFile != strChmFile) {
    page = ChmLocation{strChmFile, QStringLiteral("/")};
  }
  info.redirect(ChmUrl::ToKeyedUrl(*page));
}

bool PreviewRequestInterceptor::IsBareRoot(const QUrl& url) {
  const QString strPath = url.path(QUrl::FullyEncoded);
  return strPath.isEmpty() || strPath == QLatin1String("/");
}

}  // namespace velmora::app
