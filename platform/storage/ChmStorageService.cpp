#include "platform/storage/ChmStorageService.h"

#include "platform/storage/ChmArchive.h"
#include "platform/storage/ChmStorage.h"
#include "platform/storage/ChmTree.h"

namespace velmora::platform {

HResult ChmStorageService::StgIsStorageFile(const std::string& path) {
  return ChmArchive::IsChmFile(path) ? S_OK : S_FALSE;
}

HResult ChmStorageService::StgOpenStorage(const std::string& path, std::unique_ptr<IStorage>& out) {
  ChmArchive::OpenResult result = ChmArchive::OpenResult::NotChm;
  std::unique_ptr<ChmArchive> archive = ChmArchive::Open(path, result);
  if (!archive) return result == ChmArchive::OpenResult::NotChm ? E_INVALIDHEADER : E_READFAULT;
  auto tree = std::make_shared<ChmTree>(std::move(archive));
  out = std::make_unique<ChmStorage>(tree, tree->root());
  return S_OK;
}

std::unique_ptr<IStorageService> MakeChmStorageService() {
  return std::make_unique<ChmStorageService>();
}

StorageServiceFactory DefaultStorageServiceFactory() { return &MakeChmStorageService; }

}  // namespace velmora::platform
