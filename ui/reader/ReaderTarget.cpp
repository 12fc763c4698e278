#include "ui/reader/ReaderTarget.h"

#include <QDir>
#include <QFileInfo>

#include "app/preview/ChmPreviewService.h"
#include "app/preview/ChmUrl.h"

namespace velmora::ui {

QString ReaderTarget::PathWithFragment() const {
  return strFragment.isEmpty() ? strStoredPath : strStoredPath + QLatin1Char('#') + strFragment;
}

ReaderTarget TargetInFile(const QString& strChmFile, const QString& strPathWithFragment) {
  ReaderTarget target;
  target.strChmFile = QDir::cleanPath(QFileInfo(strChmFile).absoluteFilePath());
  const int lngHash = strPathWithFragment.indexOf(QLatin1Char('#'));
  target.strStoredPath = app::ChmUrl::CleanStoredPath(strPathWithFragment.left(lngHash));
  if (lngHash >= 0) target.strFragment = strPathWithFragment.mid(lngHash + 1);
  if (target.strStoredPath == QLatin1String("/")) target.strStoredPath.clear();
  return target;
}

QUrl PageUrl(const ReaderTarget& target) {
  if (target.IsEmpty()) return {};
  QUrl url = app::ChmPreviewService::Shared().UrlForAddress(QStringLiteral("mk:@MSITStore:") + target.strChmFile +
                                                            QStringLiteral("::") + target.strStoredPath);
  if (!url.isEmpty() && !target.strFragment.isEmpty()) url.setFragment(target.strFragment);
  return url;
}

std::optional<ReaderTarget> TargetOfUrl(const QUrl& url) {
  const std::optional<app::ChmLocation> location = app::ChmUrl::FromUrl(url);
  if (!location) return std::nullopt;
  return ReaderTarget{location->strChmFile, location->strStoredPath, url.fragment()};
}

}  // namespace velmora::ui
