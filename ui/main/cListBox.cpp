#include "ui/main/cListBox.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
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
  updateGeometries();
}

void cListBox::mousePressEvent(QMouseEvent* event) {
  // A right click only opens a context menu; like a classic list box it
  // neither selects the row under the mouse nor moves the current row.
  if (event->button() == Qt::RightButton) {
    event->accept();
    return;
  }
  QListWidget::mousePressEvent(event);
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
  QListWidget::updateGeometries();
  const int lngMaximum = m_lngHorizontalExtent - viewport()->width();
  if (lngMaximum > horizontalScrollBar()->maximum()) {
    horizontalScrollBar()->setRange(0, lngMaximum);
  }
}

}  // namespace velmora::ui
