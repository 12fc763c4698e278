#pragma once
// The real desktop behind UiServices: Qt message boxes and file dialogs, the
// program's own folder browser, the desktop's default applications and
// detached processes.

#include "ui/common/UiServices.h"

namespace velmora::ui {

class DesktopUiServices : public UiServices {
 public:
  MsgAnswer ShowMessage(const MessageRequest& request) override;
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;
  QString ShowFolderBrowser(cBrowseForFolder& browser) override;
  // Hands the file, folder or address to xdg-open, whose exit status tells
  // whether an application took it; without xdg-open, to Qt's desktop
  // services.
  void OpenWithDesktop(const QString& fileOrAddress, std::function<void()> onFailure) override;
  bool StartProcess(const QString& program, const QStringList& arguments) override;
};

}  // namespace velmora::ui
