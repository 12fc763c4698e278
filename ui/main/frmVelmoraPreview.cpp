// The content list and the preview pane: a current row the user chose
// previews its item, in place from inside the CHM file or from a copy
// extracted into the preview folder (made on a thread of its own, shown
// when it is done); executables and scripts only after a confirmation.
// Files dropped on the list open the first of them; a click on the empty
// list offers to add files.

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <algorithm>

#include "app/PreviewChoice.h"
#include "app/SitemapPage.h"
#include "app/preview/AboutPages.h"
#include "app/preview/ChmPreviewService.h"
#include "app/preview/PreviewSandbox.h"
#include "engine/ReportText.h"
#include "engine/basVelmora.h"
#include "engine/help/HelpFile.h"
#include "engine/help/TextEncoding.h"
#include "platform/storage/ChmArchive.h"
#include "ui/common/ucFirefoxWait.h"
#include "ui/main/PreviewCopier.h"
#include "ui/main/WindowMessages.h"
#include "ui/main/cListBox.h"
#include "ui/main/cPreviewBrowser.h"
#include "ui/main/frmVelmora.h"

namespace velmora::ui {
namespace {

QString FromUtf8(const std::string& strText) { return QString::fromStdString(strText); }

// The item's place inside the CHM file: "a/b/name.htm", "name.htm" at the top.
std::string StoredPath(const engine::cCHMItemInfo& item) {
  std::string strPath = item.Path;
  std::replace(strPath.begin(), strPath.end(), '\\', '/');
  return strPath.empty() ? item.Name : strPath + "/" + item.Name;
}

// The preview copy of a contents or index file becomes a page of its
// entries, read in the code page of the CHM file's language.
void RewriteSitemapCopy(const QString& strCopy, const QString& strChmFile) {
  QFile copy(strCopy);
  if (copy.size() > qint64(help::kMaxSitemapBytes) || !copy.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = copy.readAll();
  copy.close();
  platform::ChmArchive::OpenResult result;
  const auto archive = platform::ChmArchive::Open(QFile::encodeName(strChmFile).toStdString(), result);
  const std::string strCodePage = help::CodePageForLanguage(archive ? archive->languageId() : 0);
  const std::string strPage =
      app::SitemapPage(help::ParseSitemap(std::string_view(bytes.constData(), std::size_t(bytes.size())), strCodePage));
  if (copy.open(QIODevice::WriteOnly | QIODevice::Truncate)) copy.write(strPage.data(), qint64(strPage.size()));
}

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
  m_previewCopier = new PreviewCopier(this);
  app::HardenPreview(wbPreview);
  wbPreview->SetStoredFileResolver(app::ChmPreviewService::Shared().Resolver());
}

void frmVelmora::OpenFileForPreview() { app::ChmPreviewService::Shared().OpenForPreview(m_strCHMFile); }

void frmVelmora::CloseFileForPreview() {
  // A copy still being made of the file's item is not shown any more.
  if (m_previewCopier->Cancel()) fwProgress->StopWait();
  app::ChmPreviewService::Shared().Close();
}

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
  // The copy of an item chosen before, if still being made, is not shown.
  m_previewCopier->Cancel();
  // A copy: ShowStatus below lets events run, and an open started by one
  // of them replaces the collection.
  const engine::cCHMItemInfo item = m_colItems[std::size_t(ChoosePreviewRow(lngCurrent))];
  const QString strAddress = PreviewAddress(item);
  if (!strAddress.isEmpty()) wbPreview->Navigate(strAddress);
  // Control characters of stored names are shown as \xNN.
  ShowStatus(FromUtf8(engine::EscapeControlChars(item.Path)) + QLatin1Char('\\') +
             FromUtf8(engine::EscapeControlChars(item.Name)) + QStringLiteral("，大小：") +
             QString::number(item.Size));
  // A copy being made keeps the indicator going until it is shown.
  if (!m_previewCopier->IsBusy()) fwProgress->StopWait();
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
    StartPreviewCopy(item, FromUtf8(choice.strCopyExtension), strExtension == "hhc" || strExtension == "hhk");
    return QString();
  }
  // In place: the stored path with "/" between its parts, joined as it is.
  const QString strFolder = FromUtf8(item.Path).replace(QLatin1Char('\\'), QLatin1Char('/'));
  return QString::fromLatin1(cPreviewBrowser::kStoredFilePrefix) + m_strCHMFile + QStringLiteral("::") +
         strFolder + QLatin1Char('/') + strName;
}

void frmVelmora::StartPreviewCopy(const engine::cCHMItemInfo& item, const QString& strExtension, bool blnSitemap) {
  PreviewCopier::Request request;
  request.strChmFile = m_strCHMFile;
  request.strTarget = GetPreviewFilePrefix() + strExtension;
  // The record key: the item's folder inside the CHM file, "\" and its name.
  request.strKey = item.Path + "\\" + item.Name;
  request.lngListedSize = item.ExactSize;
  request.lngLimit = std::uint64_t(app::ChmPreviewService::Shared().StreamLimit());
  // The item as the in-place preview names it on its error pages.
  const QString strItem = QFileInfo(m_strCHMFile).fileName() + QStringLiteral("::") +
                          FromUtf8(engine::EscapeControlChars(StoredPath(item)));
  m_previewCopier->Start(request, [this, request, strItem, blnSitemap](PreviewCopier::Outcome outcome) {
    if (blnSitemap && outcome == PreviewCopier::Outcome::Written) RewriteSitemapCopy(request.strTarget, request.strChmFile);
    wbPreview->Navigate(PreviewCopyAddress(request, strItem, outcome));
    fwProgress->StopWait();
  });
}

QString frmVelmora::PreviewCopyAddress(const PreviewCopier::Request& request, const QString& strItem,
                                       PreviewCopier::Outcome outcome) {
  using Outcome = PreviewCopier::Outcome;
  switch (outcome) {
    case Outcome::Written:
      return request.strTarget;
    // The CHM file was moved, deleted or replaced after it was listed.
    case Outcome::MissingFile:
      return QStringLiteral("about:文件不存在：") + request.strChmFile.toHtmlEscaped();
    case Outcome::NotChm:
      return QStringLiteral("about:解释文件失败，可能该文件不是chm文件。");
    case Outcome::NotFound:
      return app::PreviewErrorPageAddress(strItem, app::PreviewFailure::NotFound);
    case Outcome::TooLarge:
      return app::PreviewErrorPageAddress(strItem, app::PreviewFailure::TooLarge);
    case Outcome::NoSpace:
      return app::PreviewErrorPageAddress(strItem, app::PreviewFailure::NoSpace);
    case Outcome::Damaged:
      return app::PreviewErrorPageAddress(strItem, app::PreviewFailure::Damaged);
    case Outcome::NotWritten:
      break;
  }
  return app::PreviewErrorPageAddress(strItem, app::PreviewFailure::CannotWrite);
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
