#pragma once
// The list boxes of the main window (content list and CHM file list): extended
// multiple selection, drops of anything (the window decides what a drop
// means), a mouse-up notification, and a horizontal scroll range that can be
// widened by the program and never shrinks below what was set.

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

 signals:
  // Something was dropped; strFiles holds the local files it carried, in
  // the order of the drop (empty when it carried none).
  void FilesDropped(const QStringList& strFiles);
  // A mouse button was released over the list, at globalPos on the screen.
  void MouseReleased(Qt::MouseButton button, const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void updateGeometries() override;

 private:
  int m_lngHorizontalExtent = 0;
};

}  // namespace velmora::ui
