#pragma once
// What the reader remembers, in the user's config folder (never beside the
// CHM file): per help file the page last shown, the zoom, the width of the
// contents and index pane, the window geometry and the chosen encoding; and
// the files read most recently. Files are told apart by their absolute path.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace velmora::ui {

struct ReaderFileState {
  QString strPage;          // stored path with an optional "#anchor"; empty: the default topic
  double dblZoom = 1.0;
  int lngTreeWidth = 0;     // 0: the window's own choice
  QByteArray geometry;      // QWidget::saveGeometry
  QString strEncoding;      // empty: decided by the file's bytes and language
};

class ReaderSettings {
 public:
  // The file the reader keeps its settings in: reader.ini in the user's
  // config folder.
  static QString SettingsFile();

  static ReaderFileState Load(const QString& strChmFile);
  static void Save(const QString& strChmFile, const ReaderFileState& state);

  // Most recent first, at most kRecentFiles.
  static QStringList RecentFiles();
  // Puts the file first in the list.
  static void AddRecentFile(const QString& strChmFile);

  static constexpr int kRecentFiles = 10;
  // How many files' states are kept; the least recently read go first.
  static constexpr int kRememberedFiles = 200;
};

}  // namespace velmora::ui
