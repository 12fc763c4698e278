#pragma once
// A storage service over a FakeElement tree. It counts the objects it hands
// out that are still alive and logs the order in which streams are copied,
// so tests can check that a walk releases everything and writes in
// container order.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/storage/StorageService.h"
#include "tests/support/fake/FakeElement.h"

namespace velmora::test {

struct FakeOptions {
  platform::HResult isStorageFile = platform::S_OK;  // answer of StgIsStorageFile
  platform::HResult openRoot = platform::S_OK;       // a negative value makes StgOpenStorage fail
  std::size_t chunkSize = 4096;                      // bytes per CopyTo sink call
  // The root hands out readers (IStorage::OpenReader), so a walk may copy
  // on several threads; they copy without logging copyOrder.
  bool readers = false;
  // Called on the asking thread before each reader is made; may throw.
  std::function<void()> openingReader;
};

// What the fake saw, shared by every object it created.
struct FakeRecorder {
  int liveObjects = 0;                 // services, storages, enumerators and streams not yet released
  std::vector<std::string> copyOrder;  // "storage/…/name" of each CopyTo call, in call order
  std::vector<std::string> checkedPaths;  // paths given to StgIsStorageFile
};

class FakeStorageService : public platform::IStorageService {
 public:
  FakeStorageService(std::shared_ptr<const FakeElement> root, FakeOptions options,
                     std::shared_ptr<FakeRecorder> recorder);
  ~FakeStorageService() override;

  platform::HResult StgIsStorageFile(const std::string& path) override;
  platform::HResult StgOpenStorage(const std::string& path, std::unique_ptr<platform::IStorage>& out) override;

  // A factory that makes a new service over the same tree on every call.
  static platform::StorageServiceFactory Factory(FakeElement root, FakeOptions options = {},
                                                 std::shared_ptr<FakeRecorder> recorder = nullptr);

 private:
  std::shared_ptr<const FakeElement> m_root;
  FakeOptions m_options;
  std::shared_ptr<FakeRecorder> m_recorder;
};

}  // namespace velmora::test
