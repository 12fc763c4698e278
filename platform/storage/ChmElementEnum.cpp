#include "platform/storage/ChmElementEnum.h"

namespace velmora::platform {

ChmElementEnum::ChmElementEnum(std::shared_ptr<ChmTree> tree, const ChmNode& node)
    : m_tree(std::move(tree)), m_node(node) {}

HResult ChmElementEnum::Reset() {
  m_next = 0;
  return S_OK;
}

HResult ChmElementEnum::Next(ElementStat& stat) {
  if (m_next >= m_node.children.size()) return S_FALSE;
  const ChmChild child = m_node.children[m_next++];
  stat.name = child.name();
  stat.type = child.isStorage() ? ElementType::Storage : ElementType::Stream;
  stat.size = child.isStorage() ? 0 : child.entry()->length;
  return S_OK;
}

}  // namespace velmora::platform
