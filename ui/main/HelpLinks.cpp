#include "ui/main/HelpLinks.h"

#include <QDir>

#include "engine/ProductInfo.h"
#include "engine/basVelmora.h"
#include "ui/common/DesktopOpen.h"
#include "ui/common/UiServices.h"

namespace velmora::ui {

QString ManualFilePath(const QString& strAppFolder) {
  // Beside the program (the build folder), else where an installation
  // keeps shared data (bin/../share/velmora).
  const QString strName = QStringLiteral("/Velmora(Velmora)用户手册.chm");
  const QString strInstalled = strAppFolder + QStringLiteral("/../share/velmora") + strName;
  if (!engine::basVelmora::FileExists((strAppFolder + strName).toStdString()) &&
      engine::basVelmora::FileExists(strInstalled.toStdString())) {
    return QDir::cleanPath(strInstalled);
  }
  return strAppFolder + strName;
}

QString WebsiteAddress() { return QString::fromUtf8(kWebsiteAddress); }

QString DonatePageAddress() { return WebsiteAddress() + QString::fromUtf8(kDonatePage); }

void OpenManualOrWebsite(QWidget* owner, const QString& strAppFolder,
                         std::function<void(const QString&)> notOpened) {
  const QString strManual = ManualFilePath(strAppFolder);
  if (engine::basVelmora::FileExists(strManual.toStdString())) {
    Services().OpenWithDesktop(strManual, [strManual, notOpened] {
      if (notOpened) notOpened(strManual);
    });
  } else {
    OpenWebsite(owner);
  }
}

void OpenWebsite(QWidget* owner) { OpenOnDesktop(owner, WebsiteAddress()); }

void OpenDonatePage(QWidget* owner) { OpenOnDesktop(owner, DonatePageAddress()); }

}  // namespace velmora::ui
