#include "ui/common/cDlg.h"

#include <QDir>
#include <QFileInfo>

#include "ui/common/FileDialogFilter.h"
#include "ui/common/UiServices.h"
#include "ui/common/cBrowseForFolder.h"
#include "ui/common/cComponentError.h"

namespace {

const QChar kNul(u'\0');

[[noreturn]] void RaiseInvalidArgument() {
  throw cComponentError(cDlg::kErrInvalidArgument, cComponentError::SourceFor("cDlg"),
                        QStringLiteral("Invalid procedure call or argument"));
}

// The text up to its first NUL character.
QString UpToNul(const QString& text) {
  const qsizetype end = text.indexOf(kNul);
  return end < 0 ? text : text.left(end);
}

// The multiple-selection list: the folder and each name, every one followed by
// a NUL, and one more NUL at the end. One file alone is its full path.
QString MultiSelectionList(const QStringList& files) {
  if (files.size() == 1) return files.first() + kNul + kNul;
  const QString folder = QFileInfo(files.first()).absolutePath();
  const QDir dir(folder);
  QString list = folder + kNul;
  for (const QString& file : files) list += dir.relativeFilePath(file) + kNul;
  return list + kNul;
}

}  // namespace

void cDlg::SetAction(int lngAction) {
  if (lngAction == 1) ShowOpen();
  else if (lngAction == 2) ShowSave();
}

void cDlg::ShowOpen() { ShowFileDialog(true); }

void cDlg::ShowSave() { ShowFileDialog(false); }

void cDlg::ShowFileDialog(bool blnOpen) {
  // The name buffers: 255 characters, 8192 for a multiple selection; a
  // preset that does not fit is refused before anything is shown.
  const bool blnMulti = blnOpen && (m_lngFlags & kMultiSelect);
  if (m_strFileName.size() > kBufferLength) RaiseInvalidArgument();
  if (blnMulti && m_strFileTitle.size() > kMultiBufferLength) RaiseInvalidArgument();

  velmora::ui::FileDialogRequest request;
  request.kind = blnOpen ? velmora::ui::FileDialogRequest::Kind::Open
                         : velmora::ui::FileDialogRequest::Kind::Save;
  request.owner = m_hOwner;
  request.title = m_strDialogTitle;
  request.initialFolder = m_strInitDir;
  request.fileName = UpToNul(m_strFileName);
  request.nameFilters = NameFiltersFromFilter(m_strFilter);
  request.filterIndex = m_lngFilterIndex > 0 ? m_lngFilterIndex - 1 : 0;
  request.multiple = blnMulti;
  request.fileMustExist = m_lngFlags & kFileMustExist;
  request.pathMustExist = m_lngFlags & kPathMustExist;
  request.overwritePrompt = m_lngFlags & kOverwritePrompt;
  request.defaultSuffix = m_strDefaultExt.startsWith(QLatin1Char('.')) ? m_strDefaultExt.mid(1)
                                                                       : m_strDefaultExt;

  const velmora::ui::FileDialogResult result = velmora::ui::Services().ShowFileDialog(request);
  if (!result.accepted || result.files.isEmpty()) {
    m_strFileName.clear();
    if (m_blnCancelError) {
      throw cComponentError(kErrCancel, cComponentError::SourceFor("cDlg"),
                            QStringLiteral("Cancel was selected."));
    }
    return;
  }
  if (blnMulti) {
    m_strFileName = MultiSelectionList(result.files);
  } else {
    m_strFileName = result.files.first();
    m_strFileTitle = QFileInfo(m_strFileName).fileName();
  }
}

QString cDlg::ShowFolder() {
  cBrowseForFolder browser;
  browser.SetHwndOwner(m_hOwner);
  browser.SetTitle(m_strDialogPrompt);
  browser.SetRootDir(m_strInitDir);
  browser.SetFileSystemOnly(true);
  const QString strFolder = browser.BrowseForFolder();
  if (!strFolder.isEmpty()) m_strInitDir = strFolder;
  return m_strInitDir;
}

void cDlg::ParseMultiFileName(QString& strFolder, QStringList& strNames, int& lngCount) const {
  const QString strPair(2, kNul);
  const qsizetype lngEnd = m_strFileName.indexOf(strPair);
  if (lngEnd < 0) {
    // A plain path: split at its last separator unless that is the first
    // character (or there is none).
    const qsizetype lngSlash = m_strFileName.lastIndexOf(QLatin1Char('/'));
    lngCount = 1;
    if (lngSlash >= 1) {
      strFolder = m_strFileName.left(lngSlash);
      strNames = QStringList{m_strFileName.mid(lngSlash + 1)};
    } else {
      strFolder.clear();
      strNames = QStringList{m_strFileName};
    }
    return;
  }
  // The list: the first part names the folder (while it is still empty),
  // every later part is one more name; the last part always is a name.
  QStringList parts = m_strFileName.left(lngEnd).split(kNul);
  const QString strLast = parts.takeLast();
  for (const QString& strPart : parts) {
    if (strFolder.isEmpty()) {
      strFolder = strPart;
    } else {
      ++lngCount;
      strNames.resize(lngCount);
      strNames[lngCount - 1] = strPart;
    }
  }
  ++lngCount;
  strNames.resize(lngCount);
  strNames[lngCount - 1] = strLast;
}
