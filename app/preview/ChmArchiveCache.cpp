#include "app/preview/ChmArchiveCache.h"

#include <QFile>
#include <QFileInfo>

#include "platform/storage/ChmArchive.h"

namespace velmora::app {

ChmArchiveCache::ChmArchiveCache(std::size_t lngUnpinnedCapacity) : m_lngCapacity(lngUnpinnedCapacity) {}

namespace {

std::shared_ptr<platform::ChmArchive> OpenArchive(const QString& strChmFile) {
  platform::ChmArchive::OpenResult result;
  return platform::ChmArchive::Open(QFile::encodeName(strChmFile).toStdString(), result);
}

}  // namespace

std::shared_ptr<platform::ChmArchive> ChmArchiveCache::Acquire(const QString& strChmFile) {
  const QFileInfo info(strChmFile);
  std::unique_lock<std::mutex> lock(m_mutex);
  auto it = Find(strChmFile);
  if (it == m_slots.end()) {
    m_slots.push_front(Slot{strChmFile, nullptr, {}, -1, {}, false});
  } else {
    m_slots.splice(m_slots.begin(), m_slots, it);
  }
  Slot& slot = m_slots.front();
  if (!info.isFile()) {
    slot.archive.reset();
    slot.spares.clear();
    return nullptr;
  }
  const bool blnChanged = slot.lngSize != info.size() || slot.dtModified != info.lastModified();
  if (slot.archive && !blnChanged && slot.archive.use_count() > 1) {
    // In use elsewhere (a count grows only here, under the lock): a spare
    // that is free, else one opened outside the lock and kept as a spare.
    for (const auto& spare : slot.spares) {
      if (spare.use_count() == 1) return spare;
    }
    lock.unlock();
    std::shared_ptr<platform::ChmArchive> archive = OpenArchive(strChmFile);
    lock.lock();
    it = Find(strChmFile);
    if (archive && it != m_slots.end() && it->lngSize == info.size() && it->dtModified == info.lastModified() &&
        it->spares.size() < kSpares) {
      it->spares.push_back(archive);
    }
    return archive;
  }
  if (!slot.archive || blnChanged) {
    slot.archive = OpenArchive(strChmFile);
    slot.spares.clear();
    slot.lngSize = info.size();
    slot.dtModified = info.lastModified();
  }
  std::shared_ptr<platform::ChmArchive> archive = slot.archive;
  Trim();
  return archive;
}

void ChmArchiveCache::Pin(const QString& strChmFile) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  auto it = Find(strChmFile);
  if (it == m_slots.end()) {
    m_slots.push_front(Slot{strChmFile, nullptr, {}, -1, {}, true});
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
