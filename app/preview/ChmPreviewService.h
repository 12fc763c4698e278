#pragma once
// What the preview may read in place, and the open CHM files it reads from.
//
// Every CHM file is an origin of its own (see ChmUrl), named by its
// canonical path (ChmFilePath.h); a request under any other name of a file,
// or for one, is refused. Stored files are served:
//  - to the program's own navigations (no page behind them): from the CHM
//    files the program named, by opening them for preview or by asking for
//    the page address of one of their stored files;
//  - to a page of a CHM file: from its own file, and, for navigations only
//    (the links and frames help authors write, "ms-its:other.chm::/x.htm"),
//    from another CHM file in the same folder, never for a script's read,
//    a picture or a style sheet.
// What a page reached widens nothing: each request is judged by the page
// that makes it, as the engine names it (the request's initiator), never
// by headers the page could set. Nothing else on disk is served.

#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>

#include "app/preview/ChmArchiveCache.h"

namespace velmora::app {

// Streams longer than this are not served in place: a page cannot make the
// preview decode gigabytes that a few kilobytes of LZX data describe.
inline constexpr qint64 kServedStreamLimit = qint64(256) * 1024 * 1024;

class ChmPreviewService {
 public:
  // The one service of the program's preview pane.
  static ChmPreviewService& Shared();

  // Keeps the file's directory in memory (read on the first page asked
  // for) until Close or the next OpenForPreview.
  void OpenForPreview(const QString& strChmFile);
  // Lets go of the file given to OpenForPreview; its pages can still be
  // served, from a briefly kept cache.
  void Close();

  // The page URL of an "mk:@MSITStore:" address; an empty URL when the
  // address names no existing file.
  QUrl UrlForAddress(const QString& strAddress);
  // UrlForAddress as a function, for the preview pane's stored-file resolver.
  std::function<QUrl(const QString&)> Resolver();

  // The file a moniker link on a page of the CHM file `strFrom` names: the
  // file of that name (any letter case) in the same folder, whatever folder
  // the author wrote, by its canonical path; empty when there is none.
  QString FindSibling(const QString& strFrom, const QString& strFileAsWritten) const;

  enum class Request { Navigation, Read };
  // Whether stored files of strChmFile may be served to a request whose
  // initiator (the requesting page's origin, empty for the program's own
  // navigations) is given; see above.
  bool MayServe(const QString& strChmFile, const QUrl& initiator, Request request) const;
  // True when strTarget is a file whose real location lies in the folder
  // of strFrom (the folder itself taken with its links resolved).
  static bool InSameFolder(const QString& strFrom, const QString& strTarget);

  // The charset the user chose for the text of a CHM file's pages, in
  // place of what their bytes, declarations and language say; empty for
  // none. Only the reader window chooses one.
  void SetPageCharset(const QString& strChmFile, const QByteArray& charset);
  QByteArray PageCharset(const QString& strChmFile) const { return m_charsets.value(strChmFile); }

  qint64 StreamLimit() const { return m_lngStreamLimit; }
  void SetStreamLimit(qint64 lngBytes) { m_lngStreamLimit = lngBytes; }

  ChmArchiveCache& Archives() { return m_archives; }

 private:
  ChmArchiveCache m_archives;
  QSet<QString> m_named;  // files the program named
  QHash<QString, QByteArray> m_charsets;
  QString m_strOpenFile;
  qint64 m_lngStreamLimit = kServedStreamLimit;
};

}  // namespace velmora::app
