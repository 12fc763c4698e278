#include "app/preview/PreviewSandbox.h"

#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmSchemeHandler.h"
#include "app/preview/ChmUrlSchemes.h"
#include "app/preview/PreviewRequestInterceptor.h"
#include "app/preview/SandboxPage.h"

namespace velmora::app {
namespace {

void RestrictSettings(QWebEngineSettings* settings) {
  using S = QWebEngineSettings;
  const S::WebAttribute off[] = {
      S::LocalContentCanAccessFileUrls, S::LocalContentCanAccessRemoteUrls, S::PluginsEnabled,
      S::JavascriptCanOpenWindows,      S::JavascriptCanAccessClipboard,    S::JavascriptCanPaste,
      S::AllowRunningInsecureContent,   S::AllowGeolocationOnInsecureOrigins, S::ScreenCaptureEnabled,
      S::HyperlinkAuditingEnabled,      S::DnsPrefetchEnabled,              S::NavigateOnDropEnabled,
      S::FullScreenSupportEnabled,      S::AllowWindowActivationFromJavaScript, S::PdfViewerEnabled,
      S::AutoLoadIconsForPage,          S::TouchIconsEnabled,
  };
  for (S::WebAttribute attribute : off) settings->setAttribute(attribute, false);
  settings->setAttribute(S::WebRTCPublicInterfacesOnly, true);
  settings->setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
}

}  // namespace

void HardenPreview(QWebEngineView* view) { HardenPreview(view, ChmPreviewService::Shared()); }

void HardenPreview(QWebEngineView* view, ChmPreviewService& service) {
  // Without a storage name the profile is off the record: no cookies,
  // cache or local storage reach the disk.
  auto* profile = new QWebEngineProfile;
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile->setSpellCheckEnabled(false);
  auto* handler = new ChmSchemeHandler(service, profile);
  for (const char* scheme : {kChmScheme, kMkScheme, kMsItsScheme, kItsScheme}) {
    profile->installUrlSchemeHandler(scheme, handler);
  }
  profile->setUrlRequestInterceptor(new PreviewRequestInterceptor(service, profile));
  QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile,
                   [](QWebEngineDownloadRequest* download) { download->cancel(); });
  RestrictSettings(profile->settings());
  // The profile belongs to the page, so it outlives the page's own teardown.
  auto* page = new SandboxPage(profile, view);
  profile->setParent(page);
  view->setPage(page);
}

}  // namespace velmora::app
