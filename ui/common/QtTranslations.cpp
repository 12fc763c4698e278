#include "ui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace velmora::ui {

namespace {

bool Install(QCoreApplication& app, const QString& strCatalogue, const QString& strFolder) {
  auto* translator = new QTranslator(&app);
  if (translator->load(strCatalogue, strFolder) && QCoreApplication::installTranslator(translator)) return true;
  delete translator;
  return false;
}

}  // namespace

bool InstallQtChineseTranslations(QCoreApplication& app) {
  const QString strFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // "qt_zh_CN" gathers the base modules (qtbase_zh_CN and the others it
  // names); the web engine's texts come in a catalogue of their own.
  const bool blnBase = Install(app, QStringLiteral("qt_zh_CN"), strFolder) ||
                       Install(app, QStringLiteral("qtbase_zh_CN"), strFolder);
  Install(app, QStringLiteral("qtwebengine_zh_CN"), strFolder);
  return blnBase;
}

}  // namespace velmora::ui
