#pragma once
// Open CHM files for the preview, so that a page and its images, style
// sheets and scripts are read from one directory read. Pinned files stay
// open until unpinned (the main window's current file); of the others the
// most recently used few are kept. A file that changed on disk since it
// was opened (another file at its path, by device and inode, or another
// size or time) is opened again; an archive opened while the file at its
// path changed is not handed out. Only files named by their canonical path
// are opened (ChmFilePath.h): a path such as /proc/self/fd/N would stand
// for whatever file the descriptor holds when it is next opened.
//
// Stored files are read on worker threads, each with an archive of its own:
// an archive is handed out to one user at a time (libmspack keeps decoder
// state in it); users of a file at the same time get further archives of
// it, of which a few are kept as spares. Every call is safe from any thread.

#include <QString>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace velmora::platform {
class ChmArchive;
}

namespace velmora::app {

class ChmArchiveCache {
 public:
  explicit ChmArchiveCache(std::size_t lngUnpinnedCapacity = 4);

  // An open archive of the file for the caller's sole use until it lets go
  // of it; null when the file cannot be opened as a CHM file (missing, not a
  // CHM file, damaged directory, not named by its canonical path).
  std::shared_ptr<platform::ChmArchive> Acquire(const QString& strChmFile);

  // Keeps the file's archive (opened on first use) regardless of capacity.
  void Pin(const QString& strChmFile);
  void Unpin(const QString& strChmFile);

  bool IsCached(const QString& strChmFile) const;

 private:
  // Which file a path held when it was looked at.
  struct FileIdentity {
    quint64 lngDevice = 0;
    quint64 lngInode = 0;
    qint64 lngSize = -1;
    qint64 lngModifiedNs = 0;
    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
  };

  struct Slot {
    QString strFile;
    std::shared_ptr<platform::ChmArchive> archive;
    std::vector<std::shared_ptr<platform::ChmArchive>> spares;  // for users at the same time
    FileIdentity identity;  // of the file the archives were opened from
    bool blnPinned = false;
  };

  static std::optional<FileIdentity> IdentityOf(const QString& strChmFile);
  // Opens the file, as long as it is still the one of that identity after.
  static std::shared_ptr<platform::ChmArchive> OpenArchive(const QString& strChmFile, const FileIdentity& identity);

  std::list<Slot>::iterator Find(const QString& strChmFile);
  std::list<Slot>::const_iterator Find(const QString& strChmFile) const;
  void Trim();

  mutable std::mutex m_mutex;
  static constexpr std::size_t kSpares = 3;  // the preview decodes four streams at once

  std::size_t m_lngCapacity;
  std::list<Slot> m_slots;  // most recently used first
};

}  // namespace velmora::app
