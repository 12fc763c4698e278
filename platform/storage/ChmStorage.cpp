#include "platform/storage/ChmStorage.h"

#include "platform/storage/ChmElementEnum.h"
#include "platform/storage/ChmStream.h"

namespace velmora::platform {

namespace {

class ChmStreamReader : public IStreamReader {
 public:
  ChmStreamReader(std::shared_ptr<ChmTree> tree, std::unique_ptr<ChmArchive::Reader> reader)
      : m_tree(std::move(tree)), m_reader(std::move(reader)) {}

  HResult CopyTo(IStream& stream, const ByteSink& sink) override {
    auto* chmStream = dynamic_cast<ChmStream*>(&stream);
    return chmStream ? chmStream->CopyTo(*m_reader, sink) : E_FAIL;
  }

 private:
  std::shared_ptr<ChmTree> m_tree;  // keeps the archive the reader reads
  std::unique_ptr<ChmArchive::Reader> m_reader;
};

}  // namespace

ChmStorage::ChmStorage(std::shared_ptr<ChmTree> tree, const ChmNode& node)
    : m_tree(std::move(tree)), m_node(node) {}

HResult ChmStorage::Stat() { return S_OK; }

std::size_t ChmStorage::ElementCountHint() const {
  return &m_node == &m_tree->root() ? m_tree->nodeCount() : 0;
}

HResult ChmStorage::EnumElements(std::unique_ptr<IEnumElements>& out) {
  out = std::make_unique<ChmElementEnum>(m_tree, m_node);
  return S_OK;
}

HResult ChmStorage::OpenStorage(const std::string& name, std::unique_ptr<IStorage>& out) {
  const ChmNode* child = m_tree->FindStorage(m_node, name);
  if (!child) return E_NOTFOUND;
  out = std::make_unique<ChmStorage>(m_tree, *child);
  return S_OK;
}

std::unique_ptr<IStreamReader> ChmStorage::OpenReader() {
  std::unique_ptr<ChmArchive::Reader> reader = m_tree->archive().openReader();
  if (!reader) return nullptr;
  return std::make_unique<ChmStreamReader>(m_tree, std::move(reader));
}

HResult ChmStorage::OpenStream(const std::string& name, std::unique_ptr<IStream>& out) {
  const ChmArchive::Entry* entry = m_tree->FindStream(m_node, name);
  if (!entry) return E_NOTFOUND;
  out = std::make_unique<ChmStream>(m_tree, *entry);
  return S_OK;
}

}  // namespace velmora::platform
