#pragma once
// "在多个帮助文件中搜索": the text of every page of the CHM files in the
// folders the user chose (remembered), searched through the index in the
// cache folder. Indexing runs on its own thread with progress and a cancel
// button; the hits are grouped by file, and choosing one asks for its page
// (PageChosen), which the owner shows in a reader window.

#include <QDialog>

#include "ui/search/FullTextSearch.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace velmora::ui {

class SearchResultTree;

class frmShelfSearch : public QDialog {
  Q_OBJECT

 public:
  explicit frmShelfSearch(QWidget* parent = nullptr);

  // Searches the remembered folders for the text of the query box.
  void StartSearch();
  void AddFolder();
  void RemoveFolder();

  QStringList Folders() const;

  // The controls, for tests.
  QLineEdit* QueryBox() const { return m_txtQuery; }
  QListWidget* FolderList() const { return m_lstFolders; }
  QPushButton* SearchButton() const { return m_cmdSearch; }
  QPushButton* CancelButton() const { return m_cmdCancel; }
  QPushButton* AddFolderButton() const { return m_cmdAddFolder; }
  SearchResultTree* Results() const { return m_treeResults; }
  QLabel* StatusLabel() const { return m_lblStatus; }
  FullTextSearch* Search() const { return m_search; }

 signals:
  void PageChosen(const QString& strChmFile, const QString& strStoredPath, const QString& strHighlight);

 private:
  void ShowProgress(int lngFile, int lngFiles, const QString& strChmFile, int lngPagesRead, int lngPageCount);
  void ShowResult(const FullTextResult& result);
  void SetRunning(bool blnRunning);
  void SaveFolders();

  FullTextSearch* m_search = nullptr;
  QLineEdit* m_txtQuery = nullptr;
  QPushButton* m_cmdSearch = nullptr;
  QPushButton* m_cmdCancel = nullptr;
  QListWidget* m_lstFolders = nullptr;
  QPushButton* m_cmdAddFolder = nullptr;
  QPushButton* m_cmdRemoveFolder = nullptr;
  QProgressBar* m_prgIndex = nullptr;
  QLabel* m_lblStatus = nullptr;
  SearchResultTree* m_treeResults = nullptr;
};

}  // namespace velmora::ui
