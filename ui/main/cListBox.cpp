#include "ui/main/cListBox.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QUrl>

#include <algorithm>
#include <bitset>
#include <vector>

namespace velmora::ui {

namespace {

// Rows whose width the sum of their characters' advances may miss by more
// than kerning does: marks that combine, characters outside the basic
// plane, and scripts whose glyphs are shaped from their neighbours.
bool IsShapedText(const QString& strRow) {
  for (const QChar ch : strRow) {
    if (ch.isSurrogate() || ch.isMark()) return true;
    switch (ch.script()) {
      case QChar::Script_Common:
      case QChar::Script_Inherited:
      case QChar::Script_Latin:
      case QChar::Script_Greek:
      case QChar::Script_Cyrillic:
      case QChar::Script_Han:
      case QChar::Script_Hiragana:
      case QChar::Script_Katakana:
      case QChar::Script_Hangul:
      case QChar::Script_Bopomofo:
        break;
      default:
        return true;
    }
  }
  return false;
}

}  // namespace

// Gives every row one height once it is set, so the view can lay out the
// rows from the first one's size; NaturalSize tells a row's own size.
class cListBox::RowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void SetRowHeight(int lngPixels) { m_lngRowHeight = lngPixels; }
  QSize NaturalSize(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return QStyledItemDelegate::sizeHint(option, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (m_lngRowHeight > 0) size.setHeight(m_lngRowHeight);
    return size;
  }

 private:
  int m_lngRowHeight = 0;
};

cListBox::cListBox(QWidget* parent) : QListWidget(parent), m_delegate(new RowDelegate(this)) {
  setItemDelegate(m_delegate);
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

int cListBox::SetRows(const QStringList& strRows) {
  clear();
  setUniformItemSizes(false);
  m_delegate->SetRowHeight(0);
  addItems(strRows);

  // The tallest row: the first one and the first row of each block of 128
  // characters beyond ASCII, where fallback fonts with taller lines come in.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  std::bitset<0x10000 / 128> blnBlockSeen;
  std::vector<int> samples{0};
  for (int lngRow = 0; lngRow < strRows.size(); ++lngRow) {
    for (const QChar ch : strRows[lngRow]) {
      const std::size_t block = ch.unicode() >> 7;
      if (block > 0 && !blnBlockSeen[block]) {
        blnBlockSeen[block] = true;
        samples.push_back(lngRow);
      }
    }
  }
  int lngHeight = 0;
  if (!strRows.isEmpty()) {
    for (const int lngRow : samples) {
      lngHeight = std::max(lngHeight, m_delegate->NaturalSize(option, model()->index(lngRow, 0)).height());
    }
    m_delegate->SetRowHeight(lngHeight);
    setUniformItemSizes(true);
  }

  // The widest row: each row's characters' advances added up (kerning
  // aside, a row's width), then the rows that come within a tenth of the
  // widest sum, and the shaped ones, measured exactly.
  const QFontMetrics metrics = fontMetrics();
  std::vector<int> advances(0x10000, -1);  // by UTF-16 code unit
  std::vector<int> estimates(std::size_t(strRows.size()), 0);
  int lngWidestEstimate = 0;
  for (int lngRow = 0; lngRow < strRows.size(); ++lngRow) {
    const QString& strRow = strRows[lngRow];
    if (IsShapedText(strRow)) {
      estimates[std::size_t(lngRow)] = -1;
      continue;
    }
    int lngSum = 0;
    for (const QChar ch : strRow) {
      int& lngAdvance = advances[ch.unicode()];
      if (lngAdvance < 0) lngAdvance = metrics.horizontalAdvance(ch);
      lngSum += lngAdvance;
    }
    estimates[std::size_t(lngRow)] = lngSum;
    lngWidestEstimate = std::max(lngWidestEstimate, lngSum);
  }
  int lngWidest = 0;
  int lngWidestRow = -1;
  for (int lngRow = 0; lngRow < strRows.size(); ++lngRow) {
    const int lngEstimate = estimates[std::size_t(lngRow)];
    if (lngEstimate < 0 || lngEstimate * 10 >= lngWidestEstimate * 9) {
      const int lngWidth = metrics.horizontalAdvance(strRows[lngRow]);
      if (lngWidestRow < 0 || lngWidth > lngWidest) {
        lngWidest = lngWidth;
        lngWidestRow = lngRow;
      }
    }
  }
  // What the widest row needs in the view: its text and the delegate's
  // margins.
  m_lngRowsWidth = lngWidestRow < 0 ? 0 : m_delegate->NaturalSize(option, model()->index(lngWidestRow, 0)).width();
  scheduleDelayedItemsLayout();
  return lngWidest;
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
  // Rows laid out at one size report the first row's width; the widest
  // row given to SetRows is what they need.
  const int lngWidth = std::max(m_lngHorizontalExtent, uniformItemSizes() ? m_lngRowsWidth : 0);
  const QSize sizContents = contentsSize();
  if (sizContents.width() < lngWidth) resizeContents(lngWidth, sizContents.height());
  QListWidget::updateGeometries();
}

}  // namespace velmora::ui
