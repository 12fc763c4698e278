#include "ui/main/cModeButton.h"

#include <QDragEnterEvent>

namespace velmora::ui {

cModeButton::cModeButton(const QString& strCaption, QWidget* parent) : QRadioButton(strCaption, parent) {
  setAcceptDrops(true);
}

void cModeButton::dragEnterEvent(QDragEnterEvent* event) {
  setChecked(true);
  // Nothing can be dropped on the button itself.
  event->ignore();
}

}  // namespace velmora::ui
