#pragma once
// The storage service over libmspack: stands in for the Windows ITStorage
// service. A file is a storage file when it carries a CHM signature; opening
// it reads the whole directory once and presents it as a tree.

#include <memory>
#include <string>

#include "platform/storage/StorageService.h"

namespace velmora::platform {

class ChmStorageService : public IStorageService {
 public:
  // S_OK for a CHM signature, S_FALSE otherwise (also for a missing file).
  HResult StgIsStorageFile(const std::string& path) override;
  // E_INVALIDHEADER when the file is no CHM file at all, E_READFAULT when a
  // CHM file's headers or directory cannot be read.
  HResult StgOpenStorage(const std::string& path, std::unique_ptr<IStorage>& out) override;
};

std::unique_ptr<IStorageService> MakeChmStorageService();

// The factory the program uses when nothing else is asked for.
StorageServiceFactory DefaultStorageServiceFactory();

}  // namespace velmora::platform
