#pragma once
// The compound-storage view of a CHM file: a tree of storages (folders) and
// streams (files). The walker talks only to these interfaces, so tests can
// hand it a fake that fails at a chosen call.
//
// Results follow the COM convention the walker relies on: negative means
// failure, S_OK means success, S_FALSE means "no" / "no more elements".

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora::platform {

using HResult = std::int32_t;
constexpr HResult S_OK = 0;
constexpr HResult S_FALSE = 1;
constexpr HResult E_FAIL = static_cast<HResult>(0x80004005u);
constexpr HResult E_NOTFOUND = static_cast<HResult>(0x80030002u);   // STG_E_FILENOTFOUND
constexpr HResult E_READFAULT = static_cast<HResult>(0x8003001Eu);  // STG_E_READFAULT
constexpr HResult E_INVALIDHEADER = static_cast<HResult>(0x800300FBu);
constexpr HResult E_DATACORRUPT = static_cast<HResult>(0x80030109u);  // STG_E_DOCFILECORRUPT

inline bool Failed(HResult hr) { return hr < 0; }

enum class ElementType { Other = 0, Storage = 1, Stream = 2 };

struct ElementStat {
  std::string name;        // UTF-8, the element's own name (no path)
  ElementType type = ElementType::Other;
  std::uint64_t size = 0;  // exact length in bytes (0 for storages)
};

// Receives a stream's bytes in order, one chunk at a time. Returning false
// aborts the copy, which then reports failure.
using ByteSink = std::function<bool(const char* data, std::size_t length)>;

class IStream {
 public:
  virtual ~IStream() = default;
  virtual std::uint64_t Length() const = 0;
  // Position of the stream's bytes in the container: streams copied in
  // ascending order decompress without restarting. Equal keys are fine.
  virtual std::uint64_t OrderKey() const = 0;
  // Delivers the whole stream to the sink in chunks of bounded size.
  // Fails (negative) on a read error (E_READFAULT), a decompression error
  // (E_DATACORRUPT) or when the sink returns false (E_FAIL); the sink may
  // then have seen part of the bytes.
  virtual HResult CopyTo(const ByteSink& sink) = 0;
};

// Copies streams of one storage file independently of IStream::CopyTo and
// of every other reader, so that streams far apart in the container can be
// copied on several threads at once, each reader on one thread at a time.
class IStreamReader {
 public:
  virtual ~IStreamReader() = default;
  // As stream.CopyTo(sink), for a stream of the file that made the reader.
  virtual HResult CopyTo(IStream& stream, const ByteSink& sink) = 0;
};

class IEnumElements {
 public:
  virtual ~IEnumElements() = default;
  virtual HResult Reset() = 0;
  // S_OK with stat filled while elements remain, S_FALSE at the end,
  // negative on failure.
  virtual HResult Next(ElementStat& stat) = 0;
};

class IStorage {
 public:
  virtual ~IStorage() = default;
  virtual HResult Stat() = 0;
  // How many elements lie below this storage at every level, when that is
  // known without walking them (0 otherwise); a walk sizes its records
  // with it.
  virtual std::size_t ElementCountHint() const { return 0; }
  virtual HResult EnumElements(std::unique_ptr<IEnumElements>& out) = 0;
  virtual HResult OpenStorage(const std::string& name, std::unique_ptr<IStorage>& out) = 0;
  virtual HResult OpenStream(const std::string& name, std::unique_ptr<IStream>& out) = 0;
  // A reader of this storage file's streams; null when the file's streams
  // can only be copied one after another through IStream::CopyTo. May be
  // called on any thread, also while another thread copies a stream of the
  // file through IStream::CopyTo or another reader (a parallel copy falls
  // back to IStream::CopyTo for a segment whose reader could not be made).
  virtual std::unique_ptr<IStreamReader> OpenReader() { return nullptr; }
};

class IStorageService {
 public:
  virtual ~IStorageService() = default;
  // S_OK only when the file is a CHM storage file; S_FALSE or an error
  // (missing file, another format, bad signature) otherwise.
  virtual HResult StgIsStorageFile(const std::string& path) = 0;
  // The root storage; negative when a recognised file cannot be opened
  // (damaged directory after the signature).
  virtual HResult StgOpenStorage(const std::string& path, std::unique_ptr<IStorage>& out) = 0;
};

// Creates a storage service; returns null when none is available.
using StorageServiceFactory = std::function<std::unique_ptr<IStorageService>()>;

}  // namespace velmora::platform
