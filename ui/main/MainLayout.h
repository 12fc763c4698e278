#pragma once
// Where the main window's laid-out controls go for a given client size, as a
// pure function so every rule can be checked without a window.
//
// Each step runs on its own: a step whose width or height would come out
// negative (a minimised or very small window) leaves its controls where they
// were, and the later steps still run with whatever the earlier ones left.
// Positions may become negative; only sizes skip a step.

#include "ui/main/Twips.h"

namespace velmora::ui {

struct MainLayout {
  // Client area the window is designed for.
  static constexpr int kDesignClientWidth = 10110;
  static constexpr int kDesignClientHeight = 7185;
  // Fixed sizes and offsets of the laid-out controls.
  static constexpr int kMargin = 60;
  static constexpr int kStripHeight = 495;
  static constexpr int kFrameTop = 1280;
  static constexpr int kListTop = 360;
  static constexpr int kItemListWidth = 4575;
  static constexpr int kPreviewGap = 60;
  static constexpr int kHeaderHeight = 750;
  static constexpr int kLogoRightMargin = 120;
  static constexpr int kLogoWidth = 480;

  TwipRect fraCommands;     // the bottom strip
  TwipRect txtProgress;     // status line, in fraCommands
  TwipRect fraSingle;       // single-mode panel
  TwipRect lstItems;        // content list, in fraSingle
  TwipRect wbPreview;       // preview pane, in fraSingle
  TwipRect fraBatch;        // batch-mode panel, same rectangle as fraSingle
  TwipRect lstFiles;        // CHM file list, in fraBatch
  TwipRect cmdRemoveFiles;  // in fraBatch; only its Left is laid out

  // The rectangles of the designed window, which the controls hold before
  // the first layout.
  static MainLayout Design();
};

// The layout for a client area of lngClientWidth x lngClientHeight twips,
// starting from the rectangles the controls hold now.
MainLayout LayOutMainWindow(const MainLayout& current, int lngClientWidth, int lngClientHeight);

// Left of imgLogo for a header strip of the given width: 120 twips clear of
// its right end. May be negative; the logo keeps its Top.
int HeaderLogoLeft(int lngHeaderWidth);

}  // namespace velmora::ui
