#pragma once
// One CHM file opened with libmspack's CHM decompressor. The directory is
// read once when the file is opened and kept while the object lives, so any
// number of streams can be found and extracted without reading it again.
//
// Two things Windows accepts and plain libmspack does not are accepted here:
// headers whose second GUID repeats the first (written by chmcmd), and
// directories whose first/last PMGL fields do not cover every listing chunk
// (every chunk is read instead).

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/storage/ChmIoSystem.h"
#include "platform/storage/StorageService.h"

struct mschm_decompressor;
struct mschmd_header;
struct mschmd_file;

namespace velmora::platform {

// One libmspack CHM decompressor with the file layer it reads through.
struct Decoder;

class ChmArchive {
 public:
  enum class OpenResult {
    Ok,
    NotChm,   // missing, unreadable, empty, another format, bad signature
    Damaged,  // a CHM signature, but the headers or directory cannot be read
  };

  struct Entry {
    std::string name;  // as stored, without the leading "/"
    std::uint64_t length = 0;
    int section = 0;  // 0 stored, 1 LZX-compressed
    std::uint64_t offset = 0;
  };

  // Tells whether the file carries a CHM signature libmspack accepts,
  // without reading its directory.
  static bool IsChmFile(const std::string& path);

  // Opens the file and reads its whole directory; null unless result is Ok.
  static std::unique_ptr<ChmArchive> Open(const std::string& path, OpenResult& result);

  ~ChmArchive();
  ChmArchive(const ChmArchive&) = delete;
  ChmArchive& operator=(const ChmArchive&) = delete;

  const std::string& path() const { return m_path; }

  // Every directory entry in directory order, a name listed twice kept twice. Entries whose
  // names start with "::" are the container's own bookkeeping.
  const std::vector<Entry>& entries() const { return m_entries; }

  // Case-insensitive lookup of "/a/b.htm" or "a/b.htm"; null when absent.
  const Entry* find(std::string_view path) const;

  // Delivers the entry's bytes to the sink in chunks of libmspack's buffer
  // size. False on a read or decompression error, when the entry's declared
  // place runs past the data, or when the sink returns false.
  bool extract(const Entry& entry, const ByteSink& sink);
  // After a failed extract: true when the data was read but could not be
  // decompressed (a damaged LZX frame), false when it could not be read.
  bool lastFailureWasDecoding() const;

  // Decodes streams of this file on its own, independently of extract()
  // and of every other reader, so that streams far apart can be copied on
  // several threads at once (one thread per reader at a time). Streams
  // copied in ascending offset order decode without restarting. A reader
  // must not outlive its archive.
  class Reader {
   public:
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    // As ChmArchive::extract, for an entry of the reader's archive.
    bool extract(const Entry& entry, const ByteSink& sink);
    bool lastFailureWasDecoding() const;

   private:
    friend class ChmArchive;
    Reader(ChmArchive& archive, std::unique_ptr<Decoder> decoder);
    ChmArchive& m_archive;
    std::unique_ptr<Decoder> m_decoder;
  };

  // A reader of its own; null when the LZX section cannot be decoded from
  // its reset points (no intact reset table), so every stream has to be
  // decoded by the one decoder that knows what came before, and null when
  // the directory lacks one of the section's records libmspack needs
  // (Content, ControlData, reset table, SpanInfo): it would look that one
  // up in the header all readers share.
  std::unique_ptr<Reader> openReader();

  // The file position where the stored bytes the entry needs end: its own
  // bytes in section 0, the end of the compressed frames that hold it in
  // the LZX section (known from an intact reset table). Empty when unknown.
  std::optional<std::uint64_t> dataEnd(const Entry& entry) const;

  // The help file's language: the LCID of the #SYSTEM stream's language
  // record when there is one, else the language field of the file header.
  std::uint32_t languageId();

  // The page a viewer opens first: the default topic of the #SYSTEM stream
  // (as the project file named it, e.g. "index.htm"); empty when there is
  // none.
  std::string defaultTopic();

 private:
  ChmArchive(std::string path, std::uint64_t fileSize);

  bool extractWith(Decoder& decoder, const Entry& entry, const ByteSink& sink) const;

  void prepareIo();
  void takeDirectory();
  std::uint64_t readSection1Length();
  void rebuildLostControlData();
  void readFrameStarts();
  std::optional<std::string> readSmallStream(const Entry& entry, std::size_t limit);

  std::string m_path;
  std::uint64_t m_fileSize = 0;
  // The decoder that opened the file, and the one extract() uses.
  std::unique_ptr<Decoder> m_main;
  mschmd_header* m_header = nullptr;
  std::vector<Entry> m_entries;
  std::vector<mschmd_file*> m_files;  // libmspack's record of each entry
  // Case-insensitive index of the entries by folded name, open addressing
  // with linear probing: a slot holds the folded name's hash and the
  // entry's position + 1 (0 for an empty slot). Names are folded on the
  // fly, so it holds no strings. Built on the first lookup of a name that
  // does not start with "::": opening a file looks up only the container's
  // bookkeeping, found among m_bookkeeping, and a listing needs no lookup.
  struct IndexSlot {
    std::uint32_t hash = 0;
    std::uint32_t entry = 0;
  };
  void buildIndex() const;
  mutable std::once_flag m_indexBuilt;
  mutable std::vector<IndexSlot> m_index;  // size a power of two, at most two thirds full
  std::vector<std::size_t> m_bookkeeping;  // positions of the entries named "::..."
  std::uint64_t m_section1Length = 0;  // uncompressed size of the LZX section
  // From an intact reset table: where each 32 KiB frame's compressed data
  // starts, relative to the compressed content at m_contentStart.
  std::vector<std::uint64_t> m_frameStarts;
  std::uint64_t m_contentStart = 0;
  std::optional<std::uint32_t> m_languageId;
};

}  // namespace velmora::platform
