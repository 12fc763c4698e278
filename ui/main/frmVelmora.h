#pragma once
// The main window: header, mode buttons, the single-mode panel (content list
// and preview pane), the batch-mode panel (CHM file list), the status strip
// and the menu bar.
//
// The class is implemented by concern, one source file each:
//   frmVelmora.cpp          start-up and shut-down, status line, reset,
//                           export-entry switching, modes, layout
//   frmVelmoraControls.cpp  creating the controls and the tab order
//   frmVelmoraCommands.cpp  the small menu commands (close, exit, help
//                           entries, About, preview options)
// Further concerns (opening files, the CHM file list, preview, export,
// search) add their own frmVelmora<Concern>.cpp and declare their members
// in the marked section below.

#include <QElapsedTimer>
#include <QStringList>
#include <QMainWindow>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <memory>

#include "engine/cCHMItemInfo.h"
#include "settings/cINI.h"
#include "ui/main/MainLayout.h"
#include "ui/main/PreviewCopier.h"
#include "ui/main/cMainMenu.h"
#include "ui/search/SearchHost.h"

class QActionGroup;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class ucFirefoxWait;

namespace velmora::engine {
class cCHMParser;
}

namespace velmora::ui {

class cListBox;
class cModeButton;
class cPreviewBrowser;

class frmVelmora : public QMainWindow, public SearchHost {
  Q_OBJECT

 public:
  explicit frmVelmora(QWidget* parent = nullptr);
  ~frmVelmora() override;

  // Start-up; runs once, after construction and before the window is shown.
  void Form_Load();

  // Writes four blanks and strText to the status line, then lets pending
  // window events run (repaint, input) before returning.
  void ShowStatus(const QString& strText);
  // 0 brings the single-mode panel to the front, 1 the batch-mode panel;
  // any other index is ignored.
  void ShowModeFrame(int index);
  // Back to the state with no CHM file open: empty item collection, lists
  // emptied when blnClearLists, export entries off, welcome page, status
  // "请打开CHM文件。".
  void ResetWindow(bool blnClearLists);
  // Entry 0 of the export group takes blnEnabled; entries 1-5 and 7 copy it.
  void EnableExportMenus(bool blnEnabled);

  // The selected mode button: 0 single mode, 1 batch mode.
  int CurrentMode() const;
  // The header strip's picture, shown again by the About and search windows.
  QPixmap HeaderPicture() const { return m_picHeaderBanner; }

  // Read-only views of the window state, for the other windows and tests.
  const QString& CHMFile() const { return m_strCHMFile; }
  bool IsLoaded() const { return m_blnLoaded; }
  const engine::cCHMItemCollection& Items() const { return m_colItems; }

 protected:
  // Form_Unload: releases the parser. Nothing is saved.
  void closeEvent(QCloseEvent* event) override;
  // Follows the size of the client area and of the header strip.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // frmVelmoraControls.cpp
  void CreateControls();
  void CreateHeader(QWidget* client);
  void CreateSinglePanel(QWidget* client);
  void CreateBatchPanel(QWidget* client);
  void CreateCommandStrip(QWidget* client);
  void SetTabOrder();

  // frmVelmora.cpp
  void ConnectEvents();
  void Form_Resize();
  void picHeader_Resize();
  void ApplyLayout(const MainLayout& layout);
  void optMode_Click(int index);
  // Moves the status line's text to the right of the busy indicator.
  void ClearStatusTextOfSpinner();
  void lstItems_MouseUp(Qt::MouseButton button, const QPoint& globalPos);

  // frmVelmoraCommands.cpp
  void ConnectMenuCommands();
  void mnuClose_Click();
  // The current CHM file in a reader window; without one, the file chosen
  // in the open dialog.
  void mnuRead_Click();
  void mnuExit_Click();
  void mnuAbout_Click();
  void mnuManual_Click();
  void mnuDonate_Click();
  void mnuWebsite_Click();
  void mnuViewInplace_Click();
  void mnuPreview_Click();
  void mnuAssociates_Click();

  // ---- Members of later concerns go here (opening, CHM file list,
  // ---- preview, export, search), each with its own source file.

  // frmVelmoraOpen.cpp: opening CHM files, the summary, the command line.
 public:
  // The program's arguments joined by single blanks; read by Form_Load.
  void SetCommandLine(const QString& strCommands) { m_strCommandLine = strCommands; }
  // The program's arguments: their text joined by blanks is the command
  // line; without an option key each argument is a file to open.
  void SetArguments(const QStringList& strArguments) {
    m_strArguments = strArguments;
    m_strCommandLine = strArguments.join(QLatin1Char(' '));
  }
  // The open command: the open dialog, then the file opened (single mode)
  // or added to the CHM file list (batch mode).
  void ChooseCHMFiles();
  // Opens and lists the file named by m_strCHMFile; blnClearLists empties
  // both lists first. Refused quietly while a walk is running.
  void OpenCHMFile(bool blnClearLists);
  // Appends the path to lstFiles and widens its horizontal scroll range.
  void AddBatchFile(const QString& strPath);
  // Fills lstItems from m_colItems and writes the summary line.
  void ShowCHMContents(std::int32_t lngPicCount, std::int32_t lngHTMLCount, std::int32_t lngMovieCount,
                       std::int32_t lngTotal, bool blnExported);
  // The value that follows strKey in strCommands (see app/CommandLine.h);
  // strValue is left as it was when the key is absent or has no value.
  void ParseCommandValue(const QString& strCommands, const QString& strKey, QString& strValue) const;
  // False while a walk of the window's parser is running (the walk lets
  // events run, so commands can arrive meanwhile) and before start-up has
  // made the parser: commands that would start another walk are refused
  // quietly then.
  bool CanStartWalk() const;

 private:
  void ConnectOpenEvents();
  void ConnectParserEvents();
  // Shows "文件不存在：" and the path when it names no file; true then.
  bool ReportMissingFile(const QString& strFile, bool blnWithIcon = true);
  void m_ucmCHMParser_Progress(const std::string& strName, std::int32_t lngSize, bool blnExtract);
  void ProcessCommandLine();
  // Makes strFile the current CHM file and opens it; a missing file keeps
  // the previous current file (and its rows) as they were. True when the
  // file is listed afterwards.
  bool OpenChosenFile(const QString& strFile, bool blnClearLists);
  // Adds the files of a batch selection (folder and names, as the open
  // dialog split them) to lstFiles.
  void AddChosenBatchFiles(const QString& strFolder, const QStringList& strNames, int lngCount);
  // Widens a list's horizontal scroll range for a row lngTextPixels wide
  // when that is wider than lngMaxWidth (twips), which then grows.
  void WidenList(cListBox* list, std::int32_t& lngMaxWidth, int lngTextPixels);
  void OpenArgumentFiles();
  QString m_strCommandLine;
  QStringList m_strArguments;

  // frmVelmoraBatchList.cpp: the CHM file list of batch mode.
  void ConnectBatchListEvents();
  // True when a row of lstFiles equals the path, ignoring letter case.
  bool BatchListHolds(const QString& strPath) const;
  void lstFiles_FilesDropped(const QStringList& strFiles);
  void lstFiles_DblClick();
  void lstFiles_MouseUp(Qt::MouseButton button);
  void cmdRemoveFiles_Click();

  // frmVelmoraPreview.cpp: the content list's clicks and drops, the preview.
 public:
  // Previews the item of lstItems' current row (also run when the search
  // sets the current row).
  void lstItems_Click();
  // Asks whether to add files when the list is empty; Yes opens them.
  void OfferToAddFiles(cListBox* list);
  // The preview copies' folder and name start: "<cache>/预览/~preview.".
  static QString GetPreviewFilePrefix();

 private:
  void ConnectPreviewEvents();
  // The preview pane runs in the preview sandbox and reads stored files
  // through the preview service.
  void PreparePreviewPane();
  // The preview service keeps the listed file's directory while it is open.
  void OpenFileForPreview();
  void CloseFileForPreview();
  void lstItems_FilesDropped(const QStringList& strFiles);
  void lstItems_LeftMouseUp(Qt::MouseButton button);
  // The row to preview: the current one, or with auto-browse the first
  // row from it down that is not a folder (the selection moves there).
  int ChoosePreviewRow(int lngRow);
  // The preview pane's address for the item (asks first for executables
  // and scripts); empty when a copy of it is being made, which the pane
  // shows once it is done.
  QString PreviewAddress(const engine::cCHMItemInfo& item);
  // blnSitemap: a contents or index file, whose copy becomes a page of its entries.
  void StartPreviewCopy(const engine::cCHMItemInfo& item, const QString& strExtension, bool blnSitemap);
  // The copy, or the page saying why there is none (strItem names the item).
  static QString PreviewCopyAddress(const PreviewCopier::Request& request, const QString& strItem,
                                    PreviewCopier::Outcome outcome);
  PreviewCopier* m_previewCopier = nullptr;  // made with the preview pane

  // frmVelmoraExport.cpp: the export commands.
  class ExportRun;  // holds the export entries off while one export runs
  void ConnectExportCommands();
  void mnuExportCHM_Click(int index);
  void lstItems_DblClick();
  // Runs export entry index (0 to 5, 7) over the current CHM file (single
  // mode) or the CHM file list (batch mode).
  void ExportCHM(int index);
  QActionGroup* m_grpExportEntries = nullptr;  // export entries 0-5 and 7
  bool m_blnExporting = false;                 // an export is running

  // frmVelmoraSearch.cpp: the find command and the search dialog's view of
  // the window (CurrentMode and HeaderPicture above serve it as well).
 public:
  QWidget* SearchOwner() override;
  QListWidget* ModeList(int mode) override;
  void ContentRowMadeCurrent(int row) override;

 private:
  void ConnectSearchCommands();
  void mnuFind_Click();
  int m_lngRowMadeCurrent = -1;  // row of the current-row change just made, else -1

  // Window state.
  QString m_strCHMFile;                                  // path of the current CHM file
  bool m_blnLoaded = false;                              // a CHM file is listed in lstItems
  engine::cCHMItemCollection m_colItems;                 // row r of lstItems shows m_colItems[r]
  std::unique_ptr<engine::cCHMParser> m_ucmCHMParser;    // created at load, released at unload
  settings::cINI m_ini;                                  // pointed at "Velmora.config" at load
  std::int32_t m_lngMaxItemWidth = 0;                    // widest row of lstItems so far, twips
  std::int32_t m_lngMaxFileWidth = 0;                    // widest row of lstFiles so far, twips
  std::int32_t m_lngProgressCount = 0;                   // Progress events of the current walk
  QElapsedTimer m_tmrProgress;                           // since the status line last showed progress

  MainLayout m_layout = MainLayout::Design();            // where the laid-out controls are, twips
  QPixmap m_picHeaderBanner;

  // Controls, named as their objectName.
  QWidget* m_client = nullptr;  // the client area
  QLabel* picHeader = nullptr;
  QLabel* imgLogo = nullptr;
  QLabel* lblTitle = nullptr;
  std::array<QLabel*, 4> lblCaption{};
  std::array<cModeButton*, 2> optMode{};
  QButtonGroup* m_optModeGroup = nullptr;
  QFrame* fraSingle = nullptr;
  cListBox* lstItems = nullptr;
  cPreviewBrowser* wbPreview = nullptr;
  QFrame* fraBatch = nullptr;
  cListBox* lstFiles = nullptr;
  QPushButton* cmdRemoveFiles = nullptr;
  QFrame* fraCommands = nullptr;
  QLabel* lblProgress = nullptr;
  QLineEdit* txtProgress = nullptr;
  ucFirefoxWait* fwProgress = nullptr;
  cMainMenu m_mnu;
};

}  // namespace velmora::ui
