#pragma once
// A mode button (optMode): a radio button that selects itself as soon as
// anything is dragged over it, so files can be carried to the other mode's
// list without a click first.

#include <QRadioButton>

namespace velmora::ui {

class cModeButton : public QRadioButton {
  Q_OBJECT

 public:
  explicit cModeButton(const QString& strCaption, QWidget* parent = nullptr);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
};

}  // namespace velmora::ui
