#pragma once
// What the search dialog needs from the window that opens it. The main window
// implements this; the dialog never includes the main window itself.

#include <QPixmap>

class QListWidget;
class QWidget;

namespace velmora::ui {

class SearchHost {
 public:
  virtual ~SearchHost() = default;

  // The owner of the dialog: the dialog stays above it, takes its icon, and
  // lives as its child for the rest of the run.
  virtual QWidget* SearchOwner() = 0;

  // The selected mode button: 0 single mode, 1 batch mode.
  virtual int CurrentMode() const = 0;

  // The list of a mode: the content list for 0, the CHM file list for 1.
  virtual QListWidget* ModeList(int mode) = 0;

  // The picture of the owner's header strip, copied into the dialog's header.
  virtual QPixmap HeaderPicture() const = 0;

  // The dialog has just selected row `row` of the content list and made it
  // the current row; the owner previews it exactly as after a click on it.
  // Not called for rows of the CHM file list.
  virtual void ContentRowMadeCurrent(int row) = 0;
};

}  // namespace velmora::ui
