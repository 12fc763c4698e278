#include "tests/engine/WalkOrderStorageService.h"

namespace velmora::test {

using platform::HResult;

namespace {

class WalkOrderStream : public platform::IStream {
 public:
  WalkOrderStream(std::unique_ptr<platform::IStream> inner, std::uint64_t key)
      : m_inner(std::move(inner)), m_key(key) {}
  std::uint64_t Length() const override { return m_inner->Length(); }
  std::uint64_t OrderKey() const override { return m_key; }
  HResult CopyTo(const platform::ByteSink& sink) override { return m_inner->CopyTo(sink); }

 private:
  std::unique_ptr<platform::IStream> m_inner;
  std::uint64_t m_key;
};

class WalkOrderStorage : public platform::IStorage {
 public:
  WalkOrderStorage(std::unique_ptr<platform::IStorage> inner, std::shared_ptr<std::vector<std::uint64_t>> realKeys)
      : m_inner(std::move(inner)), m_realKeys(std::move(realKeys)) {}

  HResult Stat() override { return m_inner->Stat(); }
  HResult EnumElements(std::unique_ptr<platform::IEnumElements>& out) override { return m_inner->EnumElements(out); }

  HResult OpenStorage(const std::string& name, std::unique_ptr<platform::IStorage>& out) override {
    std::unique_ptr<platform::IStorage> inner;
    const HResult hr = m_inner->OpenStorage(name, inner);
    if (inner) out = std::make_unique<WalkOrderStorage>(std::move(inner), m_realKeys);
    return hr;
  }

  HResult OpenStream(const std::string& name, std::unique_ptr<platform::IStream>& out) override {
    std::unique_ptr<platform::IStream> inner;
    const HResult hr = m_inner->OpenStream(name, inner);
    if (inner) {
      m_realKeys->push_back(inner->OrderKey());
      out = std::make_unique<WalkOrderStream>(std::move(inner), m_realKeys->size());
    }
    return hr;
  }

 private:
  std::unique_ptr<platform::IStorage> m_inner;
  std::shared_ptr<std::vector<std::uint64_t>> m_realKeys;
};

}  // namespace

WalkOrderStorageService::WalkOrderStorageService(std::unique_ptr<platform::IStorageService> inner,
                                                 std::shared_ptr<std::vector<std::uint64_t>> realKeys)
    : m_inner(std::move(inner)), m_realKeys(std::move(realKeys)) {}

HResult WalkOrderStorageService::StgIsStorageFile(const std::string& path) { return m_inner->StgIsStorageFile(path); }

HResult WalkOrderStorageService::StgOpenStorage(const std::string& path, std::unique_ptr<platform::IStorage>& out) {
  std::unique_ptr<platform::IStorage> inner;
  const HResult hr = m_inner->StgOpenStorage(path, inner);
  if (inner) out = std::make_unique<WalkOrderStorage>(std::move(inner), m_realKeys);
  return hr;
}

platform::StorageServiceFactory WalkOrderStorageService::Wrap(platform::StorageServiceFactory inner,
                                                              std::shared_ptr<std::vector<std::uint64_t>> realKeys) {
  return [inner, realKeys]() -> std::unique_ptr<platform::IStorageService> {
    auto service = inner();
    if (!service) return nullptr;
    return std::make_unique<WalkOrderStorageService>(std::move(service), realKeys);
  };
}

}  // namespace velmora::test
