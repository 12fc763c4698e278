#pragma once
// Opening what the user asked for (a folder, a file, a web page) with the
// desktop's default application, through the UI services. When the desktop
// cannot, the user is told so in a message box (application title as
// caption, information icon) over the window that asked, if it is still
// there; the answer of the desktop may come late.

#include <QString>

class QWidget;

namespace velmora::ui {

void OpenOnDesktop(QWidget* owner, const QString& strTarget);

// The message for a target the desktop could not open: the web address,
// folder or file named as the user reads it.
QString CannotOpenText(const QString& strTarget);

}  // namespace velmora::ui
