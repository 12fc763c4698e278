#include "ui/reader/ReaderSettings.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <vector>

#include "platform/profile/UserFolders.h"

namespace velmora::ui {
namespace {

QString AbsoluteFile(const QString& strFile) { return QDir::cleanPath(QFileInfo(strFile).absoluteFilePath()); }

// A file's group: paths hold characters INI keys cannot, so they are hashed
// and the path is kept inside the group.
QString FileGroup(const QString& strChmFile) {
  const QByteArray hash = QCryptographicHash::hash(AbsoluteFile(strChmFile).toUtf8(), QCryptographicHash::Sha1);
  return QStringLiteral("file-") + QString::fromLatin1(hash.toHex());
}

// Forgets the files read longest ago once more than kRememberedFiles are kept.
void Prune(QSettings& settings) {
  std::vector<std::pair<qint64, QString>> groups;
  for (const QString& strGroup : settings.childGroups()) {
    if (!strGroup.startsWith(QLatin1String("file-"))) continue;
    groups.emplace_back(settings.value(strGroup + QStringLiteral("/used")).toLongLong(), strGroup);
  }
  if (int(groups.size()) <= ReaderSettings::kRememberedFiles) return;
  std::sort(groups.begin(), groups.end());
  for (std::size_t i = 0; i + ReaderSettings::kRememberedFiles < groups.size(); ++i) {
    settings.remove(groups[i].second);
  }
}

}  // namespace

QString ReaderSettings::SettingsFile() {
  return QString::fromStdString(platform::UserConfigFolder()) + QStringLiteral("/reader.ini");
}

ReaderFileState ReaderSettings::Load(const QString& strChmFile) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.beginGroup(FileGroup(strChmFile));
  ReaderFileState state;
  state.strPage = settings.value(QStringLiteral("page")).toString();
  const double dblZoom = settings.value(QStringLiteral("zoom"), 1.0).toDouble();
  if (dblZoom >= 0.25 && dblZoom <= 5.0) state.dblZoom = dblZoom;
  state.lngTreeWidth = std::max(0, settings.value(QStringLiteral("treeWidth")).toInt());
  state.geometry = settings.value(QStringLiteral("geometry")).toByteArray();
  state.strEncoding = settings.value(QStringLiteral("encoding")).toString();
  return state;
}

void ReaderSettings::Save(const QString& strChmFile, const ReaderFileState& state) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.beginGroup(FileGroup(strChmFile));
  settings.setValue(QStringLiteral("path"), AbsoluteFile(strChmFile));
  settings.setValue(QStringLiteral("used"), QDateTime::currentMSecsSinceEpoch());
  settings.setValue(QStringLiteral("page"), state.strPage);
  settings.setValue(QStringLiteral("zoom"), state.dblZoom);
  settings.setValue(QStringLiteral("treeWidth"), state.lngTreeWidth);
  settings.setValue(QStringLiteral("geometry"), state.geometry);
  settings.setValue(QStringLiteral("encoding"), state.strEncoding);
  settings.endGroup();
  Prune(settings);
}

QStringList ReaderSettings::RecentFiles() {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  return settings.value(QStringLiteral("recent/files")).toStringList().mid(0, kRecentFiles);
}

void ReaderSettings::AddRecentFile(const QString& strChmFile) {
  const QString strFile = AbsoluteFile(strChmFile);
  QStringList files = RecentFiles();
  files.removeAll(strFile);
  files.prepend(strFile);
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.setValue(QStringLiteral("recent/files"), files.mid(0, kRecentFiles));
}

}  // namespace velmora::ui
