#include "ui/common/cBrowseForFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

#include "ui/common/BrowseForFolderDialog.h"
#include "ui/common/UiServices.h"
#include "ui/common/cComponentError.h"

namespace {

QString Source() { return cComponentError::SourceFor("cBrowseForFolder"); }

// The folder last chosen in a new-style dialog of this run.
QString& SessionFolder() {
  static QString strFolder;
  return strFolder;
}

QString DisplayNameOf(const QString& strPath) {
  const QString name = QFileInfo(strPath).fileName();
  return name.isEmpty() ? strPath : name;
}

// Clears the dialog-shown state however the dialog ends.
class ShownScope {
 public:
  ShownScope(bool& blnShown, QPointer<BrowseForFolderDialog>& dlgWindow)
      : m_blnShown(blnShown), m_dlgWindow(dlgWindow) {
    m_blnShown = true;
  }
  ~ShownScope() {
    m_blnShown = false;
    m_dlgWindow = nullptr;
  }

 private:
  bool& m_blnShown;
  QPointer<BrowseForFolderDialog>& m_dlgWindow;
};

}  // namespace

cBrowseForFolder::cBrowseForFolder(QObject* parent)
    : QObject(parent), m_strTitle(QStringLiteral("请选择目录：")) {}

cBrowseForFolder::~cBrowseForFolder() = default;

QString cBrowseForFolder::SpecialFolderLocation(int lngFolderId) const {
  QStandardPaths::StandardLocation location;
  switch (lngFolderId) {
    case kFolderDesktop: location = QStandardPaths::DesktopLocation; break;
    case kFolderPersonal: location = QStandardPaths::DocumentsLocation; break;
    case kFolderMyMusic: location = QStandardPaths::MusicLocation; break;
    case kFolderMyVideo: location = QStandardPaths::MoviesLocation; break;
    case kFolderAppData: location = QStandardPaths::GenericConfigLocation; break;
    case kFolderMyPictures: location = QStandardPaths::PicturesLocation; break;
    case kFolderProfile: location = QStandardPaths::HomeLocation; break;
    default: return QString();  // unknown, or without a path (kFolderDrives)
  }
  return QStandardPaths::writableLocation(location);
}

quint32 cBrowseForFolder::OptionBits() const {
  quint32 lngBits = 0;
  if (m_blnEditBox) lngBits |= kEditBox;
  if (m_blnStatusText) lngBits |= kStatusText;
  if (m_blnFileSystemOnly) lngBits |= kFileSystemOnly;
  if (m_blnValidateEditBox) lngBits |= kValidateEditBox;
  if (m_blnUseNewUI) lngBits |= kUseNewUI;
  return lngBits;
}

QString cBrowseForFolder::BrowseForFolder() {
  if (!m_strRootDir.isEmpty()) m_strRootDir = FullPath(m_strRootDir);
  if (!m_strInitialDir.isEmpty()) m_strInitialDir = FullPath(m_strInitialDir);
  m_strStartFolder = m_strInitialDir;
  if (m_strStartFolder.isEmpty() && m_blnUseNewUI) {
    m_strStartFolder = QFileInfo(SessionFolder()).isDir() ? SessionFolder() : QDir::homePath();
  }
  m_strDisplayName.clear();

  QString strFolder;
  {
    ShownScope shown(m_blnDialogShown, m_dlgWindow);
    strFolder = velmora::ui::Services().ShowFolderBrowser(*this);
  }
  m_strStartFolder.clear();
  if (!strFolder.isEmpty()) m_strDisplayName = DisplayNameOf(strFolder);
  if (!strFolder.isEmpty() && m_blnUseNewUI) SessionFolder() = strFolder;
  return strFolder;
}

void cBrowseForFolder::SetFolder(const QString& strPath) {
  if (!m_blnDialogShown) RaiseNotDisplayed();
  const QString strFull = FullPath(strPath);
  if (!m_dlgWindow) return;
  m_dlgWindow->SelectFolder(strFull);
  m_dlgWindow->activateWindow();
}

void cBrowseForFolder::SetStatus(const QString& strText) {
  if (!m_blnDialogShown) RaiseNotDisplayed();
  if (m_dlgWindow) m_dlgWindow->SetStatusText(strText);
}

QWidget* cBrowseForFolder::DialogWindow() const {
  if (!m_blnDialogShown) RaiseNotDisplayed();
  return m_dlgWindow;
}

QString cBrowseForFolder::RunDialog() {
  BrowseForFolderOptions options;
  options.title = m_strTitle;
  options.rootDir = m_strRootDir;
  options.editBox = m_blnEditBox;
  options.statusText = m_blnStatusText;
  options.validateEditBox = m_blnValidateEditBox;
  options.useNewUI = m_blnUseNewUI;
  BrowseForFolderDialog dlg(m_hwndOwner, options);
  connect(&dlg, &BrowseForFolderDialog::initialised, this,
          [this, &dlg] { OnDialogInitialised(&dlg); });
  connect(&dlg, &BrowseForFolderDialog::selectionChanged, this,
          [this, &dlg](const QString& strPath) { OnDialogSelectionChanged(&dlg, strPath); });
  connect(&dlg, &BrowseForFolderDialog::validationFailed, this,
          [this, &dlg](const QString& strTyped, bool& keepOpen) {
            keepOpen = OnDialogValidationFailed(&dlg, strTyped);
          });
  return dlg.exec() == QDialog::Accepted ? dlg.ChosenFolder() : QString();
}

// Relative paths are taken against the current folder. Only a current
// folder that cannot be determined makes this fail.
QString cBrowseForFolder::FullPath(const QString& strPath) const {
  if (QDir::isAbsolutePath(strPath)) return QDir::cleanPath(strPath);
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof buffer)) {
    const int code = errno;
    throw cComponentError(static_cast<qint32>(kErrPathBase + static_cast<quint32>(code)), Source(),
                          QString::fromLocal8Bit(std::strerror(code)));
  }
  return QDir::cleanPath(QDir(QString::fromLocal8Bit(buffer)).absoluteFilePath(strPath));
}

void cBrowseForFolder::RaiseNotDisplayed() const {
  throw cComponentError(kErrNotDisplayed, Source(),
                        QStringLiteral("Operation invalid unless dialog is displayed."));
}

void cBrowseForFolder::OnDialogInitialised(BrowseForFolderDialog* dlg) {
  if (!m_strStartFolder.isEmpty()) dlg->SelectFolder(m_strStartFolder);
  m_dlgWindow = dlg;
  emit Initialized();
}

void cBrowseForFolder::OnDialogSelectionChanged(BrowseForFolderDialog* dlg,
                                                const QString& strPath) {
  dlg->SetStatusText(strPath);
  bool bAllowOk = true;
  emit SelectionChanged(strPath, bAllowOk);
  if (!bAllowOk) dlg->EnableOk(false);
}

bool cBrowseForFolder::OnDialogValidationFailed(BrowseForFolderDialog* dlg,
                                                const QString& strTyped) {
  dlg->EnableOk(false);
  const QString strMessage = QStringLiteral("Path invalid: ") + strTyped;
  dlg->SetStatusText(strMessage);
  bool bKeepOpen = false;
  emit ValidationFailed(strMessage, bKeepOpen);
  return bKeepOpen;
}
