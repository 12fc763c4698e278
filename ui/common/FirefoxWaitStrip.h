#pragma once
// The busy indicator's artwork: a 144 x 16 strip of nine 16 x 16 cells on the
// magenta key colour. Cells 0-7 are the animation frames (the darkest dot at
// position k clockwise from the top in cell k, lighter shades following it
// counter-clockwise); cell 8 is the idle ring in light grey.

#include <QImage>

class FirefoxWaitStrip {
 public:
  static constexpr int kCellSize = 16;
  static constexpr int kCellCount = 9;
  static constexpr int kIdleCell = 8;
  static constexpr QRgb kKeyColor = 0xFFFF00FF;  // (255, 0, 255)

  // Draws the strip (24 bits per pixel).
  static QImage Make();
  // Every pixel of exactly the key colour becomes the new colour; all other
  // pixels stay as they are. A null image is left alone.
  static void ReplaceColor(QImage& picture, QRgb keyColor, QRgb newColor);
};
