#include "ui/main/cListBox.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace velmora::ui {

cListBox::cListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void cListBox::SetHorizontalExtent(int lngPixels) {
  m_lngHorizontalExtent = lngPixels;
  // A fresh layout recomputes the rows' own width; updateGeometries() then
  // widens it to the extent.
  scheduleDelayedItemsLayout();
}

void cListBox::mousePressEvent(QMouseEvent* event) {
  // A right click only opens a context menu; like a classic list box it
  // neither selects the row under the mouse nor moves the current row.
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  m_blnPressing = true;
  m_blnChosenInPress = false;
  QListWidget::mousePressEvent(event);
  m_blnPressing = false;
  if (m_blnChosenInPress) {
    m_blnChosenInPress = false;
    emit CurrentRowChosen(currentRow());
  }
}

void cListBox::focusInEvent(QFocusEvent* event) {
  // The view makes the first row current when it gets the focus with none
  // current. That is not a choice of the user's: nothing is reported, and
  // the row is made not current again, so a click on it still counts.
  const bool blnHadCurrent = currentIndex().isValid();
  m_blnTakingFocus = true;
  QListWidget::focusInEvent(event);
  if (!blnHadCurrent && currentIndex().isValid()) {
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  m_blnTakingFocus = false;
}

void cListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListWidget::currentChanged(current, previous);
  if (m_blnTakingFocus || !current.isValid()) return;
  // A press makes its row current before it selects it: report after.
  if (m_blnPressing) {
    m_blnChosenInPress = true;
    return;
  }
  emit CurrentRowChosen(current.row());
}

void cListBox::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  emit MouseReleased(event->button(), event->globalPosition().toPoint());
}

void cListBox::dragEnterEvent(QDragEnterEvent* event) { event->acceptProposedAction(); }

void cListBox::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void cListBox::dropEvent(QDropEvent* event) {
  QStringList strFiles;
  if (event->mimeData()->hasUrls()) {
    for (const QUrl& url : event->mimeData()->urls()) {
      if (url.isLocalFile()) strFiles.append(url.toLocalFile());
    }
  }
  event->acceptProposedAction();
  emit FilesDropped(strFiles);
}

void cListBox::updateGeometries() {
  // The extent widens the contents the view scrolls over, rather than the
  // scroll bar's range after the view has set it: the view then decides the
  // range and the scroll bars' visibility from one consistent width. Setting
  // the range afterwards made the view reset it first, which hid the bar,
  // resized the viewport and re-entered here without end.
  const QSize sizContents = contentsSize();
  if (sizContents.width() < m_lngHorizontalExtent) {
    resizeContents(m_lngHorizontalExtent, sizContents.height());
  }
  QListWidget::updateGeometries();
}

}  // namespace velmora::ui
