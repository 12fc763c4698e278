#include "app/preview/ChmPreviewService.h"

#include <QDir>
#include <algorithm>
#include <QFileInfo>

#include "app/preview/ChmFilePath.h"
#include "app/preview/ChmUrl.h"

namespace velmora::app {
namespace {

// The last component of a file as an author wrote it, with either slash.
QString WrittenFileName(const QString& strFileAsWritten) {
  const int lngCut = std::max(strFileAsWritten.lastIndexOf(QLatin1Char('/')),
                              strFileAsWritten.lastIndexOf(QLatin1Char('\\')));
  return strFileAsWritten.mid(lngCut + 1);
}

}  // namespace

ChmPreviewService& ChmPreviewService::Shared() {
  static ChmPreviewService service;
  return service;
}

void ChmPreviewService::OpenForPreview(const QString& strChmFile) {
  Close();
  m_strOpenFile = CanonicalChmFile(strChmFile);
  if (m_strOpenFile.isEmpty()) return;
  m_named.insert(m_strOpenFile);
  m_archives.Pin(m_strOpenFile);
}

void ChmPreviewService::Close() {
  if (m_strOpenFile.isEmpty()) return;
  m_archives.Unpin(m_strOpenFile);
  m_strOpenFile.clear();
}

void ChmPreviewService::SetPageCharset(const QString& strChmFile, const QByteArray& charset) {
  if (charset.isEmpty()) {
    m_charsets.remove(CanonicalChmFile(strChmFile));
  } else {
    m_charsets.insert(CanonicalChmFile(strChmFile), charset);
  }
}

QUrl ChmPreviewService::UrlForAddress(const QString& strAddress) {
  const std::optional<ChmLocation> location = ChmUrl::FromAddress(strAddress);
  if (!location) return {};
  const QString strFile = CanonicalChmFile(location->strChmFile);
  if (strFile.isEmpty()) return {};
  m_named.insert(strFile);
  return ChmUrl::ToUrl(ChmLocation{strFile, location->strStoredPath});
}

std::function<QUrl(const QString&)> ChmPreviewService::Resolver() {
  return [this](const QString& strAddress) { return UrlForAddress(strAddress); };
}

QString ChmPreviewService::FindSibling(const QString& strFrom, const QString& strFileAsWritten) const {
  const QString strName = WrittenFileName(strFileAsWritten);
  if (strName.isEmpty() || strName == QLatin1String(".") || strName == QLatin1String("..")) return {};
  const QDir folder = QFileInfo(strFrom).absoluteDir();
  QString strFound;
  if (QFileInfo(folder.filePath(strName)).isFile()) {
    strFound = folder.filePath(strName);
  } else {
    for (const QString& strEntry : folder.entryList(QDir::Files | QDir::Hidden)) {
      if (strEntry.compare(strName, Qt::CaseInsensitive) == 0) {
        strFound = folder.filePath(strEntry);
        break;
      }
    }
  }
  return strFound.isEmpty() ? QString() : CanonicalChmFile(strFound);
}

bool ChmPreviewService::MayServe(const QString& strChmFile, const QUrl& initiator, Request request) const {
  if (!IsCanonicalChmFile(strChmFile)) return false;
  if (initiator.isEmpty()) return m_named.contains(strChmFile);
  const std::optional<ChmLocation> from = ChmUrl::FromUrl(initiator);
  if (!from || !IsCanonicalChmFile(from->strChmFile)) return false;
  return from->strChmFile == strChmFile ||
         (request == Request::Navigation && InSameFolder(from->strChmFile, strChmFile));
}

bool ChmPreviewService::InSameFolder(const QString& strFrom, const QString& strTarget) {
  const QFileInfo target(QFileInfo(strTarget).canonicalFilePath());
  const QString strFolder = QFileInfo(QFileInfo(strFrom).absolutePath()).canonicalFilePath();
  return target.isFile() && !strFolder.isEmpty() && target.absolutePath() == strFolder;
}

}  // namespace velmora::app
