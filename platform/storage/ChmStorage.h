#pragma once
// One storage (folder) of an open CHM file. Storages, their enumerators and
// streams share the tree, so each may be released in any order.

#include <memory>

#include "platform/storage/ChmTree.h"
#include "platform/storage/StorageService.h"

namespace velmora::platform {

class ChmStorage : public IStorage {
 public:
  ChmStorage(std::shared_ptr<ChmTree> tree, const ChmNode& node);

  HResult Stat() override;
  // Known for the root storage: every node of the tree.
  std::size_t ElementCountHint() const override;
  HResult EnumElements(std::unique_ptr<IEnumElements>& out) override;
  // Names match exactly, or else ignoring case as the Windows service does.
  HResult OpenStorage(const std::string& name, std::unique_ptr<IStorage>& out) override;
  HResult OpenStream(const std::string& name, std::unique_ptr<IStream>& out) override;
  // Offered when the LZX section can be decoded from its reset points.
  std::unique_ptr<IStreamReader> OpenReader() override;

 private:
  std::shared_ptr<ChmTree> m_tree;
  const ChmNode& m_node;
};

}  // namespace velmora::platform
