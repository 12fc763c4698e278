// The export commands: every entry of the export menu (also the content
// list's context menu) and the double-click on the content list run
// ExportCHM, which builds the work list from the mode, asks for the
// destination, walks each CHM file through app::ExportJob, reports each
// file's counts on the status line, and offers to show the result.
//
// The walks use a collection of their own, so m_colItems keeps matching the
// rows of the content list whatever an export walks. While an export runs
// its entries are off and the double-click does nothing: the status line
// lets events run between files, and a second export must not start then.

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "app/export/ExportJob.h"
#include "app/export/ExportPlan.h"
#include "engine/ExtractionLoss.h"
#include "engine/ReportText.h"
#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"
#include "ui/common/DesktopOpen.h"
#include "ui/common/UiServices.h"
#include "ui/common/cBrowseForFolder.h"
#include "ui/common/cDlg.h"
#include "ui/main/WindowMessages.h"
#include "ui/main/cListBox.h"
#include "ui/main/frmVelmora.h"

namespace velmora::ui {
namespace {

using app::ExportPlan;

QString FromUtf8(const std::string& strText) { return QString::fromStdString(strText); }
std::string ToUtf8(const QString& strText) { return strText.toStdString(); }

// The save dialog refuses a preset name longer than its buffer. A longer
// one (a long CHM name followed by "的文件列表.txt") loses characters from the
// end of its stem, so the extension stays and the dialog still opens.
QString FittingFileName(const QString& strName) {
  if (strName.size() <= cDlg::kBufferLength) return strName;
  const qsizetype lngDot = strName.lastIndexOf(QLatin1Char('.'));
  const QString strExtension = lngDot > 0 && strName.size() - lngDot < cDlg::kBufferLength ? strName.mid(lngDot)
                                                                                            : QString();
  qsizetype lngKeep = cDlg::kBufferLength - strExtension.size();
  if (strName.at(lngKeep - 1).isHighSurrogate()) --lngKeep;  // never half a character
  return strName.left(lngKeep) + strExtension;
}

// The save dialog of the two file-producing entries; empty after a cancel.
QString AskForFile(QWidget* owner, const QString& strTitle, const QString& strFilter, const QString& strFileName) {
  cDlg dlg;
  dlg.SetHOwner(owner);
  dlg.SetDialogTitle(strTitle);
  dlg.SetFilter(strFilter);
  dlg.SetFilterIndex(0);
  dlg.SetFileName(FittingFileName(strFileName));
  dlg.SetFlags(cDlg::kExplorer | cDlg::kPathMustExist | cDlg::kOverwritePrompt);
  dlg.ShowSave();
  return dlg.FileName();
}

QString AskForFolder(QWidget* owner) {
  cBrowseForFolder browser;
  browser.SetHwndOwner(owner);
  browser.SetTitle(QStringLiteral("请选择要导出到的文件夹"));
  browser.SetUseNewUI(true);
  return browser.BrowseForFolder();
}

// One information message naming every file of the work list that could
// not be read, one per line.
QString UnreadableFilesText(const std::vector<std::string>& strFiles) {
  QString strText = QStringLiteral("以下文件无法读取（文件不存在、不是chm文件或已损坏），已跳过：");
  for (const std::string& strFile : strFiles) strText += QLatin1Char('\n') + FromUtf8(strFile);
  return strText;
}

}  // namespace

// Keeps the export entries off for the life of one export. The entries sit
// in an action group, so whatever EnableExportMenus asks for meanwhile
// (a file closed or opened while the status line let events run) is what
// they show once the export ends.
//
// The walker writes a file's streams after its walk has reported them;
// meanwhile it reports the bytes written, and the window lets pending
// events run at most every 100 ms, so it stays painted through long writes.
class frmVelmora::ExportRun {
 public:
  explicit ExportRun(frmVelmora& window) : m_window(window) {
    m_window.m_blnExporting = true;
    m_window.m_grpExportEntries->setEnabled(false);
    m_window.m_ucmCHMParser->WriteProgress = [this](std::uint64_t, std::uint64_t) {
      if (m_lastEvents.isValid() && m_lastEvents.elapsed() < 100) return;
      QCoreApplication::processEvents();
      m_lastEvents.start();
    };
  }
  ~ExportRun() {
    // The parser is gone when the window was closed between two files.
    if (m_window.m_ucmCHMParser) m_window.m_ucmCHMParser->WriteProgress = nullptr;
    m_window.m_grpExportEntries->setEnabled(true);
    // Entries 1-5 and 7 copied entry 0 while the group held them off.
    m_window.EnableExportMenus(m_window.m_mnu.mnuExportCHM[0]->isEnabled());
    m_window.m_blnExporting = false;
  }
  ExportRun(const ExportRun&) = delete;
  ExportRun& operator=(const ExportRun&) = delete;

  // False once the window has been closed: its parser may be released, and
  // nobody is left to see more files written or to answer the prompts.
  bool WindowOpen() const { return m_window.m_ucmCHMParser && m_window.isVisible(); }

 private:
  frmVelmora& m_window;
  QElapsedTimer m_lastEvents;
};

void frmVelmora::ConnectExportCommands() {
  m_grpExportEntries = new QActionGroup(this);
  m_grpExportEntries->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
  for (int index = 0; index < cMainMenu::kExportEntries; ++index) {
    if (index == cMainMenu::kExportSeparator) continue;
    m_grpExportEntries->addAction(m_mnu.mnuExportCHM[index]);
    connect(m_mnu.mnuExportCHM[index], &QAction::triggered, this, [this, index] { mnuExportCHM_Click(index); });
  }
  connect(lstItems, &QListWidget::itemDoubleClicked, this, &frmVelmora::lstItems_DblClick);
}

void frmVelmora::mnuExportCHM_Click(int index) { ExportCHM(index); }

void frmVelmora::lstItems_DblClick() {
  // Entry 5, "仅当前文件(&F)": saves the double-clicked item, as the list's
  // tooltip promises (the first click made its row the current one).
  if (m_blnLoaded) ExportCHM(ExportPlan::kCurrentFile);
}

void frmVelmora::ExportCHM(int index) {
  if (index < 0 || index >= cMainMenu::kExportEntries || index == cMainMenu::kExportSeparator) return;
  if (m_blnExporting || !CanStartWalk()) return;
  const bool blnBatch = CurrentMode() == 1;
  // Single mode works on the open CHM file. Rows without one (those of a
  // command-line extraction) name no file to walk: say what is missing.
  if (!blnBatch && !m_blnLoaded) {
    ShowNotice(this, QStringLiteral("请打开CHM文件。"));
    return;
  }

  // 1. The work list, with the two refusals of the selected-contents entry.
  std::vector<std::string> strWorkList;
  std::vector<std::string> strExtractContents;
  if (!blnBatch) {
    strWorkList.push_back(ToUtf8(m_strCHMFile));
  } else {
    for (int lngRow = 0; lngRow < lstFiles->count(); ++lngRow) {
      if (index != ExportPlan::kSelectedContents || lstFiles->item(lngRow)->isSelected()) {
        strWorkList.push_back(ToUtf8(lstFiles->item(lngRow)->text()));
      }
    }
  }
  if (index == ExportPlan::kSelectedContents) {
    if (!blnBatch) {
      // The record keys of the selected rows: nested items and whole
      // folders are found by them, not only items at the top.
      for (int lngRow = 0; lngRow < lstItems->count() && lngRow < int(m_colItems.size()); ++lngRow) {
        if (lstItems->item(lngRow)->isSelected()) {
          strExtractContents.push_back(ExportPlan::RecordKey(m_colItems[std::size_t(lngRow)]));
        }
      }
      if (strExtractContents.empty()) {
        ShowNotice(this, QStringLiteral("请选中要导出的项目。"));
        return;
      }
    } else if (strWorkList.empty()) {
      ShowNotice(this, QStringLiteral("请选中要导出的文件。"));
      return;
    }
  }

  // 2. and 3. The destination; a cancelled dialog ends the command.
  QString strDestination;
  if (index == ExportPlan::kCurrentFile) {
    const int lngRow = lstItems->currentRow();
    if (lngRow < 0 || lngRow >= int(m_colItems.size())) {
      ShowNotice(this, QStringLiteral("请选择要导出的文件。"));
      return;
    }
    const engine::cCHMItemInfo& item = m_colItems[std::size_t(lngRow)];
    if (item.IsStorage) {
      ShowNotice(this, QStringLiteral("这是目录，不是文件，不能保存。"));
      return;
    }
    strExtractContents.push_back(ExportPlan::RecordKey(item));
    strDestination = AskForFile(this, QStringLiteral("请选择要保存到的文件"), QString(),
                                FromUtf8(engine::basVelmora::GetFileName(item.Name)));
  } else if (index == ExportPlan::kFileList) {
    strDestination = AskForFile(this, QString(), QStringLiteral("所有文本文件(*.txt)|*.txt|所有文件(*.*)|*.*"),
                                FromUtf8(ExportPlan::ListingFileName(ToUtf8(m_strCHMFile))));
  } else {
    strDestination = AskForFolder(this);
  }
  strDestination = FromUtf8(engine::basVelmora::TrimNull(ToUtf8(strDestination)));
  if (strDestination.isEmpty()) return;

  // 4. and 5. One walk per CHM file, its counts on the status line.
  ExportRun run(*this);
  app::ExportJob job(*m_ucmCHMParser, ExportPlan(index, blnBatch, ToUtf8(strDestination), strWorkList.size()),
                     strExtractContents);
  job.FileDone = [this, &run](const std::string&, const app::ExportCounts& counts) {
    ShowStatus(FromUtf8(engine::ExportSummaryText(counts.lngPicCount, counts.lngHTMLCount, counts.lngMovieCount,
                                                  counts.lngTotal, counts.lngLost)));
    // Closed while events ran: the export ends with the file just written.
    return run.WindowOpen();
  };
  job.Run(strWorkList);
  if (!run.WindowOpen()) return;
  if (!job.UnreadableFiles().empty()) ShowNotice(this, UnreadableFilesText(job.UnreadableFiles()));
  // Streams that could not be written, in one message; when nothing at
  // all was written there is no result to offer.
  if (!job.LostKeys().empty()) {
    ShowNotice(this, FromUtf8(engine::LostItemsMessage(job.LostKeys())));
    if (job.WrittenCount() == 0 && index != ExportPlan::kFileList) return;
  }

  // 6. to 8. The listing is written, then the result is offered: the
  // listing in the text viewer, otherwise the folder in the file manager.
  if (index == ExportPlan::kFileList) {
    if (!job.WriteListing(ToUtf8(strDestination))) {
      ShowNotice(this, QStringLiteral("写入文件失败：") + strDestination);
      return;
    }
    if (AskYesNo(this, QStringLiteral("文件列表生成完成。是否需要马上查看？"), MsgIcon::Question, MsgAnswer::Yes)) {
      OpenOnDesktop(this, strDestination);
    }
    return;
  }
  if (AskYesNo(this, QStringLiteral("反编译完成，是否需要马上查看？"), MsgIcon::Question, MsgAnswer::Yes)) {
    OpenOnDesktop(this, index == ExportPlan::kCurrentFile ? QFileInfo(strDestination).absolutePath()
                                                          : strDestination);
  }
}

}  // namespace velmora::ui
