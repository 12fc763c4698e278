#pragma once
// Where the help commands send the user: the manual beside the program, the
// product web site and its donation page. Everything is opened with the
// desktop's default application through the UI services; a web page the
// desktop cannot open is reported in a message box over owner.

#include <QString>
#include <functional>

class QWidget;

namespace velmora::ui {

// The manual file in the given program folder (which has no trailing "/"),
// or in the installation's share/velmora beside it when only that one exists.
QString ManualFilePath(const QString& strAppFolder);
// The web site's home page; it ends in "/".
QString WebsiteAddress();
// The donation page, in the home page's folder.
QString DonatePageAddress();

// Opens the manual when it is a file in strAppFolder, otherwise the web site.
// When the desktop cannot open the manual, notOpened gets its path (at once
// or later).
void OpenManualOrWebsite(QWidget* owner, const QString& strAppFolder,
                         std::function<void(const QString&)> notOpened = nullptr);
void OpenWebsite(QWidget* owner);
void OpenDonatePage(QWidget* owner);

}  // namespace velmora::ui
