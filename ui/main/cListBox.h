#pragma once
// The list boxes of the main window (content list and CHM file list): extended
// multiple selection, drops of anything (the window decides what a drop
// means), a mouse-up notification, a horizontal scroll range that the
// program can widen, and a notice of the current row the user (or the
// program) moved to, never sent when the list only takes the focus.

#include <QListWidget>
#include <QStringList>

namespace velmora::ui {

class cListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit cListBox(QWidget* parent = nullptr);

  // Makes the list scrollable horizontally over at least lngPixels, however
  // narrow its rows are. Lowering the extent is allowed; it never cuts the
  // range the rows themselves need.
  void SetHorizontalExtent(int lngPixels);
  int HorizontalExtent() const { return m_lngHorizontalExtent; }

  // Replaces every row with strRows in one go and returns the widest row's
  // width in pixels. Tens of thousands of rows cost little: every row gets
  // the height of the tallest of a few sample rows (one per script the
  // rows use, so a CJK row is not cut in a list of Latin ones), which lets
  // the view lay them out without asking each for its size, and only the
  // rows that may be the widest are measured exactly. The rows scroll over
  // the widest row's width.
  int SetRows(const QStringList& strRows);

 signals:
  // Something was dropped; strFiles holds the local files it carried, in
  // the order of the drop (empty when it carried none).
  void FilesDropped(const QStringList& strFiles);
  // A mouse button was released over the list, at globalPos on the screen.
  void MouseReleased(Qt::MouseButton button, const QPoint& globalPos);
  // The current row changed to lngRow by a click, a key or the program.
  // A click reports it once the press has applied its selection, so a
  // handler may move the selection itself. Not sent when the list makes a
  // row current only because it took the keyboard focus.
  void CurrentRowChosen(int lngRow);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void updateGeometries() override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  class RowDelegate;

  int m_lngHorizontalExtent = 0;
  int m_lngRowsWidth = 0;  // widest row given to SetRows
  RowDelegate* m_delegate = nullptr;
  bool m_blnTakingFocus = false;    // inside focusInEvent
  bool m_blnPressing = false;       // inside mousePressEvent
  bool m_blnChosenInPress = false;  // the press changed the current row
};

}  // namespace velmora::ui
