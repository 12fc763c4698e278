#include "ui/main/HelpLinks.h"

#include "engine/ProductInfo.h"
#include "engine/basVelmora.h"
#include "ui/common/UiServices.h"

namespace velmora::ui {

QString ManualFilePath(const QString& strAppFolder) {
  return strAppFolder + QStringLiteral("/Velmora(Velmora)用户手册.chm");
}

QString WebsiteAddress() { return QString::fromUtf8(kWebsiteAddress); }

QString DonatePageAddress() { return WebsiteAddress() + QString::fromUtf8(kDonatePage); }

void OpenManualOrWebsite(const QString& strAppFolder) {
  const QString strManual = ManualFilePath(strAppFolder);
  if (engine::basVelmora::FileExists(strManual.toStdString())) {
    Services().OpenWithDesktop(strManual);
  } else {
    OpenWebsite();
  }
}

void OpenWebsite() { Services().OpenWithDesktop(WebsiteAddress()); }

void OpenDonatePage() { Services().OpenWithDesktop(DonatePageAddress()); }

}  // namespace velmora::ui
