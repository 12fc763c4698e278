#include "platform/storage/ChmStream.h"

namespace velmora::platform {
namespace {
constexpr std::uint64_t kSectionBit = std::uint64_t{1} << 63;
}

ChmStream::ChmStream(std::shared_ptr<ChmTree> tree, const ChmArchive::Entry& entry)
    : m_tree(std::move(tree)), m_entry(entry) {}

std::uint64_t ChmStream::Length() const { return m_entry.length; }

std::uint64_t ChmStream::OrderKey() const {
  const std::uint64_t offset = m_entry.offset < kSectionBit ? m_entry.offset : kSectionBit - 1;
  return m_entry.section == 0 ? offset : kSectionBit | offset;
}

HResult ChmStream::CopyTo(const ByteSink& sink) { return CopyFrom(m_tree->archive(), sink); }

HResult ChmStream::CopyTo(ChmArchive::Reader& reader, const ByteSink& sink) { return CopyFrom(reader, sink); }

template <typename Source>
HResult ChmStream::CopyFrom(Source& source, const ByteSink& sink) {
  bool stopped = false;
  const bool ok = source.extract(m_entry, [&](const char* data, std::size_t length) {
    stopped = !sink(data, length);
    return !stopped;
  });
  if (ok) return S_OK;
  if (stopped) return E_FAIL;
  return source.lastFailureWasDecoding() ? E_DATACORRUPT : E_READFAULT;
}

}  // namespace velmora::platform
