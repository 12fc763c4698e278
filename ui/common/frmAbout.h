#pragma once
// The About window: product name and version, the maker's notice, a button
// that opens the donation page and one that closes the window. There is at
// most one; asking for it again brings the open one forward.

#include <QDialog>
#include <QPointer>

class QIcon;
class QLabel;
class QPixmap;
class QPlainTextEdit;
class QPushButton;

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  // Shows the window modeless with owner as its owner; headerPicture and icon
  // are the main window's header picture and icon.
  static void ShowAbout(QWidget* owner, const QPixmap& headerPicture, const QIcon& icon);
  // The open About window, or null.
  static frmAbout* Instance();

 private:
  frmAbout(QWidget* owner, const QPixmap& headerPicture, const QIcon& icon);
  void cmdDonate_Click();
  void cmdExit_Click();

  static QPointer<frmAbout> s_frmInstance;

  QLabel* picHeader = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblCaption = nullptr;
  QLabel* imgLogo = nullptr;
  QPlainTextEdit* txtAbout = nullptr;
  QPushButton* cmdDonate = nullptr;
  QPushButton* cmdExit = nullptr;
};
