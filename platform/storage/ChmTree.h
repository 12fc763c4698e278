#pragma once
// The tree of storages and streams of one CHM file, derived from the
// "/"-separated entry names (pure folder entries are not in the directory
// libmspack reports, so a storage is known from what lies inside it).
// Entries whose names start with "::" are the container's bookkeeping and
// are left out. Names are kept exactly as stored: "a//b" gives a storage
// with an empty name, "/../x" a storage named "..".

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/storage/ChmArchive.h"

namespace velmora::platform {

struct ChmNode {
  std::string name;
  bool isStorage = false;
  const ChmArchive::Entry* entry = nullptr;  // streams only
  // Children in the order their first entry appears in the directory.
  std::vector<std::unique_ptr<ChmNode>> children;
  std::unordered_map<std::string, ChmNode*> storages;  // by exact name
  std::unordered_map<std::string, ChmNode*> streams;   // by exact name
};

class ChmTree {
 public:
  explicit ChmTree(std::unique_ptr<ChmArchive> archive);

  const ChmNode& root() const { return m_root; }
  ChmArchive& archive() { return *m_archive; }

  // A direct child by exact name, else by case-insensitive name; null if none.
  static const ChmNode* FindChild(const ChmNode& parent, const std::string& name, bool storage);

 private:
  void addEntry(const ChmArchive::Entry& entry);

  std::unique_ptr<ChmArchive> m_archive;
  ChmNode m_root;
};

}  // namespace velmora::platform
