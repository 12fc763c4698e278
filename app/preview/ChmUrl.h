#pragma once
// Stored-file addresses and the "chm" URLs that serve them.
//
// An address is what the program navigates to: "mk:@MSITStore:", the CHM
// file's path, "::" and the stored path, joined as they are, so blanks,
// "#", "?" and "%" in either part are plain characters.
//
// A chm URL holds both parts without loss:
//   chm://x<hex>.x<hex>.../mk:@MSITStore:<file, percent-encoded>::/<stored path>
// The host is the file path's UTF-8 bytes in hex, cut into labels of at
// most 63 characters, each starting with "x": the engine refuses longer
// labels, and a last label of digits only would be read as an IPv4
// address. The host makes each CHM file an origin of its own.
//
// The first path segment repeats the help viewer's address of the file
// (its "/" encoded, so it stays one segment), so that page scripts looking
// for "mk:@MSITStore:" and "::" in location.href, or cutting it at "::" to
// build another page's address, work as in a help viewer. The engine gives
// a custom scheme no address of the form "mk:@MSITStore:..." together with
// an origin per file, so this is as close as it gets. Relative references
// resolve inside the stored tree; "../" above the stored root leaves the
// segment, and a path without it is read as a stored path from the root.
//
// A page that insists on a help viewer's protocol (location.protocol must
// read "mk:") is served under a keyed URL instead:
//   mk://k<key>.x<hex>.../mk:@MSITStore:<file, percent-encoded>::/<stored path>
// "mk" is registered with path syntax (moniker links keep parsing), so the
// engine gives such documents opaque origins and names no initiator for
// their requests. The key, a keyed hash of the file path under a secret
// drawn once per run, stands in for the origin: only the program and the
// pages of that file hold it, a URL naming a file without its key is no
// keyed URL, and relative references ("/", "../" included) keep the
// authority, so they stay inside the file.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

#include "app/preview/ChmLocation.h"

namespace velmora::app {

class ChmUrl {
 public:
  // Parses "mk:@MSITStore:" (or "ms-its:", "its:") + file + "::" + path.
  // The file part ends at the first "::" whose left side is an existing
  // file, else at the first "::"; a relative file is taken from the current
  // folder. Empty when the text is no such address or a part is empty.
  static std::optional<ChmLocation> FromAddress(const QString& strAddress);

  static QUrl ToUrl(const ChmLocation& location);
  static QUrl ToKeyedUrl(const ChmLocation& location);
  // True for an mk URL with a valid key (FromUrl then names its file).
  static bool IsKeyedUrl(const QUrl& url);
  // "mk:@MSITStore:" + the file, percent-encoded, + "::".
  static QByteArray AddressSegment(const QString& strChmFile);

  // The stored file a chm or keyed URL names (query and fragment ignored);
  // empty for other URLs, for hosts that are not an encoded path and for
  // keys that do not match it.
  static std::optional<ChmLocation> FromUrl(const QUrl& url);

  // The parts of a moniker link as the engine hands it over, such as
  // "ms-its:other.chm::/x.htm" or "mk:@MSITStore:C:%5Cdir%5Co.chm::/y.htm";
  // empty when there is no "::" or a part is empty, and for URLs with a
  // host (keyed URLs and forged ones).
  static std::optional<ChmMoniker> FromMonikerUrl(const QUrl& url);

  // "\" and "/" both separate; "." is dropped; ".." removes the folder
  // before it and stops at the root. The result starts with "/".
  static QString CleanStoredPath(const QString& strPath);
};

}  // namespace velmora::app
