#pragma once
// The modeless keyword search over the list of the current mode. Each press
// of "搜索(&S)" selects the next matching row after the previous match, makes
// it the current row and keeps the rows selected before, so repeated presses
// gather every match into the selection.
//
// There is one dialog per owner window, created on the first find command and
// kept for the rest of the run as the owner's child. Closing only hides it;
// every opening puts the last keyword back into the box and restores the
// check box, so what the user sees is a window made afresh, while the search
// position and `CheckAllItems` carry over.

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora::ui {

class SearchHost;

class frmSearch : public QDialog {
  Q_OBJECT

 public:
  // The find command (mnuFind, F3): sets `Lists` to the list of the host's
  // current mode and shows the dialog modeless above the host's owner window;
  // when it is already open the same window is re-targeted and brought
  // forward. Returns the one dialog of that owner.
  static frmSearch* ShowFind(SearchHost& host);

  // The list the next search walks (set only, at every opening).
  void SetLists(QListWidget* ctlLists);

  // State of "选中所有类似": restored on opening, saved on closing. The search
  // itself does not read it.
  bool CheckAllItems() const { return m_blnCheckAllItems; }
  void SetCheckAllItems(bool blnCheckAllItems) { m_blnCheckAllItems = blnCheckAllItems; }

  // Closing by any way (button, Esc, window frame) comes through here.
  void done(int result) override;

 private:
  explicit frmSearch(SearchHost& host);

  void CreateControls();
  void Form_Load();
  void cmdSearch_Click();
  // One search step over `Lists` with a non-empty keyword.
  void SearchNext(const QString& strKeyword);

  SearchHost& m_host;
  QPointer<QListWidget> m_lists;
  int m_lngSearchPosition = 0;
  bool m_blnCheckAllItems = false;

  QLabel* m_picHeader = nullptr;
  QLabel* m_imgLogo = nullptr;
  QLineEdit* m_txtKeywords = nullptr;
  QPushButton* m_cmdSearch = nullptr;
  QPushButton* m_cmdCancel = nullptr;
  QCheckBox* m_chkCheckAll = nullptr;
};

}  // namespace velmora::ui
