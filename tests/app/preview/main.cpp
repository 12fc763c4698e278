// Runs the preview's test classes in one process: the web engine can be
// started only once, after the URL schemes are registered. HOME and the XDG
// folders point into a temporary folder, so nothing reaches the real ones.

#include <QApplication>
#include <QTemporaryDir>

#include "app/preview/ChmUrlSchemes.h"

int RunAboutPagesTest(int argc, char** argv);
int RunChmArchiveCacheTest(int argc, char** argv);
int RunChmContentTypeTest(int argc, char** argv);
int RunChmUrlTest(int argc, char** argv);
int RunInPlacePreviewTest(int argc, char** argv);
int RunPreviewSandboxTest(int argc, char** argv);

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
    qputenv(name, (home.path() + QLatin1Char('/') + QString::fromLatin1(name)).toUtf8());
  }
  velmora::app::RegisterChmUrlSchemes();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  int status = 0;
  for (auto run : {RunAboutPagesTest, RunChmArchiveCacheTest, RunChmContentTypeTest, RunChmUrlTest,
                   RunInPlacePreviewTest, RunPreviewSandboxTest}) {
    status |= run(argc, argv);
  }
  return status;
}
