#pragma once
// The main window's menu bar. Every submenu and entry carries its name as
// objectName; the export group is mnuExportCHM0 .. mnuExportCHM8 (index 6 is
// its separator). The commands are connected by the window; this class only
// builds the tree with its captions, shortcuts and initial states.

#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace velmora::ui {

struct cMainMenu {
  static constexpr int kExportEntries = 9;
  static constexpr int kExportSeparator = 6;

  QMenu* mnuFile = nullptr;
  QAction* mnuOpen = nullptr;
  QAction* mnuRead = nullptr;  // the current CHM file in a reader window
  QAction* mnuClose = nullptr;
  QAction* mnuHR = nullptr;
  QAction* mnuExit = nullptr;

  QMenu* mnuSearch = nullptr;
  QAction* mnuFind = nullptr;
  QAction* mnuShelfSearch = nullptr;  // the full text of the CHM files in chosen folders

  // Also the content list's context menu.
  QMenu* mnuExport = nullptr;
  std::array<QAction*, kExportEntries> mnuExportCHM{};

  QMenu* mnuView = nullptr;
  QAction* mnuViewInplace = nullptr;
  QAction* mnuPreview = nullptr;
  QAction* mnuHR5 = nullptr;
  QAction* mnuAutoViewHTML = nullptr;
  QAction* mnuHR6 = nullptr;
  QAction* mnuAssociates = nullptr;

  QMenu* mnuHelp = nullptr;
  QAction* mnuAbout = nullptr;
  QAction* mnuManual = nullptr;
  QAction* mnuHR2 = nullptr;
  QAction* mnuDonate = nullptr;
  QAction* mnuHR3 = nullptr;
  QAction* mnuWebsite = nullptr;

  // Fills the menu bar, in display order.
  void Build(QMenuBar* menuBar);
};

}  // namespace velmora::ui
