// Starts Velmora: the main window's start-up runs before it is first shown
// (including the extraction named on the command line); closing it ends
// the program.

#include <QApplication>
#include <QStringList>

#include "app/preview/PreviewEngine.h"
#include "ui/main/frmVelmora.h"

int main(int argc, char** argv) {
  // The web engine learns the stored-file schemes, and starts with the
  // network closed to the preview, before it starts.
  velmora::app::PreparePreviewEngine(argc, argv);
  // The embedded web engine shares OpenGL contexts with the widgets.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  velmora::ui::frmVelmora frmMain;
  // The argument text: the arguments after the program's own path, joined
  // by single blanks.
  frmMain.SetCommandLine(QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')));
  frmMain.Form_Load();
  frmMain.show();
  return app.exec();
}
