#include "ui/main/Twips.h"

#include <QWidget>

namespace velmora::ui {

int TwipsToPixels(int lngTwips) {
  const int half = kTwipsPerPixel / 2;
  return lngTwips >= 0 ? (lngTwips + half) / kTwipsPerPixel : -((-lngTwips + half) / kTwipsPerPixel);
}

QRect ToPixels(const TwipRect& rect) {
  const int left = TwipsToPixels(rect.Left);
  const int top = TwipsToPixels(rect.Top);
  const int right = TwipsToPixels(rect.Left + rect.Width);
  const int bottom = TwipsToPixels(rect.Top + rect.Height);
  return QRect(left, top, right - left, bottom - top);
}

void MoveInTwips(QWidget* widget, const TwipRect& rect) { widget->setGeometry(ToPixels(rect)); }

}  // namespace velmora::ui
