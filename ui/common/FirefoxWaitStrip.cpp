#include "ui/common/FirefoxWaitStrip.h"

namespace {

// Top-left corners of the dots' 4 x 4 boxes, clockwise from the top.
constexpr int kDotPositions[8][2] = {{6, 0}, {10, 2}, {12, 6}, {10, 10},
                                     {6, 12}, {2, 10}, {0, 6}, {2, 2}};

// Shades from dark (s0) to light (s7).
constexpr QRgb kShades[8] = {qRgb(65, 76, 88),    qRgb(78, 89, 101),  qRgb(91, 102, 114),
                             qRgb(103, 114, 126), qRgb(116, 127, 139), qRgb(129, 140, 152),
                             qRgb(142, 153, 165), qRgb(154, 165, 177)};

constexpr QRgb kIdleShade = qRgb(178, 178, 178);

// A dot is a 4 x 4 box without its corner pixels.
void DrawDot(QImage& strip, int left, int top, QRgb shade) {
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool corner = (x == 0 || x == 3) && (y == 0 || y == 3);
      if (!corner) strip.setPixel(left + x, top + y, shade);
    }
  }
}

}  // namespace

QImage FirefoxWaitStrip::Make() {
  QImage strip(kCellSize * kCellCount, kCellSize, QImage::Format_RGB888);
  strip.fill(QColor::fromRgb(kKeyColor));
  for (int cell = 0; cell < kCellCount; ++cell) {
    for (int position = 0; position < 8; ++position) {
      // Counter-clockwise from the darkest dot the shades grow lighter.
      const QRgb shade = cell == kIdleCell ? kIdleShade : kShades[(cell - position + 8) % 8];
      DrawDot(strip, cell * kCellSize + kDotPositions[position][0], kDotPositions[position][1],
              shade);
    }
  }
  return strip;
}

void FirefoxWaitStrip::ReplaceColor(QImage& picture, QRgb keyColor, QRgb newColor) {
  const QRgb key = keyColor | 0xFF000000;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if ((picture.pixel(x, y) | 0xFF000000) == key) picture.setPixel(x, y, newColor);
    }
  }
}
