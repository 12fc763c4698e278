// Starts Velmora: the main window's start-up runs before it is first shown;
// closing it ends the program.

#include <QApplication>

#include "ui/main/frmVelmora.h"

int main(int argc, char** argv) {
  // The embedded web engine shares OpenGL contexts with the widgets.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  velmora::ui::frmVelmora frmMain;
  frmMain.Form_Load();
  frmMain.show();
  return app.exec();
}
