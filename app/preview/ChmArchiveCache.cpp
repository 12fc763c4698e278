#include "app/preview/ChmArchiveCache.h"

#include <QFile>
#include <sys/stat.h>

#include "app/preview/ChmFilePath.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::app {

ChmArchiveCache::ChmArchiveCache(std::size_t lngUnpinnedCapacity) : m_lngCapacity(lngUnpinnedCapacity) {}

bool ChmArchiveCache::FileIdentity::operator==(const FileIdentity& other) const {
  return lngDevice == other.lngDevice && lngInode == other.lngInode && lngSize == other.lngSize &&
         lngModifiedNs == other.lngModifiedNs;
}

std::optional<ChmArchiveCache::FileIdentity> ChmArchiveCache::IdentityOf(const QString& strChmFile) {
  struct stat st {};
  if (::stat(QFile::encodeName(strChmFile).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                      qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::shared_ptr<platform::ChmArchive> ChmArchiveCache::OpenArchive(const QString& strChmFile,
                                                                   const FileIdentity& identity) {
  platform::ChmArchive::OpenResult result;
  std::shared_ptr<platform::ChmArchive> archive =
      platform::ChmArchive::Open(QFile::encodeName(strChmFile).toStdString(), result);
  if (IdentityOf(strChmFile) != identity) return nullptr;
  return archive;
}

std::shared_ptr<platform::ChmArchive> ChmArchiveCache::Acquire(const QString& strChmFile) {
  const std::optional<FileIdentity> identity =
      IsCanonicalChmFile(strChmFile) ? IdentityOf(strChmFile) : std::nullopt;
  std::unique_lock<std::mutex> lock(m_mutex);
  auto it = Find(strChmFile);
  if (it == m_slots.end()) {
    m_slots.push_front(Slot{strChmFile, nullptr, {}, {}, false});
  } else {
    m_slots.splice(m_slots.begin(), m_slots, it);
  }
  Slot& slot = m_slots.front();
  if (!identity) {
    slot.archive.reset();
    slot.spares.clear();
    return nullptr;
  }
  const bool blnChanged = slot.identity != *identity;
  if (slot.archive && !blnChanged && slot.archive.use_count() > 1) {
    // In use elsewhere (a count grows only here, under the lock): a spare
    // that is free, else one opened outside the lock and kept as a spare.
    for (const auto& spare : slot.spares) {
      if (spare.use_count() == 1) return spare;
    }
    lock.unlock();
    std::shared_ptr<platform::ChmArchive> archive = OpenArchive(strChmFile, *identity);
    lock.lock();
    it = Find(strChmFile);
    if (archive && it != m_slots.end() && it->identity == *identity && it->spares.size() < kSpares) {
      it->spares.push_back(archive);
    }
    return archive;
  }
  if (!slot.archive || blnChanged) {
    slot.archive = OpenArchive(strChmFile, *identity);
    slot.spares.clear();
    slot.identity = *identity;
  }
  std::shared_ptr<platform::ChmArchive> archive = slot.archive;
  Trim();
  return archive;
}

void ChmArchiveCache::Pin(const QString& strChmFile) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  auto it = Find(strChmFile);
  if (it == m_slots.end()) {
    m_slots.push_front(Slot{strChmFile, nullptr, {}, {}, true});
  } else {
    it->blnPinned = true;
  }
}

void ChmArchiveCache::Unpin(const QString& strChmFile) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  auto it = Find(strChmFile);
  if (it == m_slots.end()) return;
  it->blnPinned = false;
  Trim();
}

bool ChmArchiveCache::IsCached(const QString& strChmFile) const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const auto it = Find(strChmFile);
  return it != m_slots.end() && it->archive != nullptr;
}

std::list<ChmArchiveCache::Slot>::iterator ChmArchiveCache::Find(const QString& strChmFile) {
  for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
    if (it->strFile == strChmFile) return it;
  }
  return m_slots.end();
}

std::list<ChmArchiveCache::Slot>::const_iterator ChmArchiveCache::Find(const QString& strChmFile) const {
  for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
    if (it->strFile == strChmFile) return it;
  }
  return m_slots.end();
}

// Drops the least recently used unpinned files beyond the capacity.
void ChmArchiveCache::Trim() {
  std::size_t lngUnpinned = 0;
  for (auto it = m_slots.begin(); it != m_slots.end();) {
    if (!it->blnPinned && ++lngUnpinned > m_lngCapacity) {
      it = m_slots.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace velmora::app
