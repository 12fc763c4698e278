#pragma once
// A scripted stand-in for the desktop: records every request (message boxes
// with text, caption, icon, buttons and default; file dialogs; folder
// browsers; desktop opens; processes) and answers from preset queues.
//
// Constructing one installs it as velmora::ui::Services(); destroying it
// restores the desktop. A message box that offers a choice, a file dialog or
// a folder browser without a preset answer fails the running test and is
// listed in UnexpectedRequests(); it is then answered as cancelled (Cancel,
// else No). A message box with only OK needs no preset.

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include "ui/common/UiServices.h"

namespace velmora::test {

struct FolderBrowserRequest {
  QWidget* owner = nullptr;
  QString title;
  QString initialDir;  // as the browser holds it (made absolute)
  QString rootDir;
  quint32 optionBits = 0;
};

struct ProcessRequest {
  QString program;
  QStringList arguments;
};

class ScriptedUiServices : public velmora::ui::UiServices {
 public:
  ScriptedUiServices();
  ~ScriptedUiServices() override;
  ScriptedUiServices(const ScriptedUiServices&) = delete;
  ScriptedUiServices& operator=(const ScriptedUiServices&) = delete;

  // Preset answers, used in order.
  void QueueMessageAnswer(velmora::ui::MsgAnswer answer) { m_messageAnswers.enqueue(answer); }
  void QueueFileDialogResult(const velmora::ui::FileDialogResult& result) {
    m_fileResults.enqueue(result);
  }
  // Accepted with these files (filter index 0).
  void QueueFiles(const QStringList& files);
  void QueueFileDialogCancel() { m_fileResults.enqueue(velmora::ui::FileDialogResult()); }
  // The folder the next browser returns; empty means cancelled.
  void QueueFolder(const QString& folder) { m_folders.enqueue(folder); }
  // Whether OpenWithDesktop succeeds and what StartProcess reports (true
  // unless set).
  void SetOpenSucceeds(bool succeeds) { m_openSucceeds = succeeds; }
  void SetStartSucceeds(bool succeeds) { m_startSucceeds = succeeds; }

  // What was asked, in order.
  const QList<velmora::ui::MessageRequest>& Messages() const { return m_messages; }
  const QList<velmora::ui::FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
  const QList<FolderBrowserRequest>& FolderBrowsers() const { return m_folderBrowsers; }
  const QStringList& Opened() const { return m_opened; }
  const QList<ProcessRequest>& Processes() const { return m_processes; }
  const QStringList& UnexpectedRequests() const { return m_unexpected; }
  // Preset answers nobody asked for.
  int UnusedAnswers() const {
    return int(m_messageAnswers.size() + m_fileResults.size() + m_folders.size());
  }

  velmora::ui::MsgAnswer ShowMessage(const velmora::ui::MessageRequest& request) override;
  velmora::ui::FileDialogResult ShowFileDialog(const velmora::ui::FileDialogRequest& request) override;
  QString ShowFolderBrowser(cBrowseForFolder& browser) override;
  // Recorded in Opened(); onFailure runs at once when opens fail.
  void OpenWithDesktop(const QString& fileOrAddress, std::function<void()> onFailure) override;
  bool StartProcess(const QString& program, const QStringList& arguments) override;

 private:
  void Unexpected(const QString& what);

  QQueue<velmora::ui::MsgAnswer> m_messageAnswers;
  QQueue<velmora::ui::FileDialogResult> m_fileResults;
  QQueue<QString> m_folders;
  bool m_openSucceeds = true;
  bool m_startSucceeds = true;

  QList<velmora::ui::MessageRequest> m_messages;
  QList<velmora::ui::FileDialogRequest> m_fileDialogs;
  QList<FolderBrowserRequest> m_folderBrowsers;
  QStringList m_opened;
  QList<ProcessRequest> m_processes;
  QStringList m_unexpected;
};

}  // namespace velmora::test
