#pragma once
// The window is designed in twips: 1440 per inch, 15 per device-independent
// pixel. Qt scales device-independent pixels on high-DPI screens, so twips
// convert to Qt coordinates at a fixed 15 : 1.

#include <QRect>

class QWidget;

namespace velmora::ui {

inline constexpr int kTwipsPerPixel = 15;

// A rectangle in twips, in its container's coordinates.
struct TwipRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  friend bool operator==(const TwipRect& a, const TwipRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height;
  }
  friend bool operator!=(const TwipRect& a, const TwipRect& b) { return !(a == b); }
};

// Twips to pixels, to the nearest pixel (halves away from zero).
int TwipsToPixels(int lngTwips);

// Each edge is rounded on its own, so rectangles whose edges meet in twips
// also meet in pixels.
QRect ToPixels(const TwipRect& rect);

// Moves and sizes a widget to a rectangle given in twips.
void MoveInTwips(QWidget* widget, const TwipRect& rect);

}  // namespace velmora::ui
