#pragma once
// The "about:" pages the preview shows instead of a stored file. An item's
// name goes in as text: characters that mean something in HTML are
// escaped, so a name such as <img src=x onerror=alert(1)>.exe is shown as
// written and runs nothing.

#include <QString>

namespace velmora::app {

// "about:(这是目录)"
QString FolderPageAddress();

// "about:<font color=red>(危险文件，已经忽略：" + name + ")</font>"
QString RefusedPageAddress(const QString& strName);

}  // namespace velmora::app
