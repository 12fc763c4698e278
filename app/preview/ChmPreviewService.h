#pragma once
// What the preview may read in place, and the open CHM files it reads from.
//
// A CHM file may be read by preview pages once the program has named it:
// opened it for preview, or asked for the page address of one of its stored
// files. A page may also reach a CHM file in the same folder as its own
// through the links help authors write ("ms-its:other.chm::/x.htm").
// Nothing else on disk is served.

#include <QSet>
#include <QString>
#include <QUrl>
#include <functional>

#include "app/preview/ChmArchiveCache.h"

namespace velmora::app {

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

  // A file reached by a link from a page of the CHM file `strFrom`: the file
  // of that name in the same folder, matched in any letter case; empty when
  // there is none. The file found may be read from then on.
  QString AdmitSibling(const QString& strFrom, const QString& strFileAsWritten);

  bool IsAdmitted(const QString& strChmFile) const { return m_admitted.contains(strChmFile); }
  ChmArchiveCache& Archives() { return m_archives; }

 private:
  ChmArchiveCache m_archives;
  QSet<QString> m_admitted;
  QString m_strOpenFile;
};

}  // namespace velmora::app
