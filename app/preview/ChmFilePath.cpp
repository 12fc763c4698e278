#include "app/preview/ChmFilePath.h"

#include <QDir>
#include <QFileInfo>

namespace velmora::app {
namespace {

bool InSystemFolder(const QString& strPath) {
  for (const QLatin1String folder : {QLatin1String("/proc"), QLatin1String("/dev"), QLatin1String("/sys")}) {
    if (strPath == folder || strPath.startsWith(folder + QLatin1Char('/'))) return true;
  }
  return false;
}

}  // namespace

QString CanonicalChmFile(const QString& strPath) {
  if (strPath.isEmpty() || InSystemFolder(QDir::cleanPath(QFileInfo(strPath).absoluteFilePath()))) return {};
  const QFileInfo file(strPath);
  const QString strCanonical = file.canonicalFilePath();
  if (strCanonical.isEmpty() || InSystemFolder(strCanonical) || !QFileInfo(strCanonical).isFile()) return {};
  return strCanonical;
}

bool IsCanonicalChmFile(const QString& strPath) {
  return !strPath.isEmpty() && CanonicalChmFile(strPath) == strPath;
}

}  // namespace velmora::app
