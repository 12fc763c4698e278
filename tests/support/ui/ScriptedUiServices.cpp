#include "tests/support/ui/ScriptedUiServices.h"

#include <QTest>

#include "ui/common/cBrowseForFolder.h"

namespace velmora::test {

using velmora::ui::MsgAnswer;
using velmora::ui::MsgButtons;

ScriptedUiServices::ScriptedUiServices() { velmora::ui::SetServices(this); }

ScriptedUiServices::~ScriptedUiServices() { velmora::ui::SetServices(nullptr); }

void ScriptedUiServices::QueueFiles(const QStringList& files) {
  velmora::ui::FileDialogResult result;
  result.accepted = true;
  result.files = files;
  m_fileResults.enqueue(result);
}

MsgAnswer ScriptedUiServices::ShowMessage(const velmora::ui::MessageRequest& request) {
  m_messages.append(request);
  if (request.buttons == MsgButtons::Ok) {
    // A notice has one answer; a preset one is still taken when queued.
    return m_messageAnswers.isEmpty() ? MsgAnswer::Ok : m_messageAnswers.dequeue();
  }
  if (!m_messageAnswers.isEmpty()) return m_messageAnswers.dequeue();
  Unexpected(QStringLiteral("message box without a preset answer: ") + request.text);
  return request.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
}

velmora::ui::FileDialogResult ScriptedUiServices::ShowFileDialog(
    const velmora::ui::FileDialogRequest& request) {
  m_fileDialogs.append(request);
  if (!m_fileResults.isEmpty()) return m_fileResults.dequeue();
  Unexpected(QStringLiteral("file dialog without a preset result: ") + request.title);
  return velmora::ui::FileDialogResult();
}

QString ScriptedUiServices::ShowFolderBrowser(cBrowseForFolder& browser) {
  m_folderBrowsers.append({browser.hwndOwner(), browser.Title(), browser.InitialDir(),
                           browser.RootDir(), browser.OptionBits()});
  if (!m_folders.isEmpty()) return m_folders.dequeue();
  Unexpected(QStringLiteral("folder browser without a preset folder: ") + browser.Title());
  return QString();
}

void ScriptedUiServices::OpenWithDesktop(const QString& fileOrAddress, std::function<void()> onFailure) {
  m_opened.append(fileOrAddress);
  if (!m_openSucceeds && onFailure) onFailure();
}

bool ScriptedUiServices::StartProcess(const QString& program, const QStringList& arguments) {
  m_processes.append({program, arguments});
  return m_startSucceeds;
}

void ScriptedUiServices::Unexpected(const QString& what) {
  m_unexpected.append(what);
  QTest::qFail(qPrintable(QStringLiteral("ScriptedUiServices: ") + what), __FILE__, __LINE__);
}

}  // namespace velmora::test
