#pragma once
// One stored file: the CHM file that holds it and its path inside.

#include <QString>

namespace velmora::app {

struct ChmLocation {
  QString strChmFile;     // absolute and cleaned
  QString strStoredPath;  // "/" followed by folders and name joined by "/"

  bool operator==(const ChmLocation& other) const {
    return strChmFile == other.strChmFile && strStoredPath == other.strStoredPath;
  }
};

// A stored-file reference as a help author wrote it in a link: the CHM
// file as written (often only a name, or a Windows path) and the stored path.
struct ChmMoniker {
  QString strFile;
  QString strStoredPath;
};

}  // namespace velmora::app
