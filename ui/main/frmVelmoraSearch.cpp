// The find command (mnuFind, F3) and what the search dialog sees of the
// window: the list of each mode, the header picture, and the preview of a
// content row the dialog has made current.

#include <QAction>
#include <QListWidget>

#include "ui/main/cListBox.h"
#include "ui/main/frmVelmora.h"
#include "ui/search/frmSearch.h"

namespace velmora::ui {

void frmVelmora::ConnectSearchCommands() {
  connect(m_mnu.mnuFind, &QAction::triggered, this, &frmVelmora::mnuFind_Click);
  // Connected after the preview's own handler of the same signal: by the
  // time this runs, the change has been previewed. The mark lasts until the
  // event loop next runs, so it only ever describes the change just made.
  connect(lstItems, &cListBox::CurrentRowChosen, this, [this](int lngRow) {
    m_lngRowMadeCurrent = lngRow;
    QMetaObject::invokeMethod(this, [this] { m_lngRowMadeCurrent = -1; }, Qt::QueuedConnection);
  });
}

void frmVelmora::mnuFind_Click() { frmSearch::ShowFind(*this); }

QWidget* frmVelmora::SearchOwner() { return this; }

QListWidget* frmVelmora::ModeList(int mode) { return mode == 0 ? lstItems : lstFiles; }

void frmVelmora::ContentRowMadeCurrent(int row) {
  // The dialog made the row current. When that changed the current row,
  // the change has already previewed it; a row that was current already
  // changed nothing and is previewed here, so every hit previews once.
  if (m_lngRowMadeCurrent == row) {
    m_lngRowMadeCurrent = -1;
    return;
  }
  lstItems_Click();
}

}  // namespace velmora::ui
