// The small menu commands: close, exit, the help entries, the preview
// options and the association switch. Opening, finding and exporting are
// connected where their features live.

#include <QAction>
#include <QPointer>

#include "engine/basVelmora.h"
#include "settings/basAssociation.h"
#include "ui/common/frmAbout.h"
#include "ui/main/HelpLinks.h"
#include "ui/main/frmVelmora.h"
#include "ui/reader/ShelfSearchLauncher.h"
#include "ui/reader/frmReader.h"

namespace velmora::ui {

void frmVelmora::ConnectMenuCommands() {
  connect(m_mnu.mnuRead, &QAction::triggered, this, &frmVelmora::mnuRead_Click);
  connect(m_mnu.mnuShelfSearch, &QAction::triggered, this, [this] { OpenShelfSearch(this); });
  connect(m_mnu.mnuClose, &QAction::triggered, this, &frmVelmora::mnuClose_Click);
  connect(m_mnu.mnuExit, &QAction::triggered, this, &frmVelmora::mnuExit_Click);
  connect(m_mnu.mnuAbout, &QAction::triggered, this, &frmVelmora::mnuAbout_Click);
  connect(m_mnu.mnuManual, &QAction::triggered, this, &frmVelmora::mnuManual_Click);
  connect(m_mnu.mnuDonate, &QAction::triggered, this, &frmVelmora::mnuDonate_Click);
  connect(m_mnu.mnuWebsite, &QAction::triggered, this, &frmVelmora::mnuWebsite_Click);
  connect(m_mnu.mnuViewInplace, &QAction::triggered, this, &frmVelmora::mnuViewInplace_Click);
  connect(m_mnu.mnuPreview, &QAction::triggered, this, &frmVelmora::mnuPreview_Click);
  connect(m_mnu.mnuAssociates, &QAction::triggered, this, &frmVelmora::mnuAssociates_Click);
  // mnuAutoViewHTML only toggles its own check mark, which the checkable
  // action does by itself.
}

void frmVelmora::mnuClose_Click() { ResetWindow(true); }

void frmVelmora::mnuRead_Click() {
  const QString strFile = m_blnLoaded ? m_strCHMFile : frmReader::ChooseChmFile(this, QString());
  if (!strFile.isEmpty()) frmReader::OpenWindow(strFile, this);
}

void frmVelmora::mnuExit_Click() { close(); }

void frmVelmora::mnuAbout_Click() { frmAbout::ShowAbout(this, HeaderPicture(), windowIcon()); }

// A desktop without an application for CHM files: the manual in a reader
// window, and the file open here stays as it is.
void frmVelmora::mnuManual_Click() {
  QPointer<frmVelmora> window(this);
  OpenManualOrWebsite(this, QString::fromStdString(engine::basVelmora::GetAppFolder()),
                      [window](const QString& strManual) { frmReader::OpenWindow(strManual, window); });
}

void frmVelmora::mnuDonate_Click() { OpenDonatePage(this); }

void frmVelmora::mnuWebsite_Click() { OpenWebsite(this); }

// The two preview options exclude each other: the clicked one has already
// toggled its own check mark, the other takes the opposite state.
void frmVelmora::mnuViewInplace_Click() { m_mnu.mnuPreview->setChecked(!m_mnu.mnuViewInplace->isChecked()); }

void frmVelmora::mnuPreview_Click() { m_mnu.mnuViewInplace->setChecked(!m_mnu.mnuPreview->isChecked()); }

// The checkable entry has already inverted its check mark; the verb follows it.
void frmVelmora::mnuAssociates_Click() { settings::ApplyContextMenuSwitch(m_mnu.mnuAssociates->isChecked()); }

}  // namespace velmora::ui
