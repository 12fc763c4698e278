#include "app/preview/AboutPages.h"

namespace velmora::app {

QString FolderPageAddress() { return QStringLiteral("about:(这是目录)"); }

QString RefusedPageAddress(const QString& strName) {
  return QStringLiteral("about:<font color=red>(危险文件，已经忽略：") + strName.toHtmlEscaped() +
         QStringLiteral(")</font>");
}

}  // namespace velmora::app
