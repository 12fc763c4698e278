#include "ui/reader/ShelfSearchLauncher.h"

#include <QPointer>

#include "ui/reader/frmReader.h"
#include "ui/search/frmShelfSearch.h"

namespace velmora::ui {
namespace {

QPointer<frmShelfSearch> g_dialog;
QPointer<frmReader> g_reader;

}  // namespace

void OpenShelfSearch(QWidget* owner, frmReader* reader) {
  if (reader) g_reader = reader;
  if (!g_dialog) {
    // Without a parent: it stays when the window that opened it closes.
    g_dialog = new frmShelfSearch;
    if (owner) g_dialog->setWindowIcon(owner->windowIcon());
    QObject::connect(g_dialog, &frmShelfSearch::PageChosen,
                     [](const QString& strChmFile, const QString& strStoredPath, const QString& strHighlight) {
                       // A closed window may linger until it is deleted. A new
                       // one shows the hit's page straight away.
                       if (!g_reader || !g_reader->isVisible()) {
                         auto* reader = new frmReader;
                         reader->setAttribute(Qt::WA_DeleteOnClose);
                         reader->setWindowIcon(g_dialog->windowIcon());
                         if (!reader->OpenAt(strChmFile, strStoredPath, strHighlight)) {
                           delete reader;
                           return;
                         }
                         g_reader = reader;
                         reader->show();
                       } else if (!g_reader->OpenAt(strChmFile, strStoredPath, strHighlight)) {
                         return;
                       }
                       g_reader->raise();
                       g_reader->activateWindow();
                     });
  }
  g_dialog->show();
  g_dialog->raise();
  g_dialog->activateWindow();
}

}  // namespace velmora::ui
