#pragma once
// The folder browser: a modal dialog with a folder tree that returns the
// chosen folder's absolute path. Root and start folder are given as paths
// (relative ones are made absolute against the current folder, and the
// properties keep the absolute form); option switches show an edit box and a
// status line; events let the owner veto OK or keep the dialog open.
//
// BrowseForFolder asks velmora::ui::Services().ShowFolderBrowser(*this), whose
// desktop implementation calls RunDialog(). Connect to the events with direct
// connections: their bool& arguments are answers read back at once.
//
// Errors are thrown as cComponentError with the source "<program>.cBrowseForFolder":
// kErrNotDisplayed from SetFolder, SetStatus and DialogWindow while no dialog
// is open; kErrPathBase plus the system error code when a path cannot be made
// absolute.

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class BrowseForFolderDialog;

class cBrowseForFolder : public QObject {
  Q_OBJECT

 public:
  // Option bits reported by OptionBits (the desktop's values).
  static constexpr quint32 kEditBox = 0x10;
  static constexpr quint32 kStatusText = 0x04;
  static constexpr quint32 kFileSystemOnly = 0x09;
  static constexpr quint32 kValidateEditBox = 0x20;
  static constexpr quint32 kUseNewUI = 0x40;

  static constexpr qint32 kErrNotDisplayed = 26002;
  static constexpr quint32 kErrPathBase = 0x80047148u;

  // Folder ids for SpecialFolderLocation (the desktop's numbers).
  static constexpr int kFolderDesktop = 0x0000;
  static constexpr int kFolderPersonal = 0x0005;
  static constexpr int kFolderMyMusic = 0x000D;
  static constexpr int kFolderMyVideo = 0x000E;
  static constexpr int kFolderDrives = 0x0011;
  static constexpr int kFolderAppData = 0x001A;
  static constexpr int kFolderMyPictures = 0x0027;
  static constexpr int kFolderProfile = 0x0028;

  explicit cBrowseForFolder(QObject* parent = nullptr);
  ~cBrowseForFolder() override;

  // Path of a special folder; empty when it is unknown or has no path.
  QString SpecialFolderLocation(int lngFolderId) const;

  bool EditBox() const { return m_blnEditBox; }
  void SetEditBox(bool blnValue) { m_blnEditBox = blnValue; }
  bool StatusText() const { return m_blnStatusText; }
  void SetStatusText(bool blnValue) { m_blnStatusText = blnValue; }
  bool FileSystemOnly() const { return m_blnFileSystemOnly; }
  void SetFileSystemOnly(bool blnValue) { m_blnFileSystemOnly = blnValue; }
  bool ValidateEditBox() const { return m_blnValidateEditBox; }
  void SetValidateEditBox(bool blnValue) { m_blnValidateEditBox = blnValue; }
  bool UseNewUI() const { return m_blnUseNewUI; }
  void SetUseNewUI(bool blnValue) { m_blnUseNewUI = blnValue; }
  QString Title() const { return m_strTitle; }
  void SetTitle(const QString& strValue) { m_strTitle = strValue; }
  QWidget* hwndOwner() const { return m_hwndOwner; }
  void SetHwndOwner(QWidget* hwndOwner) { m_hwndOwner = hwndOwner; }
  QString InitialDir() const { return m_strInitialDir; }
  void SetInitialDir(const QString& strValue) { m_strInitialDir = strValue; }
  QString RootDir() const { return m_strRootDir; }
  void SetRootDir(const QString& strValue) { m_strRootDir = strValue; }

  // The option bits the switches make (0 with none set, 0x7D with all).
  quint32 OptionBits() const;

  // Shows the dialog and returns the chosen folder; empty after a cancel.
  // The new-style dialog without an InitialDir opens at the folder chosen
  // last in a new-style dialog of this run, else at the home folder.
  QString BrowseForFolder();
  // The display name of the folder chosen in the last dialog.
  QString DisplayName() const { return m_strDisplayName; }

  // While the dialog is open: select a folder / set the status line.
  void SetFolder(const QString& strPath);
  void SetStatus(const QString& strText);
  // While the dialog is open: its window (null until it has initialised).
  QWidget* DialogWindow() const;

  // Runs the dialog modally and returns the chosen folder (empty after a
  // cancel). Called by the desktop services on behalf of BrowseForFolder.
  QString RunDialog();

 signals:
  void Initialized();
  // bAllowOk starts true; setting it false disables OK.
  void SelectionChanged(const QString& strPath, bool& bAllowOk);
  // bKeepOpen starts false; setting it true keeps the dialog open.
  void ValidationFailed(const QString& strMessage, bool& bKeepOpen);

 private:
  QString FullPath(const QString& strPath) const;
  void RaiseNotDisplayed() const;
  void OnDialogInitialised(BrowseForFolderDialog* dlg);
  void OnDialogSelectionChanged(BrowseForFolderDialog* dlg, const QString& strPath);
  bool OnDialogValidationFailed(BrowseForFolderDialog* dlg, const QString& strTyped);

  QWidget* m_hwndOwner = nullptr;
  QString m_strTitle;
  QString m_strInitialDir;
  QString m_strRootDir;
  bool m_blnEditBox = false;
  bool m_blnStatusText = false;
  bool m_blnFileSystemOnly = false;
  bool m_blnValidateEditBox = false;
  bool m_blnUseNewUI = false;
  QString m_strDisplayName;
  QString m_strStartFolder;  // the folder selected when the current dialog opens
  bool m_blnDialogShown = false;
  QPointer<BrowseForFolderDialog> m_dlgWindow;
};
