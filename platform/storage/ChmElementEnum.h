#pragma once
// Enumerates the direct elements of one storage in directory order.

#include <cstddef>
#include <memory>

#include "platform/storage/ChmTree.h"
#include "platform/storage/StorageService.h"

namespace velmora::platform {

class ChmElementEnum : public IEnumElements {
 public:
  ChmElementEnum(std::shared_ptr<ChmTree> tree, const ChmNode& node);

  HResult Reset() override;
  HResult Next(ElementStat& stat) override;

 private:
  std::shared_ptr<ChmTree> m_tree;
  const ChmNode& m_node;
  std::size_t m_next = 0;
};

}  // namespace velmora::platform
