#pragma once
// The Open and Save As dialogs behind a set of properties: the caller sets a
// title, a filter ("description|pattern|description|pattern…"), a preset name
// and the dialog option bits, calls ShowOpen or ShowSave and reads the chosen
// name back from FileName (empty after a cancel). The dialogs are shown
// through velmora::ui::Services().
//
// Option bits (the desktop's values): kMultiSelect lets several files be
// chosen; FileName then holds the folder, a NUL character and each name
// followed by a NUL, ending in two NULs (a single file chosen that way gives
// its full path followed by two NULs); ParseMultiFileName splits it.
//
// Errors are thrown as cComponentError: kErrInvalidArgument when a preset
// name is longer than its buffer (checked before the dialog opens), and
// kErrCancel after a cancel when CancelError is set.

#include <QString>
#include <QStringList>

class QWidget;

class cDlg {
 public:
  static constexpr quint32 kOverwritePrompt = 0x2;
  static constexpr quint32 kEnableHook = 0x20;
  static constexpr quint32 kEnableTemplate = 0x40;
  static constexpr quint32 kEnableTemplateHandle = 0x80;
  static constexpr quint32 kMultiSelect = 0x200;
  static constexpr quint32 kPathMustExist = 0x800;
  static constexpr quint32 kFileMustExist = 0x1000;
  static constexpr quint32 kExplorer = 0x80000;

  static constexpr int kBufferLength = 255;
  static constexpr int kMultiBufferLength = 8192;

  static constexpr qint32 kErrInvalidArgument = 5;
  static constexpr qint32 kErrCancel = 32755;

  // 1 runs ShowOpen, 2 runs ShowSave, any other value does nothing.
  void SetAction(int lngAction);

  bool CancelError() const { return m_blnCancelError; }
  void SetCancelError(bool blnValue) { m_blnCancelError = blnValue; }
  QWidget* hOwner() const { return m_hOwner; }
  void SetHOwner(QWidget* hOwner) { m_hOwner = hOwner; }
  quint32 flags() const { return m_lngFlags; }
  void SetFlags(quint32 lngFlags) { m_lngFlags = lngFlags; }
  QString DialogTitle() const { return m_strDialogTitle; }
  void SetDialogTitle(const QString& strValue) { m_strDialogTitle = strValue; }
  QString DialogPrompt() const { return m_strDialogPrompt; }
  void SetDialogPrompt(const QString& strValue) { m_strDialogPrompt = strValue; }
  QString DefaultExt() const { return m_strDefaultExt; }
  void SetDefaultExt(const QString& strValue) { m_strDefaultExt = strValue; }
  QString FileName() const { return m_strFileName; }
  void SetFileName(const QString& strValue) { m_strFileName = strValue; }
  QString FileTitle() const { return m_strFileTitle; }
  void SetFileTitle(const QString& strValue) { m_strFileTitle = strValue; }
  QString Filter() const { return m_strFilter; }
  void SetFilter(const QString& strValue) { m_strFilter = strValue; }
  // 1-based index of the filter selected at start; 0 selects the first.
  int FilterIndex() const { return m_lngFilterIndex; }
  void SetFilterIndex(int lngValue) { m_lngFilterIndex = lngValue; }
  QString InitDir() const { return m_strInitDir; }
  void SetInitDir(const QString& strValue) { m_strInitDir = strValue; }

  void ShowOpen();
  void ShowSave();
  // A simple folder picker rooted at InitDir with DialogPrompt as its text;
  // the chosen folder becomes InitDir, which is returned (unchanged after a
  // cancel).
  QString ShowFolder();

  // Splits FileName after a multiple selection into the folder and the
  // names (strNames[i] is name i + 1). A plain path gives the text before its
  // last "/" as folder and the rest as the only name (empty folder when there
  // is no "/" or only a leading one) and sets lngCount to 1. A NUL-separated
  // list adds its names to lngCount, so callers pass 0.
  void ParseMultiFileName(QString& strFolder, QStringList& strNames, int& lngCount) const;

 private:
  void ShowFileDialog(bool blnOpen);

  bool m_blnCancelError = false;
  QWidget* m_hOwner = nullptr;
  quint32 m_lngFlags = 0;
  QString m_strDialogTitle;
  QString m_strDialogPrompt;
  QString m_strDefaultExt;
  QString m_strFileName;
  QString m_strFileTitle;
  QString m_strFilter;
  int m_lngFilterIndex = 0;
  QString m_strInitDir;
};
