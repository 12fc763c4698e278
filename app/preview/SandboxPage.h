#pragma once
// The page of the preview pane. A page shown from a CHM file or a preview
// copy opens no windows, gets no permissions, full screen, file pickers or
// dialogs, and navigates only to stored CHM files, preview copies and the
// program's own about: pages; links to any other scheme (mailto:, custom
// desktop protocols) are not handed to the desktop. A web link the user
// clicked is announced instead, for a window that offers to open it in the
// desktop's browser.

#include <QWebEnginePage>

namespace velmora::app {

class SandboxPage : public QWebEnginePage {
  Q_OBJECT

 public:
  explicit SandboxPage(QWebEngineProfile* profile, QObject* parent = nullptr);

 signals:
  // A clicked link to an http or https address, which the page did not follow.
  void WebLinkRefused(const QUrl& url);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool blnMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;
};

}  // namespace velmora::app
