#pragma once
// The real main window as the program starts it (optionally with a command
// line), with the scripted desktop installed first; helpers to open CHM
// files through the open command, drop files on a list, write small CHM
// files, and find rows and controls.

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QUrl>
#include <string>
#include <utility>
#include <vector>

#include "TestPaths.h"
#include "tests/support/chm/ChmBuilder.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/main/cPreviewBrowser.h"
#include "ui/main/frmVelmora.h"

namespace velmora::test {

inline QString FixtureChm(const QString& strName) {
  return QStringLiteral(VELMORA_FIXTURE_DIR "/") + strName + QStringLiteral(".chm");
}

// A CHM file of stored streams, in the given directory order; names start
// with "/" and "/" separates folders.
inline bool WriteChm(const QString& strPath, const std::vector<std::pair<std::string, std::string>>& streams) {
  testsupport::ChmBuilder builder;
  for (const auto& [name, content] : streams) builder.add(name, content);
  return builder.writeTo(QFile::encodeName(strPath).toStdString());
}

inline bool WriteBytes(const QString& strPath, const QByteArray& bytes) {
  QFile file(strPath);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadAll(const QString& strPath) {
  QFile file(strPath);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Drops the files (as local file URLs) on the list, as the desktop does.
inline void DropOn(QListWidget* list, const QStringList& strFiles) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& strFile : strFiles) urls << QUrl::fromLocalFile(strFile);
  if (urls.isEmpty()) {
    mime.setText(QStringLiteral("no files here"));
  } else {
    mime.setUrls(urls);
  }
  const QPoint centre = list->viewport()->rect().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &enter);
  QDragMoveEvent move(centre, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &move);
  QDropEvent drop(QPointF(centre), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &drop);
}

inline QStringList RowTexts(const QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts;
}

struct OpenWindowHarness {
  explicit OpenWindowHarness(const QString& strCommandLine = QString()) {
    window.SetCommandLine(strCommandLine);
    Start();
  }
  // Started with these program arguments, as main() passes them.
  explicit OpenWindowHarness(const QStringList& strArguments) {
    window.SetArguments(strArguments);
    Start();
  }

  void Start() {
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) qFatal("main window not exposed");
  }

  template <typename T>
  T* Find(const QString& strName) {
    T* child = window.findChild<T*>(strName);
    if (!child) qFatal("no child named %s", qPrintable(strName));
    return child;
  }
  QAction* Action(const QString& strName) { return Find<QAction>(strName); }
  QListWidget* Items() { return Find<QListWidget>(QStringLiteral("lstItems")); }
  QListWidget* Files() { return Find<QListWidget>(QStringLiteral("lstFiles")); }
  QLineEdit* StatusLine() { return Find<QLineEdit>(QStringLiteral("txtProgress")); }
  QString Status() { return StatusLine()->text(); }
  ui::cPreviewBrowser* Preview() { return Find<ui::cPreviewBrowser>(QStringLiteral("wbPreview")); }
  QString Address() { return Preview()->LastAddress(); }
  bool ExportsEnabled() { return Action(QStringLiteral("mnuExportCHM0"))->isEnabled(); }

  void SetMode(int mode) {
    Find<QRadioButton>(mode == 0 ? QStringLiteral("optMode0") : QStringLiteral("optMode1"))->setChecked(true);
  }

  // Opens the file in single mode through the open command.
  void Open(const QString& strFile) {
    SetMode(0);
    services.QueueFiles({strFile});
    window.ChooseCHMFiles();
  }

  // The row showing the item with this record key (folder path, "\", name).
  int RowOf(const QString& strRecordKey) {
    const auto& items = window.Items();
    for (std::size_t row = 0; row < items.size(); ++row) {
      if (QString::fromStdString(items[row].Path + "\\" + items[row].Name) == strRecordKey) return int(row);
    }
    qFatal("no item %s", qPrintable(strRecordKey));
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const auto& message : services.Messages()) texts << message.text;
    return texts;
  }

  // Declared first: installed before the window exists, removed after it.
  ScriptedUiServices services;
  ui::frmVelmora window;
};

}  // namespace velmora::test
