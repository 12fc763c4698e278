#pragma once
// The preview pane (wbPreview): an embedded web engine driven only through
// Navigate, with the three kinds of address the program uses.
//
//  - "about:" followed by HTML: the text after "about:" is shown as a page.
//  - "mk:@MSITStore:" followed by a CHM file, "::" and a stored path: a file
//    read in place from the CHM file. The pane turns the address into a page
//    address through the stored-file resolver; without one it shows a short
//    notice instead.
//  - anything else is a local file path and that file is loaded.
//
// The pane remembers the last address it was sent to.

#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <functional>

namespace velmora::ui {

class cPreviewBrowser : public QWebEngineView {
  Q_OBJECT

 public:
  // Maps an "mk:@MSITStore:" address to the address of a page that serves
  // the stored file (for example through a registered URL scheme handler).
  // An empty or invalid result means the file cannot be served.
  using StoredFileResolver = std::function<QUrl(const QString& strAddress)>;

  static constexpr const char* kAboutPrefix = "about:";
  static constexpr const char* kStoredFilePrefix = "mk:@MSITStore:";

  explicit cPreviewBrowser(QWidget* parent = nullptr);

  void Navigate(const QString& strAddress);
  QString LastAddress() const { return m_strLastAddress; }

  void SetStoredFileResolver(StoredFileResolver resolver);

 private:
  void ShowStoredFile(const QString& strAddress);

  QString m_strLastAddress;
  StoredFileResolver m_storedFileResolver;
};

}  // namespace velmora::ui
