#pragma once
// A place the reader shows: a stored page of a CHM file and an optional
// anchor in it, and the chm URL the page view loads it from.

#include <QString>
#include <QUrl>
#include <optional>

namespace velmora::ui {

struct ReaderTarget {
  QString strChmFile;     // absolute and cleaned
  QString strStoredPath;  // "/dir/page.htm"
  QString strFragment;    // without "#"

  bool IsEmpty() const { return strStoredPath.isEmpty(); }
  // The stored path with "#" and the anchor when there is one.
  QString PathWithFragment() const;
  // Same file and page, whatever the anchor.
  bool SamePage(const ReaderTarget& other) const {
    return strChmFile == other.strChmFile && strStoredPath.compare(other.strStoredPath, Qt::CaseInsensitive) == 0;
  }
};

// A stored path as written ("a.htm", "/dir\\b.htm#x") in the CHM file.
ReaderTarget TargetInFile(const QString& strChmFile, const QString& strPathWithFragment);

// The URL the page view loads the target from, through the preview
// service (which then serves the file to the program's own navigation);
// empty when the CHM file does not exist.
QUrl PageUrl(const ReaderTarget& target);

// The target a page URL of the preview's schemes shows; nothing for others.
std::optional<ReaderTarget> TargetOfUrl(const QUrl& url);

}  // namespace velmora::ui
