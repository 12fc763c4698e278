#pragma once
// Opens the shelf search dialog (one for the program, brought forward when
// it is open already) and shows the hits chosen in it in a reader window.

class QWidget;

namespace velmora::ui {

class frmReader;

// reader: the window the hits are shown in; without one (or once it is
// closed) the first hit chosen opens a new reader window, which then shows
// the next ones.
void OpenShelfSearch(QWidget* owner, frmReader* reader = nullptr);

}  // namespace velmora::ui
