// Starts Velmora: the main window's start-up runs before it is first shown
// (including the extraction named on the command line); closing it ends
// the program. "--read FILE" opens the file in a reader window instead.

#include <QApplication>
#include <QStringList>

#include "app/preview/PreviewEngine.h"
#include "ui/common/QtTranslations.h"
#include "ui/main/MainArtwork.h"
#include "ui/main/frmVelmora.h"
#include "ui/reader/ReaderCommandLine.h"
#include "ui/reader/frmReader.h"

int main(int argc, char** argv) {
  // The web engine learns the stored-file schemes, and starts with the
  // network closed to the preview, before it starts.
  velmora::app::PreparePreviewEngine(argc, argv);
  // The embedded web engine shares OpenGL contexts with the widgets.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  // Ties the windows to the installed desktop entry (its icon and name).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.velmora.Velmora"));
  // Qt's own dialogs and menus speak Chinese like the rest of the program.
  velmora::ui::InstallQtChineseTranslations(app);
  const QStringList strReadFiles = velmora::ui::ReaderFilesArgument(QCoreApplication::arguments().mid(1));
  if (!strReadFiles.isEmpty()) {
    QApplication::setWindowIcon(velmora::ui::VelmoraIcon());
    int lngOpened = 0;
    for (const QString& strFile : strReadFiles) {
      if (velmora::ui::frmReader::OpenWindow(strFile)) ++lngOpened;
    }
    if (lngOpened == 0) return 1;
    const int lngResult = app.exec();
    // Closed readers delete themselves: their web engine profiles go before
    // the application does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return lngResult;
  }
  velmora::ui::frmVelmora frmMain;
  // The arguments after the program's own path: an extraction's options,
  // or files to open.
  frmMain.SetArguments(QCoreApplication::arguments().mid(1));
  frmMain.Form_Load();
  frmMain.show();
  return app.exec();
}
