#pragma once
// Everything the UI asks of the desktop goes through here: message boxes,
// file and folder dialogs, opening files or addresses with the desktop's
// default application, and starting processes. Tests install a scripted
// double (tests/support) that records each request and answers from a queue.

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class cBrowseForFolder;

namespace velmora::ui {

enum class MsgIcon { None, Information, Question, Warning, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
  QWidget* owner = nullptr;
  QString text;
  QString caption;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
  MsgAnswer defaultButton = MsgAnswer::Ok;
};

struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  QWidget* owner = nullptr;
  QString title;
  QString initialFolder;
  QString fileName;           // preset name
  QStringList nameFilters;    // Qt form: "CHM文件 (*.chm)"
  int filterIndex = 0;        // zero-based index into nameFilters
  bool multiple = false;      // several files may be chosen (Open only)
  bool fileMustExist = false;
  bool pathMustExist = false;
  bool overwritePrompt = false;
  QString defaultSuffix;
};

struct FileDialogResult {
  bool accepted = false;
  QStringList files;          // absolute paths
  int filterIndex = 0;
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  virtual MsgAnswer ShowMessage(const MessageRequest& request) = 0;
  virtual FileDialogResult ShowFileDialog(const FileDialogRequest& request) = 0;
  // Shows the folder browser modally; returns the chosen folder or empty.
  virtual QString ShowFolderBrowser(cBrowseForFolder& browser) = 0;
  // Opens a file, folder or address with the desktop's default application;
  // onFailure runs (at once or later, on this thread) when the desktop has
  // no application for it or the application reports a failure.
  virtual void OpenWithDesktop(const QString& fileOrAddress, std::function<void()> onFailure) = 0;
  // Starts a detached process.
  virtual bool StartProcess(const QString& program, const QStringList& arguments) = 0;
};

// The services in use: the real desktop unless a test installed its own.
UiServices& Services();
// Installs services (not owned); null restores the real desktop.
void SetServices(UiServices* services);

}  // namespace velmora::ui
