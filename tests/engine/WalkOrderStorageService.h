#pragma once
// Wraps a storage service so that every stream's OrderKey is the position in
// which the walk opened it: the walker then writes in plain walk order,
// the reference for its container-order writes. The real keys are kept.

#include <memory>
#include <vector>

#include "platform/storage/StorageService.h"

namespace velmora::test {

class WalkOrderStorageService : public platform::IStorageService {
 public:
  explicit WalkOrderStorageService(std::unique_ptr<platform::IStorageService> inner,
                                   std::shared_ptr<std::vector<std::uint64_t>> realKeys);

  platform::HResult StgIsStorageFile(const std::string& path) override;
  platform::HResult StgOpenStorage(const std::string& path, std::unique_ptr<platform::IStorage>& out) override;

  // A factory over another factory; realKeys receives the inner streams'
  // OrderKeys in walk order.
  static platform::StorageServiceFactory Wrap(platform::StorageServiceFactory inner,
                                              std::shared_ptr<std::vector<std::uint64_t>> realKeys);

 private:
  std::unique_ptr<platform::IStorageService> m_inner;
  std::shared_ptr<std::vector<std::uint64_t>> m_realKeys;
};

}  // namespace velmora::test
