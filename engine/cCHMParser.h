#pragma once
// The content walker: opens a CHM file through the storage service, records
// one cCHMItemInfo per element in depth-first pre-order, counts pages,
// pictures and multimedia, and writes the selected streams to disk.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/ExtractionLoss.h"
#include "engine/OutputPath.h"
#include "engine/cCHMItemInfo.h"
#include "platform/storage/StorageService.h"

namespace velmora::engine {

// Extract types: 0 list only, 1 everything, 2 listed record keys / names,
// 4 pictures, 8 pages, 16 multimedia (4, 8, 16 combine as bits),
// 32 one stream (by record key) to one file.
enum : std::int32_t {
  kExtractNone = 0,
  kExtractAll = 1,
  kExtractListed = 2,
  kExtractPictures = 4,
  kExtractPages = 8,
  kExtractMultimedia = 16,
  kExtractSingle = 32,
};

// Thrown by ParseCHM when a recognised CHM cannot be opened, when a call is
// made while another ParseCHM of the same parser runs, or when type 32 is
// given no record key.
class ParseError : public std::runtime_error {
 public:
  enum class Kind { CannotOpen, Busy, NoRecordKey };
  ParseError(Kind kind, const std::string& what) : std::runtime_error(what), m_kind(kind) {}
  Kind kind() const { return m_kind; }

 private:
  Kind m_kind;
};

class cCHMParser {
 public:
  // Raised once per stream in walk order (see ParseCHM).
  using ProgressHandler = std::function<void(const std::string& strName, std::int32_t lngSize, bool blnExtract)>;
  // Raised regularly while the selected streams are written, so the host can
  // repaint: bytes written so far and the total to write.
  using WriteProgressHandler = std::function<void(std::uint64_t done, std::uint64_t total)>;

  cCHMParser();  // uses the libmspack storage service
  explicit cCHMParser(platform::StorageServiceFactory factory);

  ProgressHandler Progress;
  WriteProgressHandler WriteProgress;
  // Lets ParseCHM copy the selected streams on several threads when the
  // storage file offers readers (see ParseCHM); false keeps every copy on
  // the calling thread.
  bool blnCopyInParallel = true;

  // Writing: the walk first records, counts and reports every element and
  // collects the selected streams; they are then written in container order
  // (IStream::OrderKey) with the same end result as writing them in walk
  // order. Each disk name is the stored name made safe by SafeRelativePath,
  // each file appears complete or not at all (an empty stream as an empty
  // file), nothing is written through a symbolic link below the output
  // folder, a made-up output folder is never a link (OutputPath), and an
  // empty strOutputPath writes nothing. Keys of types 2 and 32 compare with the storage layer's
  // case folding (platform::FoldCase). Type 2 selects a stream when an entry
  // equals, ignoring case, its record key ("\a.htm", "html\a.htm") or, at
  // the root, its bare name; an entry equal to a storage's record key ("\html",
  // "html\images") or, at the root, its bare name ("html") selects every
  // stream below that storage.
  //
  // When the storage file offers readers (IStorage::OpenReader), the plan
  // holds enough work to share and no two disk paths clash (equal ignoring
  // case, or one a folder on the way to the other), the streams are copied
  // on as many threads as the process has processors (ParallelExtraction),
  // with the same end result and loss report. Otherwise they are
  // decompressed on the calling thread while one background thread creates
  // the folders and files and writes them. Either way Progress and
  // WriteProgress stay on the calling thread, and ParseCHM returns (or
  // throws) only after every other thread has finished. Type 32 writes on
  // the calling thread alone.
  //
  // Returns false when no storage service exists or the file is not a CHM
  // (missing, empty, another format). Throws ParseError as described above.
  // Counters are only ever added to. For every type but 32, colCHMItems is
  // replaced by the items of this walk.
  bool ParseCHM(const std::string& strCHMFile, const OutputPath& strOutputPath,
                std::int32_t udeCHMExtractType, const std::vector<std::string>& strExtractContents,
                cCHMItemCollection& colCHMItems, std::int32_t& lngPicCount, std::int32_t& lngHTMLCount,
                std::int32_t& lngMovieCount, std::int32_t& lngTotal);

  bool IsBusy() const { return m_busy; }

  // What the last ParseCHM could not write, in walk order: every selected
  // stream that could not be opened, read, decompressed (a decoder error
  // anywhere in the stream, or a length other than the declared one) or
  // written (see DiskFileWriter). Such a stream leaves no file behind, not
  // even a partial one. Cleared by every call.
  const std::vector<LostItem>& LostItems() const { return m_lost; }
  // How many files the last ParseCHM wrote.
  std::size_t WrittenCount() const { return m_written; }
  // Whether the last ParseCHM copied its streams on several threads.
  bool CopiedInParallel() const { return m_copiedInParallel; }

 private:
  struct PlannedStream;
  struct WalkState;

  // One level of the walk: records, counts and reports the storage's
  // elements and plans the writes of the selected streams. strFolder is the
  // disk folder of the storage's streams; blnStorageSelected is true below a
  // storage selected by type 2.
  void WalkStorage(platform::IStorage& stg, const std::string& strFolder, WalkState& state, std::string& strPath,
                   std::int32_t& lngLevel, bool blnStorageSelected);
  // One level of the search for the type 32 stream (strKey lower-cased).
  void ExtractSingleItem(platform::IStorage& stg, const std::string& strOutputFile, const std::string& strKey,
                         std::string& strPath);
  // Writes the planned streams in container order below strRoot; returns
  // the plan index and reason of every stream lost, by plan index. The
  // streams are copied on several threads when the storage file offers
  // readers (root.OpenReader), the plan is large enough to share and its
  // disk paths are independent of each other.
  std::vector<std::pair<std::size_t, LossReason>> WritePlannedStreams(std::vector<PlannedStream>& plan,
                                                                      const OutputPath& strRoot,
                                                                      platform::IStorage& root);
  // The parallel copy; false, with nothing done, when it does not apply.
  bool WriteInParallel(std::vector<PlannedStream>& plan, const std::vector<std::size_t>& order,
                       const OutputPath& strRoot, platform::IStorage& root,
                       std::vector<std::pair<std::size_t, LossReason>>& losses);
  // Hands the whole stream to write; true when it delivered exactly its
  // length and write accepted every byte. Otherwise reason says why, unless
  // write refused (its caller knows why then). done and total are the write
  // phase's figures before this stream, passed on to WriteProgress.
  // Exceptions of write and WriteProgress are raised again after the
  // storage layer has returned.
  bool CopyStream(platform::IStream& stream, const platform::ByteSink& write, std::uint64_t done,
                  std::uint64_t total, LossReason& reason);

  // The text with the on-disk separator "/" at its end.
  static std::string AddBackslash(const std::string& strText);

  platform::StorageServiceFactory m_factory;
  bool m_busy = false;
  std::vector<LostItem> m_lost;
  std::size_t m_written = 0;
  bool m_copiedInParallel = false;
};

}  // namespace velmora::engine
