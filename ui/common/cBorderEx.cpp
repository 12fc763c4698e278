#include "ui/common/cBorderEx.h"

#include <QFrame>
#include <QWidget>

namespace {

// The static edge is one sunken pixel, the client edge two; together three.
int EdgeWidth(quint32 lngStyle) {
  return ((lngStyle & cBorderEx::kStaticEdge) ? 1 : 0) +
         ((lngStyle & cBorderEx::kClientEdge) ? 2 : 0);
}

// Frames draw the edge themselves; other widgets (line edits, buttons) get an
// equivalent style sheet border.
void ApplyEdge(QWidget* lhWnd, quint32 lngStyle) {
  const int width = EdgeWidth(lngStyle);
  if (auto* frame = qobject_cast<QFrame*>(lhWnd)) {
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(width);
  } else {
    lhWnd->setStyleSheet(QStringLiteral("%1 { border: %2px inset #a0a0a0; }")
                             .arg(QLatin1String(lhWnd->metaObject()->className()))
                             .arg(width));
  }
  lhWnd->update();
}

}  // namespace

void cBorderEx::ThinBorder(QWidget* lhWnd, bool bState) {
  if (!lhWnd) return;
  const quint32 lngStyle =
      lhWnd->property(kExStyleProperty).toUInt() | (bState ? kStaticEdge : kClientEdge);
  lhWnd->setProperty(kExStyleProperty, lngStyle);
  ApplyEdge(lhWnd, lngStyle);
}
