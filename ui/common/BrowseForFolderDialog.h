#pragma once
// The folder browser's window: a title text, a tree of folders, an optional
// edit box for typing a folder, an optional status line, OK and Cancel.
// cBrowseForFolder drives it and answers its notifications.

#include <QDialog>

class FolderTreeFilter;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

struct BrowseForFolderOptions {
  QString title;
  QString rootDir;  // absolute; empty or missing for the whole file system
  bool editBox = false;
  bool statusText = false;
  bool validateEditBox = false;
  bool useNewUI = false;  // adds a path box and a new-folder button
};

class BrowseForFolderDialog : public QDialog {
  Q_OBJECT

 public:
  BrowseForFolderDialog(QWidget* owner, const BrowseForFolderOptions& options);

  // Selects an existing folder inside the root; anything else is ignored.
  // The new-style dialog also expands it.
  void SelectFolder(const QString& strPath);
  void SetStatusText(const QString& strText);
  void EnableOk(bool blnEnable);
  // The folder the dialog was closed with (empty after a cancel).
  QString ChosenFolder() const { return m_strChosen; }

 signals:
  void initialised();
  void selectionChanged(const QString& strPath);
  // The typed text is not a folder and OK was chosen; keepOpen starts false.
  void validationFailed(const QString& strTyped, bool& keepOpen);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnInitialised();
  void OnCurrentChanged(const QModelIndex& current);
  void OnOk();
  void OnPathEdited(const QString& strText);
  void OnNewFolder();
  QString SelectedFolder() const;

  BrowseForFolderOptions m_options;
  QFileSystemModel* m_model = nullptr;
  FolderTreeFilter* m_filter = nullptr;
  QLabel* lblTitle = nullptr;
  QTreeView* tvwFolders = nullptr;
  QLineEdit* txtFolder = nullptr;
  QLineEdit* txtPath = nullptr;          // new style: the selection's full path, typed or pasted
  QPushButton* cmdNewFolder = nullptr;   // new style: "新建文件夹"
  QLabel* lblStatus = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
  bool m_blnInitialised = false;        // the first show has been handled
  bool m_blnReporting = false;          // notifications go to the owner
  bool m_blnSelectionReported = false;  // a selection change went out
  bool m_blnTypingPath = false;         // the path box drives the selection
  QString m_strChosen;
};
