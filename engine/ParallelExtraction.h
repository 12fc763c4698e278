#pragma once
// Copies streams to disk on several threads at once. The streams, in
// container order, are cut into segments of about the same work; each
// thread takes the next segment, copies its streams through a reader of
// its own, which starts decoding at the segment's first stream, and writes
// them through a DiskFileWriter below output folders all threads share.
//
// Nothing in the result depends on which thread copied what or when: each
// segment is decoded by a fresh reader whichever thread runs it, and the
// caller hands over only streams whose disk paths neither repeat (ignoring
// case) nor lie below one another, so every file is written on its own.
// A stream that cannot be read or written leaves no file, and its loss is
// reported as a copy on one thread reports it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/ExtractionLoss.h"
#include "engine/OutputPath.h"
#include "platform/storage/StorageService.h"

namespace velmora::engine {

class ParallelExtraction {
 public:
  struct Stream {
    platform::IStream* stream = nullptr;
    std::string strFile;  // disk path relative to the output folder
    std::uint64_t length = 0;
    std::size_t rank = 0;  // reported with a loss
  };
  using ReaderFactory = std::function<std::unique_ptr<platform::IStreamReader>()>;
  using ProgressHandler = std::function<void(std::uint64_t done, std::uint64_t total)>;

  // Counted as this many bytes of work per stream on top of its length:
  // making a file costs about as much as decoding a few kilobytes.
  static constexpr std::uint64_t kWorkPerFile = 4096;
  // Segments aim at this share of the whole work, and at no less work
  // than kMinSegmentWork: a fresh reader decodes up to one reset interval
  // before a segment's first stream.
  static constexpr std::uint64_t kSegmentsWanted = 48;
  static constexpr std::uint64_t kMinSegmentWork = 1u << 20;

  // Indexes into streams where segments start (the first is 0); fewer than
  // two when the work is too small to share.
  static std::vector<std::size_t> SegmentStarts(const std::vector<Stream>& streams);

  // True when no two paths are equal ignoring case and none is a folder
  // on the way to another: the files can then be written in any order.
  static bool PathsAreIndependent(const std::vector<const std::string*>& paths);

  // How many threads copy: the processors this process may run on, at
  // most kMaxThreads.
  static unsigned ThreadsToUse();
  static constexpr unsigned kMaxThreads = 4;

  // streams in container order. openReader is called on the copying
  // threads, once per segment. progress, when set, is called on the
  // calling thread at least every kProgressInterval with the bytes of the
  // streams done so far, and once at the end; an exception it throws stops
  // every thread (a file being written is dropped) and is raised again, as
  // is one on a copying thread.
  ParallelExtraction(OutputPath root, std::vector<Stream> streams, ReaderFactory openReader);
  void Run(unsigned threads, const ProgressHandler& progress);

  // After Run: rank and reason of every stream lost, by rank.
  const std::vector<std::pair<std::size_t, LossReason>>& Losses() const { return m_losses; }
  // After Run: how many files were put in place.
  std::size_t Written() const { return m_written; }

  static constexpr int kProgressIntervalMs = 50;

  // Makes starting a copying thread fail once count of them run, as when
  // the system refuses more threads, so tests can try that (kMaxThreads
  // restores it). With none started the calling thread copies alone.
  static void SetStartableThreads(unsigned count);

 private:
  OutputPath m_root;
  std::vector<Stream> m_streams;
  ReaderFactory m_openReader;
  std::vector<std::pair<std::size_t, LossReason>> m_losses;
  std::size_t m_written = 0;
};

}  // namespace velmora::engine
