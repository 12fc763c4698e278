#pragma once
// One entry of a help file's contents or index as the reader shows it: its
// level, name and what it leads to, every name in UTF-8 and every target
// resolved.

#include <QList>
#include <QString>
#include <QStringList>

#include "ui/reader/ReaderTarget.h"

namespace velmora::ui {

struct ReaderLink {
  enum class Kind {
    None,     // a heading
    Page,     // a stored page of this or another CHM file
    Web,      // an address for the desktop's browser
    Refused,  // a scheme that is never followed (javascript:, file:, ...)
  };
  Kind kind = Kind::None;
  QString strTitle;     // the title of this one of several topics; may be empty
  ReaderTarget target;  // Page
  QString strText;      // the target as a listing writes it: "/dir/a.htm#x", "b.chm::/c.htm", the address
  bool blnMissing = false;  // Page: the file does not hold it

  // Shown and followed: a page that is there or a web address.
  bool IsFollowable() const { return (kind == Kind::Page && !blnMissing) || kind == Kind::Web; }
};

struct ReaderEntry {
  int lngLevel = 0;  // 0 at the top
  QString strName;
  QList<ReaderLink> links;  // every topic, in order
  QStringList seeAlso;      // index: the keywords it refers to

  // The first link (a heading's: kind None).
  ReaderLink FirstLink() const { return links.isEmpty() ? ReaderLink() : links.first(); }
};

}  // namespace velmora::ui
