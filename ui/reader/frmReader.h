#pragma once
// The reader window: a help file read as a help viewer shows it, with its
// contents tree and index beside the page, history, find in page, zoom,
// printing to PDF and a per-file encoding choice. Pages are shown by the
// preview's sandboxed engine and read from the CHM file in place.
//
// The class is implemented by concern, one source file each:
//   frmReader.cpp          window, menus, opening files, remembered state
//   frmReaderPage.cpp      the page view: history, topics, links, zoom,
//                          find, copy, printing
//   frmReaderContents.cpp  the contents tab
//   frmReaderIndex.cpp     the index tab
//   frmReaderSearch.cpp    the search tab: the full text of this file

#include <QHash>
#include <QMainWindow>
#include <memory>

#include "ui/reader/ReaderDocument.h"
#include "ui/reader/ReaderSettings.h"
#include "ui/reader/ReaderTarget.h"

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QSplitter;
class QStandardItem;
class QStandardItemModel;
class QTabWidget;
class QTreeView;
class QWebEngineView;

namespace velmora::ui {

class FindBar;
class FullTextSearch;
class IndexModel;
class SearchResultTree;
struct FullTextResult;

class frmReader : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmReader(QWidget* parent = nullptr);
  ~frmReader() override;

  // A new reader window (deleted when closed) showing the file; null, after
  // telling the user, when the file cannot be read as a CHM file.
  static frmReader* OpenWindow(const QString& strChmFile, QWidget* messageOwner = nullptr);
  // The open dialog for one CHM file, starting in strFolder; empty when
  // cancelled.
  static QString ChooseChmFile(QWidget* owner, const QString& strFolder);

  // Shows the file in this window: its remembered page, else its default
  // topic. False, after telling the user, when it cannot be read.
  bool OpenFile(const QString& strChmFile);
  // Shows a stored page of the current file or of a file beside it.
  void ShowTarget(const ReaderTarget& target);
  // Shows a stored page of the file (opening it when another is shown)
  // and, once it has loaded, finds strHighlight in it as the find bar does:
  // every match highlighted, the first one current.
  bool OpenAt(const QString& strChmFile, const QString& strStoredPath, const QString& strHighlight);

  const QString& ChmFile() const { return m_strChmFile; }
  const ReaderDocument* Document() const { return m_document.get(); }
  // The page shown (or being loaded) last.
  const ReaderTarget& CurrentTarget() const { return m_current; }

  // The controls, for tests.
  QWebEngineView* PageView() const { return m_view; }
  FindBar* Finder() const { return m_findBar; }
  QTabWidget* Tabs() const { return m_tabs; }
  QTreeView* ContentsTree() const { return m_treeContents; }
  QLineEdit* IndexFilter() const { return m_txtIndexFilter; }
  QListView* IndexList() const { return m_lstIndex; }
  IndexModel* IndexKeywords() const { return m_mdlIndex; }
  QLineEdit* SearchBox() const { return m_txtSearch; }
  SearchResultTree* SearchResults() const { return m_treeSearch; }
  FullTextSearch* FullText() const { return m_fullText; }
  QSplitter* Splitter() const { return m_splitter; }
  QAction* Action(const QString& strName) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // frmReader.cpp
  void CreateControls();
  void CreateMenus();
  QAction* AddAction(QMenu* menu, const char* strName, const QString& strCaption,
                     const QKeySequence& shortcut = QKeySequence());
  void FillRecentMenu();
  void FillEncodingMenu();
  void mnuOpen_Click();
  void mnuEncoding_Click(const QString& strEncoding);
  // Takes the document of a file in: title, panes, encoding menu; the
  // page shown is left to the caller.
  bool LoadDocument(const QString& strChmFile, const QString& strEncoding);
  // OpenFile without showing a page: the document and the file's
  // remembered zoom, pane width and geometry.
  bool TakeFile(const QString& strChmFile);
  void UpdateTitle();
  void SaveState();
  void ShowMessage(const QString& strText);

  // frmReaderPage.cpp
  void ConnectPage();
  void PageUrlChanged(const QUrl& url);
  // The find bar takes OpenAt's text once the document shown is its page.
  void HighlightWhenShown(const QUrl& shown);
  void GoHome();
  void GoTopic(int lngStep);
  void SetZoom(double dblZoom);
  void StepZoom(int lngStep);
  void mnuPrint_Click();
  void mnuCopy_Click();
  void WebLinkRefused(const QUrl& url);
  // What a contents or index entry leads to: its page, the browser after
  // a confirmation, or a word on the status line why nothing is shown.
  void Follow(const ReaderLink& link);

  // frmReaderContents.cpp
  void ConnectContents();
  void FillContents();
  void treeContents_Clicked(const QModelIndex& index);
  void SelectInContents(const ReaderTarget& target);
  // The stored targets of the contents in tree order, for previous/next.
  QList<ReaderTarget> TopicsInOrder() const;

  // frmReaderIndex.cpp
  void ConnectIndex();
  void FillIndex();
  void lstIndex_Activated(const QModelIndex& index);

  // frmReaderSearch.cpp
  QWidget* CreateSearchPane();
  void StartFullTextSearch();
  void ShowFullTextResult(const FullTextResult& result);
  void mnuShelfSearch_Click();

  QString m_strChmFile;
  std::unique_ptr<ReaderDocument> m_document;
  ReaderFileState m_state;
  ReaderTarget m_current;
  QString m_strPendingHighlight;  // found in the page OpenAt shows once it loads
  ReaderTarget m_highlightTarget;  // that page

  QSplitter* m_splitter = nullptr;
  QTabWidget* m_tabs = nullptr;
  QTreeView* m_treeContents = nullptr;
  QLineEdit* m_txtIndexFilter = nullptr;
  QListView* m_lstIndex = nullptr;
  QLineEdit* m_txtSearch = nullptr;
  QPushButton* m_cmdSearchCancel = nullptr;
  QLabel* m_lblSearchStatus = nullptr;
  SearchResultTree* m_treeSearch = nullptr;
  FullTextSearch* m_fullText = nullptr;
  QWebEngineView* m_view = nullptr;
  FindBar* m_findBar = nullptr;
  QLabel* m_lblStatus = nullptr;
  QStandardItemModel* m_mdlContents = nullptr;
  QHash<QString, QStandardItem*> m_contentsPages;  // page key: the first entry that shows it
  IndexModel* m_mdlIndex = nullptr;
  QMenu* m_mnuRecent = nullptr;
  QMenu* m_mnuEncoding = nullptr;
  QActionGroup* m_grpEncoding = nullptr;
  // A PDF file is being written: the page may not go away meanwhile, so a
  // close waits for the end.
  bool m_blnPrinting = false;
  bool m_blnCloseWhenPrinted = false;
};

}  // namespace velmora::ui
