#include "ui/search/SearchFolders.h"

#include <QSettings>

#include "platform/profile/UserFolders.h"

namespace velmora::ui {

QString SearchFolders::SettingsFile() {
  return QString::fromStdString(platform::UserConfigFolder()) + QStringLiteral("/search.ini");
}

QStringList SearchFolders::Load() {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  return settings.value(QStringLiteral("shelf/folders")).toStringList();
}

void SearchFolders::Save(const QStringList& folders) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.setValue(QStringLiteral("shelf/folders"), folders);
}

}  // namespace velmora::ui
