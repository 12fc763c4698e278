#pragma once
// The find-in-page bar of the reader (Ctrl+F): a text box that highlights
// every match of the page as the user types, the number of matches and the
// current one, and buttons for the next and previous match. Esc closes it
// and clears the highlights.

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;
class QWebEngineFindTextResult;
class QWebEnginePage;

namespace velmora::ui {

class FindBar : public QWidget {
  Q_OBJECT

 public:
  explicit FindBar(QWidget* parent = nullptr);

  // The page searched; the bar follows the page's find results.
  void SetPage(QWebEnginePage* page);

  // Shows the bar with the text box focused and its text selected.
  void Open();
  // Opens with the text given and finds it, without a search for nothing
  // before it (its late answer would count no matches). A page that has
  // just loaded may not be laid out yet and answer that nothing matches:
  // it is asked again a few times before that is shown.
  void OpenWith(const QString& strText);
  void Close();
  void FindNext();
  void FindPrevious();

  QLineEdit* TextBox() const { return m_txtFind; }
  // "3/12", "无匹配" or empty before the first search.
  QString CountText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Find(bool blnBackward);
  void ShowResult(const QWebEngineFindTextResult& result);

  QWebEnginePage* m_page = nullptr;
  QLineEdit* m_txtFind = nullptr;
  QLabel* m_lblCount = nullptr;
  QToolButton* m_cmdPrevious = nullptr;
  QToolButton* m_cmdNext = nullptr;
  QToolButton* m_cmdClose = nullptr;
  int m_lngRetries = 0;  // of OpenWith's search, while it finds nothing
};

}  // namespace velmora::ui
