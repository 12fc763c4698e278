#pragma once
// The real main window, loaded and shown as the program starts it, with the
// scripted desktop installed, CHM files opened through the real open
// command, and access to controls and actions by object name.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "TestPaths.h"
#include "tests/support/ui/ScriptedUiServices.h"
#include "ui/main/frmVelmora.h"

namespace velmora::test {

inline QString Fixture(const QString& strName) {
  return QStringLiteral(VELMORA_FIXTURE_DIR "/") + strName + QStringLiteral(".chm");
}

inline QByteArray ReadBytes(const QString& strPath) {
  QFile file(strPath);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below root as a path relative to it, sorted; folders are left
// out (the walker only makes folders to hold files).
inline QStringList FilesBelow(const QString& strRoot) {
  QStringList files;
  const QDir root(strRoot);
  for (const QFileInfo& info : root.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs |
                                                  QDir::NoDotAndDotDot)) {
    if (info.isDir()) {
      for (const QString& inner : FilesBelow(info.filePath())) files << info.fileName() + QLatin1Char('/') + inner;
    } else {
      files << info.fileName();
    }
  }
  files.sort();
  return files;
}

struct WindowHarness {
  WindowHarness() {
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
  QAction* ExportEntry(int index) { return Action(QStringLiteral("mnuExportCHM%1").arg(index)); }
  QListWidget* Items() { return Find<QListWidget>(QStringLiteral("lstItems")); }
  QListWidget* Files() { return Find<QListWidget>(QStringLiteral("lstFiles")); }
  QString Status() { return Find<QLineEdit>(QStringLiteral("txtProgress"))->text(); }

  void SetMode(int mode) {
    Find<QRadioButton>(mode == 0 ? QStringLiteral("optMode0") : QStringLiteral("optMode1"))->setChecked(true);
  }

  // Opens the file in single mode through the open command.
  void OpenSingle(const QString& strFile) {
    SetMode(0);
    services.QueueFiles({strFile});
    window.ChooseCHMFiles();
    if (!window.IsLoaded()) qFatal("could not open %s", qPrintable(strFile));
  }

  // Adds each file to the CHM file list through the open command of batch
  // mode, one dialog per file (they may lie in different folders).
  void AddBatch(const QStringList& strFiles) {
    SetMode(1);
    for (const QString& strFile : strFiles) {
      services.QueueFiles({strFile});
      window.ChooseCHMFiles();
    }
  }

  // The row of lstItems showing the item with this record key.
  int RowOf(const QString& strRecordKey) {
    const auto& items = window.Items();
    for (std::size_t row = 0; row < items.size(); ++row) {
      const QString key = QString::fromStdString(items[row].Path + "\\" + items[row].Name);
      if (key == strRecordKey) return int(row);
    }
    qFatal("no item %s", qPrintable(strRecordKey));
  }

  // The texts of the messages shown so far, in order.
  QStringList MessageTexts() const {
    QStringList texts;
    for (const auto& message : services.Messages()) texts << message.text;
    return texts;
  }

  // Declared first: installed before the window exists, removed after it.
  ScriptedUiServices services;
  velmora::ui::frmVelmora window;
};

}  // namespace velmora::test
