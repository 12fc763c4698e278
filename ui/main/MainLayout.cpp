#include "ui/main/MainLayout.h"

namespace velmora::ui {

namespace {

bool SizesFit(int lngWidth, int lngHeight) { return lngWidth >= 0 && lngHeight >= 0; }

}  // namespace

MainLayout MainLayout::Design() {
  MainLayout fixed;
  fixed.fraCommands = TwipRect{0, 0, 0, kStripHeight};
  fixed.txtProgress = TwipRect{720, 40, 0, 355};
  fixed.cmdRemoveFiles = TwipRect{0, 0, 1575, 355};
  return LayOutMainWindow(fixed, kDesignClientWidth, kDesignClientHeight);
}

MainLayout LayOutMainWindow(const MainLayout& current, int lngClientWidth, int lngClientHeight) {
  MainLayout next = current;
  const int lngPanelWidth = lngClientWidth - 2 * MainLayout::kMargin;

  // 1. The bottom strip keeps its height and sits 60 twips above the bottom.
  if (SizesFit(lngPanelWidth, next.fraCommands.Height)) {
    next.fraCommands.Left = MainLayout::kMargin;
    next.fraCommands.Top = lngClientHeight - next.fraCommands.Height - MainLayout::kMargin;
    next.fraCommands.Width = lngPanelWidth;
  }

  // 2. The single-mode panel reaches down to the top of the strip.
  const int lngFrameHeight = next.fraCommands.Top - MainLayout::kFrameTop;
  if (SizesFit(lngPanelWidth, lngFrameHeight)) {
    next.fraSingle = TwipRect{MainLayout::kMargin, MainLayout::kFrameTop, lngPanelWidth, lngFrameHeight};
  }

  // 3. The status line ends at the strip's right edge. The strip is its
  // container, so it also ends there when step 2 could not run.
  const int lngStatusWidth = next.fraCommands.Width - next.txtProgress.Left;
  if (SizesFit(lngStatusWidth, next.txtProgress.Height)) {
    next.txtProgress.Width = lngStatusWidth;
  }

  // 4. The content list has a fixed width under its caption.
  const int lngListHeight = next.fraSingle.Height - MainLayout::kListTop;
  if (SizesFit(MainLayout::kItemListWidth, lngListHeight)) {
    next.lstItems = TwipRect{0, MainLayout::kListTop, MainLayout::kItemListWidth, lngListHeight};
  }

  // 5. The preview pane fills the panel to the right of the list.
  const int lngPreviewLeft = next.lstItems.Left + next.lstItems.Width + MainLayout::kPreviewGap;
  const int lngPreviewWidth = next.fraSingle.Width - lngPreviewLeft;
  if (SizesFit(lngPreviewWidth, next.lstItems.Height)) {
    next.wbPreview = TwipRect{lngPreviewLeft, next.lstItems.Top, lngPreviewWidth, next.lstItems.Height};
  }

  // 6. Both panels share one rectangle.
  next.fraBatch = next.fraSingle;

  // 7. The CHM file list fills the batch panel under its caption.
  const int lngFilesHeight = next.fraBatch.Height - MainLayout::kListTop;
  if (SizesFit(next.fraBatch.Width, lngFilesHeight)) {
    next.lstFiles = TwipRect{0, MainLayout::kListTop, next.fraBatch.Width, lngFilesHeight};
  }

  // 8. The remove button stays at the top right of the batch panel.
  next.cmdRemoveFiles.Left = next.fraBatch.Width - next.cmdRemoveFiles.Width - MainLayout::kMargin;

  return next;
}

int HeaderLogoLeft(int lngHeaderWidth) {
  return lngHeaderWidth - MainLayout::kLogoRightMargin - MainLayout::kLogoWidth;
}

}  // namespace velmora::ui
