#include "tests/support/fake/FakeStorageService.h"

#include <algorithm>
#include <vector>

namespace velmora::test {

using platform::E_FAIL;
using platform::E_NOTFOUND;
using platform::E_READFAULT;
using platform::ElementType;
using platform::HResult;
using platform::S_FALSE;
using platform::S_OK;

namespace {

// Keeps the recorder's count of live objects.
class Counted {
 public:
  explicit Counted(std::shared_ptr<FakeRecorder> recorder) : m_recorder(std::move(recorder)) {
    ++m_recorder->liveObjects;
  }
  ~Counted() { --m_recorder->liveObjects; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;

 protected:
  std::shared_ptr<FakeRecorder> m_recorder;
};

// Elements are shared with the tree's owner, so streams outlive the storage
// and enumerator they came from.
using Node = std::shared_ptr<const FakeElement>;

Node ChildNode(const Node& parent, const FakeElement& child) { return Node(parent, &child); }

// Copies bytes [pos, pos + n) of a generated stream from two periods of the
// pattern, so gigabyte streams cost no more than a memcpy per chunk.
void FillGenerated(char* out, std::uint64_t pos, std::size_t n) {
  static const std::vector<char> pattern = [] {
    std::vector<char> p(2 * kGeneratedPeriod);
    for (std::size_t i = 0; i < p.size(); ++i) p[i] = GeneratedByte(i);
    return p;
  }();
  while (n > 0) {
    const std::size_t start = static_cast<std::size_t>(pos % kGeneratedPeriod);
    const std::size_t take = std::min(n, kGeneratedPeriod);
    std::copy_n(pattern.data() + start, take, out);
    out += take;
    pos += take;
    n -= take;
  }
}

class FakeStream : public platform::IStream, Counted {
 public:
  FakeStream(Node node, std::string path, std::size_t chunkSize, std::shared_ptr<FakeRecorder> recorder)
      : Counted(std::move(recorder)), m_node(std::move(node)), m_path(std::move(path)), m_chunkSize(chunkSize) {}

  std::uint64_t Length() const override { return m_node->ReportedLength(); }
  std::uint64_t OrderKey() const override { return m_node->orderKey; }

  HResult CopyTo(const platform::ByteSink& sink) override {
    m_recorder->copyOrder.push_back(m_path);
    return Deliver(sink);
  }

  // The copy itself, safe on any thread.
  HResult Deliver(const platform::ByteSink& sink) const {
    const FakeElement& e = *m_node;
    const std::uint64_t length = e.RealLength();
    const bool fails = e.failAt == FakeCall::CopyTo;
    const std::uint64_t limit = fails ? std::min(length, e.failAfterBytes) : length;
    std::vector<char> chunk(m_chunkSize);
    for (std::uint64_t pos = 0; pos < limit;) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(m_chunkSize, limit - pos));
      if (e.generatedLength) {
        FillGenerated(chunk.data(), pos, n);
      } else {
        std::copy_n(e.content.data() + pos, n, chunk.data());
      }
      if (!sink(chunk.data(), n)) return E_FAIL;
      pos += n;
    }
    return fails ? E_READFAULT : S_OK;
  }

 private:
  Node m_node;
  std::string m_path;
  std::size_t m_chunkSize;
};

class FakeReader : public platform::IStreamReader {
 public:
  HResult CopyTo(platform::IStream& stream, const platform::ByteSink& sink) override {
    const auto* fake = dynamic_cast<const FakeStream*>(&stream);
    return fake ? fake->Deliver(sink) : E_FAIL;
  }
};

class FakeEnum : public platform::IEnumElements, Counted {
 public:
  FakeEnum(Node storage, std::shared_ptr<FakeRecorder> recorder)
      : Counted(std::move(recorder)), m_storage(std::move(storage)) {}

  HResult Reset() override {
    if (m_storage->failAt == FakeCall::Reset) return E_FAIL;
    m_next = 0;
    return S_OK;
  }

  HResult Next(platform::ElementStat& stat) override {
    if (m_next >= m_storage->children.size()) return S_FALSE;
    const FakeElement& e = m_storage->children[m_next];
    if (e.failAt == FakeCall::Next) return E_FAIL;
    ++m_next;
    stat.name = e.name;
    stat.type = e.type;
    stat.size = e.type == ElementType::Storage ? 0 : e.ReportedLength();
    return S_OK;
  }

 private:
  Node m_storage;
  std::size_t m_next = 0;
};

class FakeStorage : public platform::IStorage, Counted {
 public:
  FakeStorage(Node node, std::string path, std::size_t chunkSize, std::shared_ptr<FakeRecorder> recorder)
      : Counted(std::move(recorder)), m_node(std::move(node)), m_path(std::move(path)), m_chunkSize(chunkSize) {}

  HResult Stat() override { return m_node->failAt == FakeCall::Stat ? E_FAIL : S_OK; }

  HResult EnumElements(std::unique_ptr<platform::IEnumElements>& out) override {
    if (m_node->failAt == FakeCall::EnumElements) return E_FAIL;
    out = std::make_unique<FakeEnum>(m_node, m_recorder);
    return S_OK;
  }

  HResult OpenStorage(const std::string& name, std::unique_ptr<platform::IStorage>& out) override {
    const FakeElement* child = Find(name, ElementType::Storage);
    if (!child) return E_NOTFOUND;
    if (child->failAt == FakeCall::OpenStorage) return E_FAIL;
    out = std::make_unique<FakeStorage>(ChildNode(m_node, *child), m_path + name + "/", m_chunkSize, m_recorder);
    return S_OK;
  }

  HResult OpenStream(const std::string& name, std::unique_ptr<platform::IStream>& out) override {
    const FakeElement* child = Find(name, ElementType::Stream);
    if (!child) return E_NOTFOUND;
    if (child->failAt == FakeCall::OpenStream) return E_FAIL;
    out = std::make_unique<FakeStream>(ChildNode(m_node, *child), m_path + name, m_chunkSize, m_recorder);
    return S_OK;
  }

  std::unique_ptr<platform::IStreamReader> OpenReader() override {
    if (!m_readers) return nullptr;
    if (m_openingReader) m_openingReader();
    return std::make_unique<FakeReader>();
  }

  void GiveReaders(std::function<void()> opening) {
    m_readers = true;
    m_openingReader = std::move(opening);
  }

 private:
  const FakeElement* Find(const std::string& name, ElementType type) const {
    for (const auto& child : m_node->children) {
      if (child.name == name && child.type == type) return &child;
    }
    return nullptr;
  }

  Node m_node;
  std::string m_path;
  std::size_t m_chunkSize;
  bool m_readers = false;
  std::function<void()> m_openingReader;
};

}  // namespace

FakeStorageService::FakeStorageService(std::shared_ptr<const FakeElement> root, FakeOptions options,
                                       std::shared_ptr<FakeRecorder> recorder)
    : m_root(std::move(root)), m_options(options), m_recorder(std::move(recorder)) {
  ++m_recorder->liveObjects;
}

FakeStorageService::~FakeStorageService() { --m_recorder->liveObjects; }

HResult FakeStorageService::StgIsStorageFile(const std::string& path) {
  m_recorder->checkedPaths.push_back(path);
  return m_options.isStorageFile;
}

HResult FakeStorageService::StgOpenStorage(const std::string&, std::unique_ptr<platform::IStorage>& out) {
  if (platform::Failed(m_options.openRoot)) return m_options.openRoot;
  auto root = std::make_unique<FakeStorage>(m_root, "", m_options.chunkSize, m_recorder);
  if (m_options.readers) root->GiveReaders(m_options.openingReader);
  out = std::move(root);
  return S_OK;
}

platform::StorageServiceFactory FakeStorageService::Factory(FakeElement root, FakeOptions options,
                                                            std::shared_ptr<FakeRecorder> recorder) {
  auto tree = std::make_shared<const FakeElement>(std::move(root));
  if (!recorder) recorder = std::make_shared<FakeRecorder>();
  return [tree, options, recorder]() -> std::unique_ptr<platform::IStorageService> {
    return std::make_unique<FakeStorageService>(tree, options, recorder);
  };
}

}  // namespace velmora::test
