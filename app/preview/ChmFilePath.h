#pragma once
// The CHM file a preview origin stands for, named by its one real path.
//
// An origin (see ChmUrl) is a file path, and every request made under it
// is judged by that path. A path that stands for whatever file something
// else decides at the moment - a symbolic link, /proc/self/fd/N, /dev/fd/N
// - would let a page that was let in for one file read another later, so
// the preview takes a file only by its canonical path, and nothing under
// /proc, /dev or /sys at all.

#include <QString>

namespace velmora::app {

// The canonical path of the file strPath names, when that is a regular
// file and neither strPath nor the file lies under /proc, /dev or /sys;
// empty otherwise.
QString CanonicalChmFile(const QString& strPath);

// True when strPath is such a canonical path itself.
bool IsCanonicalChmFile(const QString& strPath);

}  // namespace velmora::app
