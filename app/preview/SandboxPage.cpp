#include "app/preview/SandboxPage.h"

#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

#include "app/preview/ChmUrlSchemes.h"

namespace velmora::app {

SandboxPage::SandboxPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {
  connect(this, &QWebEnginePage::featurePermissionRequested, this,
          [this](const QUrl& origin, QWebEnginePage::Feature feature) {
            setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
          });
  connect(this, &QWebEnginePage::fullScreenRequested, this,
          [](QWebEngineFullScreenRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
          [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
          [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
}

// The request filter of the profile decides which of these may actually be
// loaded (one local file only); here every other scheme is turned away
// before the engine would pass it to the desktop.
bool SandboxPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool) {
  const QString strScheme = url.scheme().toLower();
  if (IsChmScheme(strScheme) || strScheme == QLatin1String("file") || strScheme == QLatin1String("about") ||
      strScheme == QLatin1String("data") || strScheme == QLatin1String("blob")) {
    return true;
  }
  if (type == NavigationTypeLinkClicked &&
      (strScheme == QLatin1String("http") || strScheme == QLatin1String("https"))) {
    emit WebLinkRefused(url);
  }
  return false;
}

QWebEnginePage* SandboxPage::createWindow(WebWindowType) { return nullptr; }

QStringList SandboxPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) { return {}; }

// A help page cannot pop up dialogs over the program (nor pile them up).
void SandboxPage::javaScriptAlert(const QUrl&, const QString&) {}

bool SandboxPage::javaScriptConfirm(const QUrl&, const QString&) { return false; }

bool SandboxPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

}  // namespace velmora::app
