#include "engine/ParallelExtraction.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <string_view>
#include <unordered_set>

#include "engine/DiskFileWriter.h"
#include "engine/OutputFolders.h"
#include "platform/storage/CaseFold.h"

namespace velmora::engine {

using platform::Failed;
using platform::HResult;
using platform::IStreamReader;

namespace {

// What the copying threads share. Each thread keeps its own losses and
// count, so nothing but the counters below is written by two threads.
struct Shared {
  struct Outcome {
    std::vector<std::pair<std::size_t, LossReason>> losses;
    std::size_t written = 0;
  };

  std::shared_ptr<OutputFolders> folders;
  std::vector<std::size_t> bounds;  // segment starts, then streams.size()
  std::atomic<std::size_t> nextSegment{0};
  std::atomic<std::uint64_t> done{0};
  std::atomic<bool> stop{false};
  // A segment whose reader could not be made copies through the streams'
  // own decoder, one thread at a time.
  std::mutex ownDecoder;

  std::mutex mutex;
  std::condition_variable changed;
  unsigned running = 0;
  std::exception_ptr error;
};

using Stream = ParallelExtraction::Stream;

// Copies one stream into its file. The whole stream is decoded even when
// writing failed, so a stream that is also damaged is reported as damaged,
// as a copy on one thread reports it.
void CopyOne(const Stream& item, IStreamReader* reader, std::mutex& ownDecoder, DiskFileWriter& disk,
             const std::atomic<bool>& stop, Shared::Outcome& outcome) {
  const bool begun = disk.Begin(item.strFile);
  bool writeFailed = !begun;
  LossReason writeReason = begun ? LossReason::WriteFailed : disk.LastReason();
  std::uint64_t copied = 0;
  const platform::ByteSink sink = [&](const char* data, std::size_t size) {
    // A stream that delivers more than its length is damaged.
    if (stop.load(std::memory_order_relaxed) || size > item.length - copied) return false;
    if (!writeFailed && !disk.Write(data, size)) {
      writeFailed = true;
      writeReason = disk.LastReason();
    }
    copied += size;
    return true;
  };
  HResult hr;
  if (reader) {
    hr = reader->CopyTo(*item.stream, sink);
  } else {
    const std::lock_guard<std::mutex> lock(ownDecoder);
    hr = item.stream->CopyTo(sink);
  }
  if (stop.load()) {
    disk.End(false);
    return;
  }
  if (Failed(hr) || copied != item.length) {
    disk.End(false);
    outcome.losses.emplace_back(item.rank, hr == platform::E_READFAULT ? LossReason::Unreadable : LossReason::Damaged);
  } else if (writeFailed) {
    disk.End(false);
    outcome.losses.emplace_back(item.rank, writeReason);
  } else if (disk.End(true)) {
    ++outcome.written;
  } else {
    outcome.losses.emplace_back(item.rank, disk.LastReason());
  }
}

// Starting threads fails once this many run, as when the system refuses
// more (see SetStartableThreads).
std::atomic<unsigned> g_startable{ParallelExtraction::kMaxThreads};

// afterStream, when set, is called after each stream with whether it ended
// a segment.
void CopySegments(Shared& shared, const std::vector<Stream>& streams, const ParallelExtraction::ReaderFactory& open,
                  Shared::Outcome& outcome, const std::function<void(bool)>& afterStream = nullptr) {
  DiskFileWriter disk(shared.folders);
  const std::size_t segments = shared.bounds.size() - 1;
  for (;;) {
    const std::size_t segment = shared.nextSegment++;
    if (segment >= segments || shared.stop.load()) break;
    // Always a fresh reader, even when this thread has just copied the
    // segment before: a segment then decodes alike whichever thread runs
    // it, also from damaged data.
    const std::unique_ptr<IStreamReader> reader = open ? open() : nullptr;
    for (std::size_t i = shared.bounds[segment]; i < shared.bounds[segment + 1] && !shared.stop.load(); ++i) {
      CopyOne(streams[i], reader.get(), shared.ownDecoder, disk, shared.stop, outcome);
      shared.done += streams[i].length;
      if (afterStream) afterStream(i + 1 == shared.bounds[segment + 1]);
    }
  }
}

}  // namespace

std::vector<std::size_t> ParallelExtraction::SegmentStarts(const std::vector<Stream>& streams) {
  std::uint64_t work = 0;
  for (const Stream& item : streams) work += item.length + kWorkPerFile;
  const std::uint64_t segmentWork = std::max(kMinSegmentWork, work / kSegmentsWanted);
  std::vector<std::size_t> starts{0};
  std::uint64_t inSegment = 0;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (inSegment >= segmentWork) {
      starts.push_back(i);
      inSegment = 0;
    }
    inSegment += streams[i].length + kWorkPerFile;
  }
  if (starts.size() < 2) starts.resize(streams.empty() ? 0 : 1);
  return starts;
}

bool ParallelExtraction::PathsAreIndependent(const std::vector<const std::string*>& paths) {
  std::vector<std::string> folded;
  folded.reserve(paths.size());
  for (const std::string* path : paths) folded.push_back(platform::FoldCase(*path));
  std::unordered_set<std::string_view> files;
  files.reserve(folded.size());
  for (const std::string& path : folded) {
    if (!files.insert(path).second) return false;
  }
  // Only the folders on the way matter, and neighbours mostly share them.
  std::string_view checkedFolder;
  bool anyChecked = false;
  for (const std::string_view path : folded) {
    const std::size_t last = path.rfind('/');
    const std::string_view folder = last == std::string_view::npos ? std::string_view() : path.substr(0, last);
    if (anyChecked && folder == checkedFolder) continue;
    for (std::size_t slash = path.find('/'); slash != std::string_view::npos; slash = path.find('/', slash + 1)) {
      if (files.count(path.substr(0, slash)) > 0) return false;
    }
    checkedFolder = folder;
    anyChecked = true;
  }
  return true;
}

unsigned ParallelExtraction::ThreadsToUse() {
  int count = 0;
#ifdef __linux__
  // The processors this process may run on (taskset, cgroups' cpusets),
  // not every processor of the machine.
  cpu_set_t set;
  CPU_ZERO(&set);
  if (::sched_getaffinity(0, sizeof set, &set) == 0) count = CPU_COUNT(&set);
#endif
  if (count <= 0) count = static_cast<int>(std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::clamp(count, 1, static_cast<int>(kMaxThreads)));
}

void ParallelExtraction::SetStartableThreads(unsigned count) { g_startable = count; }

ParallelExtraction::ParallelExtraction(OutputPath root, std::vector<Stream> streams, ReaderFactory openReader)
    : m_root(std::move(root)), m_streams(std::move(streams)), m_openReader(std::move(openReader)) {}

void ParallelExtraction::Run(unsigned threads, const ProgressHandler& progress) {
  m_losses.clear();
  m_written = 0;
  if (m_streams.empty()) return;
  Shared shared;
  shared.folders = std::make_shared<OutputFolders>(m_root);
  shared.bounds = SegmentStarts(m_streams);
  shared.bounds.push_back(m_streams.size());
  std::uint64_t total = 0;
  for (const Stream& item : m_streams) total += item.length;
  threads = std::clamp<unsigned>(threads, 1, static_cast<unsigned>(shared.bounds.size() - 1));

  std::vector<Shared::Outcome> outcomes(threads);
  std::vector<std::thread> pool;
  pool.reserve(threads);
  const auto work = [&](Shared::Outcome& outcome) {
    try {
      CopySegments(shared, m_streams, m_openReader, outcome);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(shared.mutex);
      if (!shared.error) shared.error = std::current_exception();
      shared.stop = true;
    }
    const std::lock_guard<std::mutex> lock(shared.mutex);
    --shared.running;
    shared.changed.notify_all();
  };
  const auto joinAll = [&pool] {
    for (std::thread& thread : pool) {
      if (thread.joinable()) thread.join();
    }
  };
  try {
    for (unsigned t = 0; t < threads; ++t) {
      {
        const std::lock_guard<std::mutex> lock(shared.mutex);
        ++shared.running;
      }
      try {
        if (t >= g_startable.load()) {
          throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        }
        pool.emplace_back(work, std::ref(outcomes[t]));
      } catch (const std::system_error&) {
        // No more threads: the ones started take every segment, or the
        // calling thread does when none started.
        const std::lock_guard<std::mutex> lock(shared.mutex);
        --shared.running;
        break;
      }
    }
    if (pool.empty()) {
      // The calling thread copies every segment itself, and still reports
      // progress (after each segment, and between streams at least every
      // kProgressInterval), so a handler can show it or stop the copy.
      auto last = std::chrono::steady_clock::now();
      const auto report = [&](bool segmentEnded) {
        const auto now = std::chrono::steady_clock::now();
        if (!progress || (!segmentEnded && now - last < std::chrono::milliseconds(kProgressIntervalMs))) return;
        last = now;
        progress(shared.done.load(), total);
      };
      CopySegments(shared, m_streams, m_openReader, outcomes[0], report);
    }
    std::unique_lock<std::mutex> lock(shared.mutex);
    while (shared.running > 0) {
      shared.changed.wait_for(lock, std::chrono::milliseconds(kProgressIntervalMs));
      lock.unlock();
      if (progress) progress(shared.done.load(), total);
      lock.lock();
    }
  } catch (...) {
    shared.stop = true;
    joinAll();
    throw;
  }
  joinAll();
  if (shared.error) std::rethrow_exception(shared.error);
  for (const Shared::Outcome& outcome : outcomes) {
    m_losses.insert(m_losses.end(), outcome.losses.begin(), outcome.losses.end());
    m_written += outcome.written;
  }
  std::sort(m_losses.begin(), m_losses.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  if (progress) progress(shared.done.load(), total);
}

}  // namespace velmora::engine
