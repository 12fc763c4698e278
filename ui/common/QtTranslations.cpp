#include "ui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace velmora::ui {

namespace {

// Texts Qt shows that Debian's catalogues leave untranslated (the file
// dialog's type column). Installed before Qt's catalogues, which are asked
// first, so it only fills their gaps.
class MissingQtTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;

  bool isEmpty() const override { return false; }

  QString translate(const char* context, const char* sourceText, const char*, int) const override {
    struct Text {
      const char* context;
      const char* source;
      const char* chinese;
    };
    static const Text kTexts[] = {
        {"QAbstractFileIconProvider", "Folder", "文件夹"},
        {"QAbstractFileIconProvider", "Drive", "驱动器"},
        {"QAbstractFileIconProvider", "Shortcut", "快捷方式"},
        {"QAbstractFileIconProvider", "Unknown", "未知"},
    };
    if (!context || !sourceText) return QString();
    for (const Text& text : kTexts) {
      if (std::strcmp(context, text.context) == 0 && std::strcmp(sourceText, text.source) == 0) {
        return QString::fromUtf8(text.chinese);
      }
    }
    return QString();
  }
};

bool Install(QCoreApplication& app, const QString& strCatalogue, const QString& strFolder) {
  auto* translator = new QTranslator(&app);
  if (translator->load(strCatalogue, strFolder) && QCoreApplication::installTranslator(translator)) return true;
  delete translator;
  return false;
}

}  // namespace

bool InstallQtChineseTranslations(QCoreApplication& app) {
  QCoreApplication::installTranslator(new MissingQtTexts(&app));
  const QString strFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // "qt_zh_CN" gathers the base modules (qtbase_zh_CN and the others it
  // names); the web engine's texts come in a catalogue of their own.
  const bool blnBase = Install(app, QStringLiteral("qt_zh_CN"), strFolder) ||
                       Install(app, QStringLiteral("qtbase_zh_CN"), strFolder);
  Install(app, QStringLiteral("qtwebengine_zh_CN"), strFolder);
  return blnBase;
}

}  // namespace velmora::ui
