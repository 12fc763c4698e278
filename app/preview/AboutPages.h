#pragma once
// The "about:" pages the preview shows instead of a stored file. An item's
// name goes in as text: characters that mean something in HTML are
// escaped, so a name such as <img src=x onerror=alert(1)>.exe is shown as
// written and runs nothing.

#include <QByteArray>
#include <QString>

namespace velmora::app {

// "about:(这是目录)"
QString FolderPageAddress();

// "about:<font color=red>(危险文件，已经忽略：" + name + ")</font>"
QString RefusedPageAddress(const QString& strName);

// Why a stored file is not shown in place.
enum class PreviewFailure {
  NotFound,      // no such CHM file or stored file
  Refused,       // another CHM file the page may not reach
  TooLarge,      // longer than the preview serves
  Damaged,       // cannot be read or decoded
  NoSpace,       // its preview copy would fill the disk
  CannotWrite,   // the preview folder refused its copy
};

// The page shown in place of a stored file that cannot be served (UTF-8
// HTML in Chinese): the item as the page asked for it and the reason.
QByteArray PreviewErrorPage(const QString& strItem, PreviewFailure failure);
// The same page as an "about:" address, for the preview pane.
QString PreviewErrorPageAddress(const QString& strItem, PreviewFailure failure);

}  // namespace velmora::app
