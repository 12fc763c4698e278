#include "ui/common/DesktopOpen.h"

#include <QFileInfo>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include "engine/ProductInfo.h"
#include "ui/common/UiServices.h"

namespace velmora::ui {

QString CannotOpenText(const QString& strTarget) {
  // An address has a scheme of two or more letters; anything else is a path.
  const QUrl address(strTarget);
  if (address.isValid() && address.scheme().size() > 1) {
    return QStringLiteral("无法打开网页，请在浏览器中访问：") + strTarget;
  }
  if (QFileInfo(strTarget).isDir()) return QStringLiteral("无法打开文件夹：") + strTarget;
  return QStringLiteral("无法打开文件：") + strTarget;
}

void OpenOnDesktop(QWidget* owner, const QString& strTarget) {
  const QPointer<QWidget> window(owner);
  const bool blnOwned = owner != nullptr;
  Services().OpenWithDesktop(strTarget, [window, blnOwned, strTarget] {
    // The window that asked was closed meanwhile: nobody to tell.
    if (blnOwned && !window) return;
    MessageRequest request;
    request.owner = window;
    request.text = CannotOpenText(strTarget);
    request.caption = QString::fromUtf8(kApplicationTitle);
    request.icon = MsgIcon::Information;
    Services().ShowMessage(request);
  });
}

}  // namespace velmora::ui
