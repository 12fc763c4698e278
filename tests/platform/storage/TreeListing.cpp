#include "TreeListing.h"

namespace velmora::platform::test {
namespace {

void Walk(IStorage& storage, const std::string& prefix, int level, std::string* listing,
          std::vector<OpenedStream>* streams) {
  std::unique_ptr<IEnumElements> elements;
  if (Failed(storage.EnumElements(elements)) || Failed(elements->Reset())) return;
  ElementStat stat;
  while (elements->Next(stat) == S_OK) {
    const std::string path = prefix + stat.name;
    if (listing) {
      *listing += std::string(2 * level, ' ') + stat.name;
      *listing += stat.type == ElementType::Storage ? "/" : " " + std::to_string(stat.size);
      *listing += "\n";
    }
    if (stat.type == ElementType::Storage) {
      std::unique_ptr<IStorage> child;
      if (storage.OpenStorage(stat.name, child) == S_OK) Walk(*child, path + "/", level + 1, listing, streams);
    } else if (streams) {
      std::unique_ptr<IStream> stream;
      if (storage.OpenStream(stat.name, stream) == S_OK) {
        StreamVisit visit{path, stream->Length(), stream->OrderKey()};
        streams->push_back({std::move(visit), std::move(stream)});
      }
    }
  }
}

}  // namespace

std::string ListTree(IStorage& root) {
  std::string listing;
  Walk(root, "", 0, &listing, nullptr);
  return listing;
}

std::vector<OpenedStream> OpenStreams(IStorage& root) {
  std::vector<OpenedStream> streams;
  Walk(root, "", 0, nullptr, &streams);
  return streams;
}

HResult ReadAll(IStream& stream, std::string& bytes) {
  bytes.clear();
  return stream.CopyTo([&bytes](const char* data, std::size_t length) {
    bytes.append(data, length);
    return true;
  });
}

std::unique_ptr<IStream> OpenPath(IStorage& root, const std::string& path) {
  IStorage* storage = &root;
  std::unique_ptr<IStorage> holder;
  std::size_t start = 0;
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', start)) {
    std::unique_ptr<IStorage> child;
    if (storage->OpenStorage(path.substr(start, slash - start), child) != S_OK) return nullptr;
    holder = std::move(child);
    storage = holder.get();
    start = slash + 1;
  }
  std::unique_ptr<IStream> stream;
  if (storage->OpenStream(path.substr(start), stream) != S_OK) return nullptr;
  return stream;
}

}  // namespace velmora::platform::test
