#pragma once
// The URL schemes through which the preview reads stored files in place.
//
//  - "chm" is what pages are loaded from: chm://<file>/<stored path>, with
//    the CHM file's path as the host (see ChmUrl). Host syntax makes
//    relative references resolve inside the stored tree, "../" stop at its
//    root, and every CHM file an origin of its own.
//  - "mk", "ms-its" and "its" are the monikers help authors write in links
//    ("mk:@MSITStore:other.chm::/x.htm", "ms-its:other.chm::/x.htm"). Path
//    syntax keeps them as written; the handler sends them on to "chm".
//    "mk" also carries the keyed URLs of pages that want to read "mk:" as
//    their protocol (see ChmUrl); their documents get opaque origins.

#include <QString>

namespace velmora::app {

inline constexpr char kChmScheme[] = "chm";
inline constexpr char kMkScheme[] = "mk";
inline constexpr char kMsItsScheme[] = "ms-its";
inline constexpr char kItsScheme[] = "its";

// Registers the four schemes with the web engine. Must run before the
// QApplication is created; later calls do nothing.
void RegisterChmUrlSchemes();

// True for the four schemes above (any letter case).
bool IsChmScheme(const QString& scheme);
// True for "mk", "ms-its" and "its".
bool IsMonikerScheme(const QString& scheme);

}  // namespace velmora::app
