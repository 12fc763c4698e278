// The CHM file list of batch mode: files dropped on it, opening a row by
// double-click (which switches to single mode), the offer to add files when
// it is empty, and removing the selected rows.

#include <QListWidget>
#include <QPushButton>

#include "ui/main/WindowMessages.h"
#include "ui/main/cListBox.h"
#include "ui/main/cModeButton.h"
#include "ui/main/frmVelmora.h"

namespace velmora::ui {

void frmVelmora::ConnectBatchListEvents() {
  connect(lstFiles, &cListBox::FilesDropped, this, &frmVelmora::lstFiles_FilesDropped);
  connect(lstFiles, &QListWidget::itemDoubleClicked, this, &frmVelmora::lstFiles_DblClick);
  connect(lstFiles, &cListBox::MouseReleased, this,
          [this](Qt::MouseButton button, const QPoint&) { lstFiles_MouseUp(button); });
  connect(cmdRemoveFiles, &QPushButton::clicked, this, &frmVelmora::cmdRemoveFiles_Click);
}

bool frmVelmora::BatchListHolds(const QString& strPath) const {
  for (int lngRow = 0; lngRow < lstFiles->count(); ++lngRow) {
    if (lstFiles->item(lngRow)->text().compare(strPath, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

void frmVelmora::lstFiles_FilesDropped(const QStringList& strFiles) {
  // Each file is compared with the rows added before it, so a drop that
  // names a file twice adds it once. Nothing is checked before an export.
  for (const QString& strFile : strFiles) {
    if (!BatchListHolds(strFile)) AddBatchFile(strFile);
  }
  EnableExportMenus(lstFiles->count() > 0);
}

void frmVelmora::lstFiles_DblClick() {
  if (lstFiles->count() == 0 || lstFiles->currentRow() < 0 || !CanStartWalk()) return;
  // The CHM file list stays as it is; the mode switches whether or not the
  // file could be opened.
  OpenChosenFile(lstFiles->currentItem()->text(), false);
  optMode[0]->setChecked(true);
}

void frmVelmora::lstFiles_MouseUp(Qt::MouseButton button) {
  if (button == Qt::LeftButton) OfferToAddFiles(lstFiles);
}

void frmVelmora::cmdRemoveFiles_Click() {
  if (lstFiles->selectedItems().isEmpty()) {
    ShowNotice(this, QStringLiteral("请选择要移除的文件。"));
    return;
  }
  // From the last row up, so the rows still to visit keep their numbers.
  for (int lngRow = lstFiles->count() - 1; lngRow >= 0; --lngRow) {
    if (lstFiles->item(lngRow)->isSelected()) delete lstFiles->takeItem(lngRow);
  }
}

}  // namespace velmora::ui
