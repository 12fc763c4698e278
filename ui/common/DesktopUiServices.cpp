#include "ui/common/DesktopUiServices.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

#include "ui/common/cBrowseForFolder.h"

namespace velmora::ui {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton ToQtButton(MsgAnswer answer) {
  switch (answer) {
    case MsgAnswer::Cancel: return QMessageBox::Cancel;
    case MsgAnswer::Yes: return QMessageBox::Yes;
    case MsgAnswer::No: return QMessageBox::No;
    case MsgAnswer::Ok: break;
  }
  return QMessageBox::Ok;
}

// Closing the box without a button counts as its escape answer: Cancel when
// offered, else No, else Ok.
MsgAnswer FromQtButton(int button, MsgButtons buttons) {
  switch (button) {
    case QMessageBox::Ok: return MsgAnswer::Ok;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: break;
  }
  switch (buttons) {
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::Ok: break;
  }
  return MsgAnswer::Ok;
}

}  // namespace

MsgAnswer DesktopUiServices::ShowMessage(const MessageRequest& request) {
  QMessageBox box(ToQtIcon(request.icon), request.caption, request.text,
                  ToQtButtons(request.buttons), request.owner);
  const QMessageBox::StandardButton preferred = ToQtButton(request.defaultButton);
  if (box.standardButtons().testFlag(preferred)) box.setDefaultButton(preferred);
  return FromQtButton(box.exec(), request.buttons);
}

FileDialogResult DesktopUiServices::ShowFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(request.owner, request.title, request.initialFolder);
  const bool open = request.kind == FileDialogRequest::Kind::Open;
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  if (open && request.multiple) {
    dialog.setFileMode(QFileDialog::ExistingFiles);
  } else if (open && request.fileMustExist) {
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  if (!request.nameFilters.isEmpty()) {
    dialog.setNameFilters(request.nameFilters);
    const int index = qBound(0, request.filterIndex, int(request.nameFilters.size()) - 1);
    dialog.selectNameFilter(request.nameFilters.at(index));
  }
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);

  FileDialogResult result;
  result.filterIndex = request.filterIndex;
  if (dialog.exec() != QDialog::Accepted) return result;
  result.files = dialog.selectedFiles();
  result.accepted = !result.files.isEmpty();
  const int chosenFilter = request.nameFilters.indexOf(dialog.selectedNameFilter());
  if (chosenFilter >= 0) result.filterIndex = chosenFilter;
  return result;
}

QString DesktopUiServices::ShowFolderBrowser(cBrowseForFolder& browser) {
  return browser.RunDialog();
}

void DesktopUiServices::OpenWithDesktop(const QString& fileOrAddress, std::function<void()> onFailure) {
  const QString strOpener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (strOpener.isEmpty()) {
    // An address has a scheme of two or more letters; anything else is a path.
    const QUrl address(fileOrAddress);
    const QUrl url = address.isValid() && address.scheme().size() > 1 ? address : QUrl::fromLocalFile(fileOrAddress);
    if (!QDesktopServices::openUrl(url) && onFailure) onFailure();
    return;
  }
  // xdg-open ends with a non-zero status when no application takes the
  // file or address. With some desktops it waits for the application, so
  // the answer comes when it ends; the process object lives until then.
  auto* process = new QProcess;
  process->setProgram(strOpener);
  process->setArguments({fileOrAddress});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  auto failed = std::make_shared<std::function<void()>>(std::move(onFailure));
  QObject::connect(process, &QProcess::finished, process,
                   [process, failed](int exitCode, QProcess::ExitStatus status) {
                     if ((status != QProcess::NormalExit || exitCode != 0) && *failed) (*failed)();
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process, [process, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    if (*failed) (*failed)();
    process->deleteLater();
  });
  process->start();
}

bool DesktopUiServices::StartProcess(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

}  // namespace velmora::ui
