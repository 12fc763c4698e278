#include "ui/main/cPreviewBrowser.h"

#include <utility>

namespace velmora::ui {

cPreviewBrowser::cPreviewBrowser(QWidget* parent) : QWebEngineView(parent) {}

void cPreviewBrowser::Navigate(const QString& strAddress) {
  m_strLastAddress = strAddress;
  const QString strAbout = QString::fromLatin1(kAboutPrefix);
  if (strAddress.startsWith(strAbout, Qt::CaseInsensitive)) {
    setHtml(strAddress.mid(strAbout.size()));
  } else if (strAddress.startsWith(QString::fromLatin1(kStoredFilePrefix), Qt::CaseInsensitive)) {
    ShowStoredFile(strAddress);
  } else {
    setUrl(QUrl::fromLocalFile(strAddress));
  }
}

void cPreviewBrowser::SetStoredFileResolver(StoredFileResolver resolver) {
  m_storedFileResolver = std::move(resolver);
}

void cPreviewBrowser::ShowStoredFile(const QString& strAddress) {
  const QUrl page = m_storedFileResolver ? m_storedFileResolver(strAddress) : QUrl();
  if (page.isValid() && !page.isEmpty()) {
    setUrl(page);
    return;
  }
  // Never hand the raw address to the engine: an unknown scheme would be
  // passed on to the desktop.
  setHtml(QStringLiteral("(无法实时预览：%1)").arg(strAddress.toHtmlEscaped()));
}

}  // namespace velmora::ui
