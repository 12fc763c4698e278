#pragma once
// Qt's own texts (the buttons of message boxes, the file dialogs, the
// context menus of text boxes and of the preview pane) in Simplified
// Chinese, to match the program's own texts, whatever the user's locale.

class QCoreApplication;

namespace velmora::ui {

// Installs Qt's Simplified Chinese catalogues from Qt's translations folder
// on the application (the translators belong to it), with the few texts they
// lack. Dates and numbers keep the user's locale. Returns false when the base
// catalogue is missing (Qt's texts then stay English).
bool InstallQtChineseTranslations(QCoreApplication& app);

}  // namespace velmora::ui
