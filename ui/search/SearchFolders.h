#pragma once
// The folders the shelf search looks in, remembered in the user's config
// folder (search.ini beside the reader's reader.ini), never beside the CHM
// files.

#include <QStringList>

namespace velmora::ui {

class SearchFolders {
 public:
  static QString SettingsFile();
  static QStringList Load();
  static void Save(const QStringList& folders);
};

}  // namespace velmora::ui
