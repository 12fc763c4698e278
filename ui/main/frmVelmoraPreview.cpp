// The content list and the preview pane: a current row the user chose
// previews its item, in place from inside the CHM file or from a copy
// extracted into the preview folder; executables and scripts only after a
// confirmation. Files dropped on the list open the first of them; a click
// on the empty list offers to add files.

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <vector>

#include "app/PreviewChoice.h"
#include "app/preview/AboutPages.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/PreviewSandbox.h"
#include "engine/ReportText.h"
#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"
#include "ui/common/ucFirefoxWait.h"
#include "ui/main/WindowMessages.h"
#include "ui/main/cListBox.h"
#include "ui/main/cPreviewBrowser.h"
#include "ui/main/frmVelmora.h"

namespace velmora::ui {
namespace {

QString FromUtf8(const std::string& strText) { return QString::fromStdString(strText); }
std::string ToUtf8(const QString& strText) { return strText.toStdString(); }

// Executables and scripts are shown only when the user says Yes; No is
// the default answer.
bool ConfirmPreview(QWidget* owner, app::PreviewConfirmation confirmation) {
  switch (confirmation) {
    case app::PreviewConfirmation::Executable:
      return AskYesNo(owner, QStringLiteral("这是可执行文件，是否真要预览？"), MsgIcon::Warning, MsgAnswer::No);
    case app::PreviewConfirmation::Script:
      return AskYesNo(owner, QStringLiteral("这是脚本文件，是否真要预览？"), MsgIcon::Question, MsgAnswer::No);
    case app::PreviewConfirmation::None:
      break;
  }
  return true;
}

}  // namespace

void frmVelmora::ConnectPreviewEvents() {
  connect(lstItems, &cListBox::CurrentRowChosen, this, [this](int) { lstItems_Click(); });
  connect(lstItems, &cListBox::FilesDropped, this, &frmVelmora::lstItems_FilesDropped);
  connect(lstItems, &cListBox::MouseReleased, this,
          [this](Qt::MouseButton button, const QPoint&) { lstItems_LeftMouseUp(button); });
}

void frmVelmora::PreparePreviewPane() {
  app::HardenPreview(wbPreview);
  wbPreview->SetStoredFileResolver(app::ChmPreviewService::Shared().Resolver());
}

void frmVelmora::OpenFileForPreview() { app::ChmPreviewService::Shared().OpenForPreview(m_strCHMFile); }

void frmVelmora::CloseFileForPreview() { app::ChmPreviewService::Shared().Close(); }

QString frmVelmora::GetPreviewFilePrefix() {
  // The program's folder is usually read-only: the copies live in the
  // user's cache folder.
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/预览/~preview.");
}

void frmVelmora::lstItems_Click() {
  // An export walk may be replacing m_colItems meanwhile: no preview then.
  if (!m_blnLoaded || !CanStartWalk()) return;
  const int lngCurrent = lstItems->currentRow();
  if (lngCurrent < 0 || lngCurrent >= int(m_colItems.size())) return;
  fwProgress->PlayWait();
  // A copy: ShowStatus below lets events run, and an open started by one
  // of them replaces the collection.
  const engine::cCHMItemInfo item = m_colItems[std::size_t(ChoosePreviewRow(lngCurrent))];
  wbPreview->Navigate(PreviewAddress(item));
  // Control characters of stored names are shown as \xNN.
  ShowStatus(FromUtf8(engine::EscapeControlChars(item.Path)) + QLatin1Char('\\') +
             FromUtf8(engine::EscapeControlChars(item.Name)) + QStringLiteral("，大小：") +
             QString::number(item.Size));
  fwProgress->StopWait();
}

int frmVelmora::ChoosePreviewRow(int lngRow) {
  if (!m_mnu.mnuAutoViewHTML->isChecked()) return lngRow;
  const int lngRows = std::min(lstItems->count(), int(m_colItems.size()));
  int lngFound = lngRow;
  while (lngFound < lngRows && m_colItems[std::size_t(lngFound)].IsStorage) ++lngFound;
  if (lngFound >= lngRows || lngFound == lngRow) return lngRow;
  // The selection moves to the file found, which is previewed once: the
  // move itself does not count as a click.
  const QSignalBlocker blocker(lstItems);
  lstItems->item(lngRow)->setSelected(false);
  lstItems->setCurrentRow(lngFound, QItemSelectionModel::Select);
  lstItems->scrollToItem(lstItems->item(lngFound));
  return lngFound;
}

QString frmVelmora::PreviewAddress(const engine::cCHMItemInfo& item) {
  if (item.IsStorage) return app::FolderPageAddress();
  const QString strName = FromUtf8(item.Name);
  const std::string strExtension = engine::basVelmora::GetFileExtension(item.Name);
  const app::PreviewChoice choice = app::ChoosePreview(strExtension);
  if (!ConfirmPreview(this, choice.confirmation)) return app::RefusedPageAddress(strName);
  if (m_mnu.mnuPreview->isChecked() || choice.blnForceCopy) {
    return ExtractPreviewCopy(item, FromUtf8(choice.strCopyExtension));
  }
  // In place: the stored path with "/" between its parts, joined as it is.
  const QString strFolder = FromUtf8(item.Path).replace(QLatin1Char('\\'), QLatin1Char('/'));
  return QString::fromLatin1(cPreviewBrowser::kStoredFilePrefix) + m_strCHMFile + QStringLiteral("::") +
         strFolder + QLatin1Char('/') + strName;
}

QString frmVelmora::ExtractPreviewCopy(const engine::cCHMItemInfo& item, const QString& strExtension) {
  const QString strTarget = GetPreviewFilePrefix() + strExtension;
  engine::basVelmora::CreateFolderPath(ToUtf8(strTarget));
  // The previous copy goes first: an item that writes nothing (one that
  // cannot be read) must not show another item's page.
  QFile::remove(strTarget);
  // The record key: the item's folder inside the CHM file, "\" and its name.
  const std::vector<std::string> strKey{item.Path + "\\" + item.Name};
  std::int32_t lngPicCount = 0;
  std::int32_t lngHTMLCount = 0;
  std::int32_t lngMovieCount = 0;
  std::int32_t lngTotal = 0;
  bool blnRead = false;
  try {
    blnRead = m_ucmCHMParser->ParseCHM(ToUtf8(m_strCHMFile), ToUtf8(strTarget), engine::kExtractSingle, strKey,
                                       m_colItems, lngPicCount, lngHTMLCount, lngMovieCount, lngTotal);
  } catch (const engine::ParseError&) {
    blnRead = false;
  }
  // The CHM file was moved, deleted or damaged after it was listed: say so
  // instead of showing an older copy of another item.
  if (!blnRead) {
    if (!engine::basVelmora::FileExists(ToUtf8(m_strCHMFile))) {
      return QStringLiteral("about:文件不存在：") + m_strCHMFile.toHtmlEscaped();
    }
    return QStringLiteral("about:解释文件失败，可能该文件不是chm文件。");
  }
  // An item that wrote nothing: an empty page. (An empty item gives an
  // empty copy.)
  if (!QFileInfo::exists(strTarget)) return QStringLiteral("about:");
  return strTarget;
}

void frmVelmora::lstItems_FilesDropped(const QStringList& strFiles) {
  if (strFiles.isEmpty()) return;
  // Only the first file is opened; it becomes the only row of an empty CHM
  // file list (a plain append). The mode stays.
  if (OpenChosenFile(strFiles.first(), true) && lstFiles->count() == 0) lstFiles->addItem(m_strCHMFile);
}

void frmVelmora::lstItems_LeftMouseUp(Qt::MouseButton button) {
  if (button == Qt::LeftButton) OfferToAddFiles(lstItems);
}

void frmVelmora::OfferToAddFiles(cListBox* list) {
  if (list->count() > 0) return;
  if (AskYesNo(this, QStringLiteral("还没有文件，是否马上添加？"), MsgIcon::Question, MsgAnswer::Yes)) {
    ChooseCHMFiles();
  }
}

}  // namespace velmora::ui
