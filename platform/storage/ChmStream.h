#pragma once
// One stream of an open CHM file.

#include <memory>

#include "platform/storage/ChmTree.h"
#include "platform/storage/StorageService.h"

namespace velmora::platform {

class ChmStream : public IStream {
 public:
  ChmStream(std::shared_ptr<ChmTree> tree, const ChmArchive::Entry& entry);

  std::uint64_t Length() const override;
  // Stored (section 0) streams by offset first, then the LZX section by
  // offset: libmspack decodes that section forward only.
  std::uint64_t OrderKey() const override;
  // E_FAIL when the sink stops the copy, E_READFAULT on a read error.
  HResult CopyTo(const ByteSink& sink) override;
  // The same through a reader of the same file.
  HResult CopyTo(ChmArchive::Reader& reader, const ByteSink& sink);

 private:
  template <typename Source>
  HResult CopyFrom(Source& source, const ByteSink& sink);

  std::shared_ptr<ChmTree> m_tree;
  const ChmArchive::Entry& m_entry;
};

}  // namespace velmora::platform
