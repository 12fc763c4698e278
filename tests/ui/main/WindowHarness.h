#pragma once
// The real main window of OpenWindowHarness, with what the export and
// search tests add: the export entries by index, opening in single mode
// that must succeed, filling the CHM file list, and the files an export
// wrote.

#include <QAction>
#include <QDir>
#include <QTemporaryDir>

#include "tests/ui/main/OpenWindowHarness.h"

namespace velmora::test {

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

struct WindowHarness : OpenWindowHarness {
  using OpenWindowHarness::OpenWindowHarness;

  QAction* ExportEntry(int index) { return Action(QStringLiteral("mnuExportCHM%1").arg(index)); }

  // Opens the file in single mode through the open command; it must open.
  void OpenSingle(const QString& strFile) {
    Open(strFile);
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
};

}  // namespace velmora::test
