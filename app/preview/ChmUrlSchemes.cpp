#include "app/preview/ChmUrlSchemes.h"

#include <QWebEngineUrlScheme>

namespace velmora::app {
namespace {

void Register(const char* name, QWebEngineUrlScheme::Syntax syntax, QWebEngineUrlScheme::Flags flags) {
  QWebEngineUrlScheme scheme(name);
  scheme.setSyntax(syntax);
  scheme.setFlags(flags);
  QWebEngineUrlScheme::registerScheme(scheme);
}

}  // namespace

void RegisterChmUrlSchemes() {
  static bool blnRegistered = false;
  if (blnRegistered) return;
  blnRegistered = true;
  // Not a local scheme: the engine then refuses file: URLs inside these
  // pages on its own, besides the request filter. CORS-enabled so scripts
  // may read their own CHM file (and no other) with XMLHttpRequest, and
  // with fetch where the engine allows it for custom schemes.
  QWebEngineUrlScheme::Flags flags = QWebEngineUrlScheme::CorsEnabled;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
  flags |= QWebEngineUrlScheme::FetchApiAllowed;
#endif
  Register(kChmScheme, QWebEngineUrlScheme::Syntax::Host, flags);
  // Documents of path-syntax schemes would otherwise share one origin
  // ("mk:") whatever CHM file they come from: keyed pages (see ChmUrl) and
  // error pages shown at moniker addresses get opaque origins instead.
  Register(kMkScheme, QWebEngineUrlScheme::Syntax::Path, flags | QWebEngineUrlScheme::NoAccessAllowed);
  for (const char* name : {kMsItsScheme, kItsScheme}) {
    Register(name, QWebEngineUrlScheme::Syntax::Path, QWebEngineUrlScheme::NoAccessAllowed);
  }
}

bool IsChmScheme(const QString& scheme) {
  return scheme.compare(QLatin1String(kChmScheme), Qt::CaseInsensitive) == 0 || IsMonikerScheme(scheme);
}

bool IsMonikerScheme(const QString& scheme) {
  for (const char* name : {kMkScheme, kMsItsScheme, kItsScheme}) {
    if (scheme.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

}  // namespace velmora::app
