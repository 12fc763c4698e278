#pragma once
// Gives a widget a thin frame. A widget keeps its extended frame style in the
// dynamic property kExStyleProperty (bits as the desktop's window styles:
// kStaticEdge a one-pixel sunken edge, kClientEdge a two-pixel sunken edge);
// ThinBorder only ever adds bits and then redraws the frame from them.

#include <QtGlobal>

class QWidget;

class cBorderEx {
 public:
  static constexpr const char* kExStyleProperty = "ExStyle";
  static constexpr quint32 kStaticEdge = 0x20000;
  static constexpr quint32 kClientEdge = 0x200;

  // bState true adds the static edge, false adds the client edge; nothing is
  // removed, so repeating a call changes nothing.
  void ThinBorder(QWidget* lhWnd, bool bState);
};
