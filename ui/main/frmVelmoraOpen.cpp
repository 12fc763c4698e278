// Opening CHM files: the open command, opening and listing one file, adding
// files to the CHM file list, the summary and the walk's progress line, and
// the unattended extraction named on the command line.

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <algorithm>

#include "app/CommandLine.h"
#include "engine/ExtractionLoss.h"
#include "engine/OutputPath.h"
#include "engine/ReportText.h"
#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"
#include "ui/common/cDlg.h"
#include "ui/common/ucFirefoxWait.h"
#include "ui/main/Twips.h"
#include "ui/main/WindowMessages.h"
#include "ui/main/cListBox.h"
#include "ui/main/cModeButton.h"
#include "ui/main/frmVelmora.h"

namespace velmora::ui {
namespace {

QString FromUtf8(const std::string& strText) { return QString::fromStdString(strText); }
std::string ToUtf8(const QString& strText) { return strText.toStdString(); }

bool FileExists(const QString& strPath) { return engine::basVelmora::FileExists(ToUtf8(strPath)); }

// Shortest time between two progress updates of the status line.
constexpr qint64 kProgressIntervalMs = 50;

const QString kNotCHMFile = QStringLiteral("解释文件失败，可能该文件不是chm文件。");

// Walk counters, each starting at 0.
struct WalkCounts {
  std::int32_t lngPicCount = 0;
  std::int32_t lngHTMLCount = 0;
  std::int32_t lngMovieCount = 0;
  std::int32_t lngTotal = 0;
};

}  // namespace

void frmVelmora::ConnectOpenEvents() {
  connect(m_mnu.mnuOpen, &QAction::triggered, this, &frmVelmora::ChooseCHMFiles);
}

void frmVelmora::ConnectParserEvents() {
  m_ucmCHMParser->Progress = [this](const std::string& strName, std::int32_t lngSize, bool blnExtract) {
    m_ucmCHMParser_Progress(strName, lngSize, blnExtract);
  };
}

bool frmVelmora::CanStartWalk() const { return m_ucmCHMParser && !m_ucmCHMParser->IsBusy(); }

void frmVelmora::m_ucmCHMParser_Progress(const std::string& strName, std::int32_t lngSize, bool blnExtract) {
  // Every fifth stream may move the line and let pending events run, and
  // then only when 50 ms have passed since the last time: the window stays
  // painted and answers, and a walk of thousands of streams does not spend
  // its time repainting.
  ++m_lngProgressCount;
  if (m_lngProgressCount % 5 != 0) return;
  if (m_tmrProgress.isValid() && m_tmrProgress.elapsed() < kProgressIntervalMs) return;
  ShowStatus(FromUtf8(engine::ProgressText(strName, lngSize, blnExtract)));
  m_tmrProgress.start();
}

bool frmVelmora::ReportMissingFile(const QString& strFile, bool blnWithIcon) {
  if (FileExists(strFile)) return false;
  ShowNotice(this, QStringLiteral("文件不存在：") + strFile, blnWithIcon ? MsgIcon::Information : MsgIcon::None);
  return true;
}

void frmVelmora::ChooseCHMFiles() {
  if (!CanStartWalk()) return;
  // Rows stay clickable again whatever the dialog brings, unless a new
  // file is opened (which sets the flag itself).
  const bool blnWasLoaded = m_blnLoaded;
  m_blnLoaded = false;
  const bool blnBatch = CurrentMode() == 1;
  cDlg dlg;
  dlg.SetHOwner(this);
  dlg.SetFlags(cDlg::kExplorer | cDlg::kPathMustExist | cDlg::kFileMustExist | (blnBatch ? cDlg::kMultiSelect : 0));
  dlg.SetFilter(QStringLiteral("CHM文件(*.chm)|*.chm|所有文件(*.*)|*.*"));
  dlg.ShowOpen();
  m_blnLoaded = blnWasLoaded;
  const QString strChosen = dlg.FileName();
  if (strChosen.trimmed().isEmpty()) return;  // cancelled: the open file stays usable

  if (!blnBatch) {
    // The opened file becomes the only row of an empty CHM file list (a
    // plain append: the scroll range is not widened).
    if (OpenChosenFile(strChosen, true) && lstFiles->count() == 0) lstFiles->addItem(m_strCHMFile);
    return;
  }
  QString strFolder;
  QStringList strNames;
  int lngCount = 0;
  dlg.ParseMultiFileName(strFolder, strNames, lngCount);
  AddChosenBatchFiles(strFolder, strNames, lngCount);
}

void frmVelmora::AddChosenBatchFiles(const QString& strFolder, const QStringList& strNames, int lngCount) {
  if (lngCount == 0) {
    ShowNotice(this, QStringLiteral("请选择文件。"));
    return;
  }
  for (int index = 0; index < lngCount; ++index) {
    // One file alone comes as its full path; several as names in the folder.
    const QString strPath = lngCount == 1 ? strNames[0] : strFolder + QLatin1Char('/') + strNames[index];
    if (ReportMissingFile(strPath)) continue;
    if (!BatchListHolds(strPath)) AddBatchFile(strPath);
  }
  EnableExportMenus(true);
}

bool frmVelmora::OpenChosenFile(const QString& strFile, bool blnClearLists) {
  if (!CanStartWalk() || ReportMissingFile(strFile)) return false;
  m_strCHMFile = strFile;
  OpenCHMFile(blnClearLists);
  return m_blnLoaded;
}

void frmVelmora::OpenCHMFile(bool blnClearLists) {
  if (!CanStartWalk() || ReportMissingFile(m_strCHMFile)) return;
  setCursor(Qt::WaitCursor);
  ResetWindow(blnClearLists);
  QCoreApplication::processEvents();
  m_lngProgressCount = 0;
  m_tmrProgress.invalidate();
  fwProgress->PlayWait();
  m_blnLoaded = false;

  WalkCounts counts;
  bool blnParsed = false;
  bool blnRefused = false;
  try {
    blnParsed = m_ucmCHMParser->ParseCHM(ToUtf8(m_strCHMFile), engine::basVelmora::GetAppFolder(),
                                         engine::kExtractNone, {}, m_colItems, counts.lngPicCount,
                                         counts.lngHTMLCount, counts.lngMovieCount, counts.lngTotal);
  } catch (const engine::ParseError& error) {
    // A file recognised as a CHM file that cannot be opened is reported like
    // any other unreadable file; a walk started meanwhile refuses quietly.
    blnRefused = error.kind() == engine::ParseError::Kind::Busy;
  }
  if (blnParsed && std::size_t(counts.lngTotal) != m_colItems.size()) {
    // The window was closed while the walk let events run: it stays
    // closed (progress lines came after the close) rather than list the
    // part walked after it.
    ResetWindow(true);
  } else if (blnParsed) {
    // Listed before the summary line lets events run, so a close command
    // among them finds the file open and closes it for good.
    m_blnLoaded = true;
    OpenFileForPreview();
    ShowCHMContents(counts.lngPicCount, counts.lngHTMLCount, counts.lngMovieCount, counts.lngTotal, false);
  } else if (!blnRefused) {
    ShowNotice(this, kNotCHMFile);
  }
  fwProgress->StopWait();
  unsetCursor();
}

void frmVelmora::AddBatchFile(const QString& strPath) {
  lstFiles->addItem(strPath);
  WidenList(lstFiles, m_lngMaxFileWidth, lstFiles->fontMetrics().horizontalAdvance(strPath));
}

void frmVelmora::WidenList(cListBox* list, std::int32_t& lngMaxWidth, int lngTextPixels) {
  const std::int32_t lngWidth = lngTextPixels * kTwipsPerPixel;
  if (lngWidth <= lngMaxWidth) return;
  lngMaxWidth = lngWidth;
  list->SetHorizontalExtent(qRound(double(lngWidth) / kTwipsPerPixel + 18));
}

void frmVelmora::ShowCHMContents(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                                 std::int32_t lngTotal, bool blnExported) {
  // Hidden while refilled: tens of thousands of rows then cost one layout.
  lstItems->hide();
  QStringList strRows;
  strRows.reserve(qsizetype(m_colItems.size()));
  for (const engine::cCHMItemInfo& item : m_colItems) strRows.append(FromUtf8(engine::ItemRowText(item)));
  // The widest row decides the scroll range, as if each row were measured
  // and the range widened row by row.
  WidenList(lstItems, m_lngMaxItemWidth, lstItems->SetRows(strRows));
  lstItems->show();
  EnableExportMenus(true);
  ShowStatus(FromUtf8(engine::ParseSummaryText(lngPicCount, lngHTMLCount, lngMovieCount, lngTotal, blnExported)));
}

void frmVelmora::ParseCommandValue(const QString& strCommands, const QString& strKey, QString& strValue) const {
  std::string strFound = ToUtf8(strValue);
  app::ParseCommandValue(ToUtf8(strCommands), ToUtf8(strKey), strFound);
  strValue = FromUtf8(strFound);
}

void frmVelmora::ProcessCommandLine() {
  if (!app::HoldsOptionKey(ToUtf8(m_strCommandLine))) {
    OpenArgumentFiles();
    return;
  }
  const std::optional<app::CommandLineExtraction> extraction = app::ReadCommandLine(ToUtf8(m_strCommandLine));
  if (!extraction || !CanStartWalk()) return;
  if (ReportMissingFile(FromUtf8(extraction->strCHMFile), false)) return;
  // The default folder lies beside a file that came from elsewhere: a link
  // of its name is never followed (and, should one appear later, the walk
  // opens the folder without following it either).
  const engine::OutputPath output = extraction->blnMadeUpFolder
                                        ? engine::OutputPath::MadeUp(extraction->strOutputPath)
                                        : engine::OutputPath(extraction->strOutputPath);
  if (output.blnMadeUp && engine::IsSymbolicLink(output.strPath)) {
    ShowNotice(this, FromUtf8(engine::MadeUpFolderIsLinkMessage(output.strPath)));
    return;
  }

  m_lngProgressCount = 0;
  m_tmrProgress.invalidate();
  fwProgress->PlayWait();
  WalkCounts counts;
  bool blnParsed = false;
  try {
    blnParsed = m_ucmCHMParser->ParseCHM(extraction->strCHMFile, output, extraction->lngExtractType, {}, m_colItems,
                                         counts.lngPicCount, counts.lngHTMLCount, counts.lngMovieCount,
                                         counts.lngTotal);
  } catch (const engine::ParseError&) {
    blnParsed = false;
  }
  fwProgress->StopWait();
  // A file that could not be read extracted nothing: say so rather than
  // report an empty success.
  if (!blnParsed) {
    ShowNotice(this, kNotCHMFile);
    return;
  }
  ShowCHMContents(counts.lngPicCount, counts.lngHTMLCount, counts.lngMovieCount, counts.lngTotal, true);
  // Streams that could not be written: the summary says so instead of
  // claiming success, and one message names them.
  const std::vector<engine::LostItem>& lost = m_ucmCHMParser->LostItems();
  if (lost.empty()) return;
  ShowStatus(FromUtf8(engine::ParseSummaryText(counts.lngPicCount, counts.lngHTMLCount, counts.lngMovieCount,
                                               counts.lngTotal, true, lost.size(),
                                               m_ucmCHMParser->WrittenCount())));
  std::vector<std::string> strKeys;
  for (const engine::LostItem& item : lost) strKeys.push_back(item.strKey);
  ShowNotice(this, FromUtf8(engine::LostItemsMessage(strKeys)));
}

void frmVelmora::OpenArgumentFiles() {
  QStringList strFiles;
  for (const QString& strArgument : m_strArguments) {
    if (strArgument.isEmpty() || ReportMissingFile(strArgument)) continue;
    strFiles << QFileInfo(strArgument).absoluteFilePath();
  }
  if (strFiles.isEmpty() || !CanStartWalk()) return;
  // One file opens as the open command opens it; several fill the CHM
  // file list of batch mode, and the first of them is opened.
  if (strFiles.size() == 1) {
    if (OpenChosenFile(strFiles.first(), true) && lstFiles->count() == 0) lstFiles->addItem(m_strCHMFile);
    return;
  }
  optMode[1]->setChecked(true);
  for (const QString& strFile : strFiles) {
    if (!BatchListHolds(strFile)) AddBatchFile(strFile);
  }
  EnableExportMenus(true);
  OpenChosenFile(strFiles.first(), false);
}

}  // namespace velmora::ui
