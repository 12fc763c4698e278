#include "app/preview/ChmArchiveCache.h"

#include <QFile>
#include <QFileInfo>

#include "platform/storage/ChmArchive.h"

namespace velmora::app {

ChmArchiveCache::ChmArchiveCache(std::size_t lngUnpinnedCapacity) : m_lngCapacity(lngUnpinnedCapacity) {}

std::shared_ptr<platform::ChmArchive> ChmArchiveCache::Acquire(const QString& strChmFile) {
  const QFileInfo info(strChmFile);
  auto it = Find(strChmFile);
  if (it == m_slots.end()) {
    m_slots.push_front(Slot{strChmFile, nullptr, -1, {}, false});
  } else {
    m_slots.splice(m_slots.begin(), m_slots, it);
  }
  Slot& slot = m_slots.front();
  if (!info.isFile()) {
    slot.archive.reset();
    return nullptr;
  }
  if (!slot.archive || slot.lngSize != info.size() || slot.dtModified != info.lastModified()) {
    platform::ChmArchive::OpenResult result;
    slot.archive = platform::ChmArchive::Open(QFile::encodeName(strChmFile).toStdString(), result);
    slot.lngSize = info.size();
    slot.dtModified = info.lastModified();
  }
  std::shared_ptr<platform::ChmArchive> archive = slot.archive;
  Trim();
  return archive;
}

void ChmArchiveCache::Pin(const QString& strChmFile) {
  auto it = Find(strChmFile);
  if (it == m_slots.end()) {
    m_slots.push_front(Slot{strChmFile, nullptr, -1, {}, true});
  } else {
    it->blnPinned = true;
  }
}

void ChmArchiveCache::Unpin(const QString& strChmFile) {
  auto it = Find(strChmFile);
  if (it == m_slots.end()) return;
  it->blnPinned = false;
  Trim();
}

bool ChmArchiveCache::IsCached(const QString& strChmFile) const {
  for (const Slot& slot : m_slots) {
    if (slot.strFile == strChmFile) return slot.archive != nullptr;
  }
  return false;
}

std::list<ChmArchiveCache::Slot>::iterator ChmArchiveCache::Find(const QString& strChmFile) {
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
