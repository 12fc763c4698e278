#include "engine/cCHMParser.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>
#include <numeric>
#include <unordered_set>

#include "engine/ContentCategory.h"
#include "engine/SafeRelativePath.h"
#include "engine/DiskFileWriter.h"
#include "engine/FileWriterThread.h"
#include "engine/ParallelExtraction.h"
#include "engine/basVelmora.h"
#include "platform/storage/CaseFold.h"
#include "platform/storage/ChmStorageService.h"
#include "platform/storage/Prefault.h"

namespace velmora::engine {

using platform::ElementStat;
using platform::ElementType;
using platform::Failed;
using platform::IEnumElements;
using platform::IStorage;
using platform::IStream;
using platform::S_OK;

namespace {

constexpr std::int32_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
// The host gets a WriteProgress call at least this often while one stream
// is copied.
constexpr std::uint64_t kWriteProgressStep = 4u << 20;

// Keys compare as the storage layer compares names, so "\ÜBER.htm" finds
// "über.htm" as opening the stream by name would.
std::string FoldKey(const std::string& text) { return platform::FoldCase(text); }

// Record key: the storage path, "\" and the name; "\" and the name at the root.
std::string RecordKey(const std::string& strPath, const std::string& strName) { return strPath + "\\" + strName; }

// Counters are the caller's 32-bit numbers; they stop at the largest value
// instead of wrapping.
void Increment(std::int32_t& counter) {
  if (counter < kMaxInt32) ++counter;
}

class BusyGuard {
 public:
  explicit BusyGuard(bool& busy) : m_busy(busy) { m_busy = true; }
  ~BusyGuard() { m_busy = false; }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  bool& m_busy;
};

}  // namespace

struct cCHMParser::PlannedStream {
  std::unique_ptr<IStream> stream;
  std::string strKey;   // record key, for the report of a loss
  std::string strFile;  // disk path relative to the output folder
  std::uint64_t length = 0;
  std::uint64_t orderKey = 0;
};

struct cCHMParser::WalkState {
  std::int32_t udeCHMExtractType = 0;
  bool blnWrite = false;                        // an output folder was given
  std::unordered_set<std::string> contentKeys;  // type 2 entries, lower-cased
  cCHMItemCollection& colCHMItems;
  std::int32_t& lngPicCount;
  std::int32_t& lngHTMLCount;
  std::int32_t& lngMovieCount;
  std::int32_t& lngTotal;
  std::vector<PlannedStream> plan;  // in walk order
  // Streams that could not be opened during the walk, each with the number
  // of planned streams before it, so the report keeps walk order.
  std::vector<std::pair<std::size_t, LostItem>> lost;

  bool IsListed(const std::string& key) const { return contentKeys.count(FoldKey(key)) > 0; }
};

cCHMParser::cCHMParser() : m_factory(platform::DefaultStorageServiceFactory()) {}

cCHMParser::cCHMParser(platform::StorageServiceFactory factory) : m_factory(std::move(factory)) {}

bool cCHMParser::ParseCHM(const std::string& strCHMFile, const OutputPath& strOutputPath,
                          std::int32_t udeCHMExtractType, const std::vector<std::string>& strExtractContents,
                          cCHMItemCollection& colCHMItems, std::int32_t& lngPicCount, std::int32_t& lngHTMLCount,
                          std::int32_t& lngMovieCount, std::int32_t& lngTotal) {
  // Checked before anything is touched: the running call may be using the
  // very collection and counters passed here.
  if (m_busy) throw ParseError(ParseError::Kind::Busy, "another ParseCHM of this parser is running");
  BusyGuard guard(m_busy);
  m_lost.clear();
  m_written = 0;
  m_copiedInParallel = false;

  if (udeCHMExtractType != kExtractSingle) colCHMItems = cCHMItemCollection();
  if (!m_factory) return false;
  const std::unique_ptr<platform::IStorageService> service = m_factory();
  if (!service) return false;
  if (service->StgIsStorageFile(strCHMFile) != S_OK) return false;
  std::unique_ptr<IStorage> root;
  if (Failed(service->StgOpenStorage(strCHMFile, root)) || !root) {
    throw ParseError(ParseError::Kind::CannotOpen, "cannot open the CHM file " + strCHMFile);
  }

  std::string strPath;
  if (udeCHMExtractType == kExtractSingle) {
    if (strExtractContents.empty()) throw ParseError(ParseError::Kind::NoRecordKey, "no record key to extract");
    ExtractSingleItem(*root, strOutputPath.strPath, FoldKey(strExtractContents[0]), strPath);
    return true;
  }

  WalkState state{udeCHMExtractType, !strOutputPath.strPath.empty(), {}, colCHMItems, lngPicCount, lngHTMLCount,
                  lngMovieCount,     lngTotal,                        {}, {}};
  if (udeCHMExtractType == kExtractListed) {
    for (const auto& entry : strExtractContents) state.contentKeys.insert(FoldKey(entry));
  }
  colCHMItems.reserve(root->ElementCountHint());
  platform::PrefaultForWrite(colCHMItems.data(), colCHMItems.capacity() * sizeof(cCHMItemInfo));
  std::int32_t lngLevel = 1;
  WalkStorage(*root, std::string(), state, strPath, lngLevel, false);
  const auto losses = WritePlannedStreams(state.plan, strOutputPath, *root);
  // Both lists are in walk order; a stream lost in the walk comes before
  // the planned stream it has the place of.
  auto walkLoss = state.lost.begin();
  for (const auto& loss : losses) {
    for (; walkLoss != state.lost.end() && walkLoss->first <= loss.first; ++walkLoss) m_lost.push_back(walkLoss->second);
    m_lost.push_back({state.plan[loss.first].strKey, loss.second});
  }
  for (; walkLoss != state.lost.end(); ++walkLoss) m_lost.push_back(walkLoss->second);
  return true;
}

void cCHMParser::WalkStorage(IStorage& stg, const std::string& strFolder, WalkState& state, std::string& strPath,
                             std::int32_t& lngLevel, bool blnStorageSelected) {
  if (Failed(stg.Stat())) return;
  std::unique_ptr<IEnumElements> enumerator;
  if (Failed(stg.EnumElements(enumerator)) || !enumerator) return;
  if (Failed(enumerator->Reset())) return;
  // strFolder is relative to the output folder, "" at the top.
  const std::string folder = strFolder.empty() ? strFolder : AddBackslash(strFolder);
  const std::int32_t type = state.udeCHMExtractType;

  ElementStat stat;
  while (enumerator->Next(stat) == S_OK) {
    // stat is only filled again by the next call of Next.
    const std::string& name = stat.name;
    // Filled in place; the reference is not used once the walk goes on.
    cCHMItemInfo& record = state.colCHMItems.emplace_back();
    record.Name = name;
    record.Path = strPath;
    record.ExactSize = stat.size;
    record.Size = static_cast<std::int32_t>(std::min<std::uint64_t>(stat.size, kMaxInt32));
    record.Level = lngLevel;
    record.IsStorage = stat.type == ElementType::Storage;
    const std::int32_t lngSize = record.Size;
    Increment(state.lngTotal);

    if (stat.type == ElementType::Storage) {
      std::unique_ptr<IStorage> child;
      if (Failed(stg.OpenStorage(name, child)) || !child) return;
      const bool childSelected = blnStorageSelected ||
                                 (type == kExtractListed &&
                                  (state.IsListed(RecordKey(strPath, name)) || (strPath.empty() && state.IsListed(name))));
      const std::int32_t savedLevel = lngLevel;
      const std::string savedPath = strPath;
      ++lngLevel;
      strPath = strPath.empty() ? name : strPath + "\\" + name;
      WalkStorage(*child, folder + SafeRelativePath::Component(name), state, strPath, lngLevel, childSelected);
      strPath = savedPath;
      lngLevel = savedLevel;
    } else if (stat.type == ElementType::Stream) {
      bool selected = false;
      if (type == kExtractListed) {
        selected = blnStorageSelected || state.IsListed(RecordKey(strPath, name)) ||
                   (strPath.empty() && state.IsListed(name));
      }
      if (type == kExtractAll) selected = true;
      const ContentCategory category = CategoryOfExtension(basVelmora::GetFileExtension(name));
      if ((type == kExtractNone || (type & kExtractPages)) && !selected && category == ContentCategory::Page) {
        selected = true;
        Increment(state.lngHTMLCount);
      }
      if ((type == kExtractNone || (type & kExtractMultimedia)) && !selected &&
          category == ContentCategory::Multimedia) {
        selected = true;
        Increment(state.lngMovieCount);
      }
      if ((type == kExtractNone || (type & kExtractPictures)) && !selected && category == ContentCategory::Picture) {
        selected = true;
        Increment(state.lngPicCount);
      }
      if (selected && type == kExtractNone) continue;
      if (Progress) Progress(name, lngSize, type != kExtractNone);
      if (selected && state.blnWrite) {
        PlannedStream planned;
        if (Failed(stg.OpenStream(name, planned.stream)) || !planned.stream) {
          state.lost.emplace_back(state.plan.size(), LostItem{RecordKey(strPath, name), LossReason::Unreadable});
          return;
        }
        planned.length = planned.stream->Length();
        planned.orderKey = planned.stream->OrderKey();
        planned.strFile = folder + SafeRelativePath::Component(name);
        planned.strKey = RecordKey(strPath, name);
        state.plan.push_back(std::move(planned));
      }
    }
  }
}

std::vector<std::pair<std::size_t, LossReason>> cCHMParser::WritePlannedStreams(std::vector<PlannedStream>& plan,
                                                                               const OutputPath& strRoot,
                                                                               IStorage& root) {
  std::vector<std::pair<std::size_t, LossReason>> losses;
  if (plan.empty()) return losses;
  std::uint64_t total = 0;
  for (const auto& planned : plan) total += planned.length;

  // Container order makes the decompressor run forward only; equal keys
  // keep walk order.
  std::vector<std::size_t> order(plan.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&plan](std::size_t a, std::size_t b) { return plan[a].orderKey < plan[b].orderKey; });
  if (WriteInParallel(plan, order, strRoot, root, losses)) return losses;

  // The streams are decompressed here while a second thread creates,
  // writes and renames the files. Several streams can map to one disk
  // path; ranked by walk order, the one a write in walk order would leave
  // there remains: the last one written successfully.
  FileWriterThread writer(strRoot);
  std::vector<bool> readFailed(plan.size(), false);
  std::uint64_t done = 0;
  for (const std::size_t index : order) {
    PlannedStream& planned = plan[index];
    writer.Begin(std::move(planned.strFile), index);
    LossReason reason = LossReason::Damaged;
    const bool copied = CopyStream(
        *planned.stream,
        [&writer](const char* data, std::size_t size) {
          writer.Append(data, size);
          return true;
        },
        done, total, reason);
    writer.End(copied);
    if (!copied) {
      readFailed[index] = true;
      losses.emplace_back(index, reason);
    }
    planned.stream.reset();
    done += planned.length;
    if (WriteProgress) WriteProgress(done, total);
  }
  writer.Finish();
  m_written = writer.Written();

  // A stream that could not be read may also have failed on the writer's
  // side; the reading failure is the one reported.
  for (const auto& failure : writer.Failures()) {
    if (!readFailed[failure.first]) losses.push_back(failure);
  }
  std::stable_sort(losses.begin(), losses.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return losses;
}

bool cCHMParser::WriteInParallel(std::vector<PlannedStream>& plan, const std::vector<std::size_t>& order,
                                 const OutputPath& strRoot, IStorage& root,
                                 std::vector<std::pair<std::size_t, LossReason>>& losses) {
  if (!blnCopyInParallel) return false;
  // The disk paths are moved in only once the copy is sure to be shared.
  std::vector<ParallelExtraction::Stream> streams;
  streams.reserve(order.size());
  for (const std::size_t index : order) streams.push_back({plan[index].stream.get(), {}, plan[index].length, index});
  if (ParallelExtraction::SegmentStarts(streams).size() < 2) return false;
  std::vector<const std::string*> paths;
  paths.reserve(plan.size());
  for (const PlannedStream& planned : plan) paths.push_back(&planned.strFile);
  if (!ParallelExtraction::PathsAreIndependent(paths) || !root.OpenReader()) return false;
  for (ParallelExtraction::Stream& item : streams) item.strFile = std::move(plan[item.rank].strFile);

  ParallelExtraction extraction(strRoot, std::move(streams), [&root] { return root.OpenReader(); });
  extraction.Run(ParallelExtraction::ThreadsToUse(), WriteProgress);
  m_copiedInParallel = true;
  losses = extraction.Losses();
  m_written = extraction.Written();
  for (PlannedStream& planned : plan) planned.stream.reset();
  return true;
}

bool cCHMParser::CopyStream(IStream& stream, const platform::ByteSink& write, std::uint64_t done,
                            std::uint64_t total, LossReason& reason) {
  const std::uint64_t length = stream.Length();
  std::uint64_t copied = 0;
  std::uint64_t reported = 0;
  // An exception from write or from the host's handler must not cross the
  // storage layer (libmspack is C): it stops the copy and is raised again
  // once the copy has returned.
  std::exception_ptr error;
  bool refused = false;
  const auto sink = [&](const char* data, std::size_t size) {
    // A stream that delivers more than its length is damaged.
    if (size > length - copied) return false;
    try {
      if (!write(data, size)) {
        refused = true;
        return false;
      }
      copied += size;
      if (WriteProgress && copied - reported >= kWriteProgressStep) {
        reported = copied;
        WriteProgress(done + copied, total);
      }
    } catch (...) {
      error = std::current_exception();
      return false;
    }
    return true;
  };
  const platform::HResult hr = stream.CopyTo(sink);
  const bool complete = !Failed(hr) && copied == length;
  if (error) std::rethrow_exception(error);
  if (!complete && !refused) reason = hr == platform::E_READFAULT ? LossReason::Unreadable : LossReason::Damaged;
  return complete;
}

void cCHMParser::ExtractSingleItem(IStorage& stg, const std::string& strOutputFile, const std::string& strKey,
                                   std::string& strPath) {
  if (Failed(stg.Stat())) return;
  std::unique_ptr<IEnumElements> enumerator;
  if (Failed(stg.EnumElements(enumerator)) || !enumerator) return;
  if (Failed(enumerator->Reset())) return;

  ElementStat stat;
  while (enumerator->Next(stat) == S_OK) {
    const std::string name = stat.name;
    if (stat.type == ElementType::Storage) {
      std::unique_ptr<IStorage> child;
      if (Failed(stg.OpenStorage(name, child)) || !child) return;
      const std::string savedPath = strPath;
      strPath = strPath.empty() ? name : strPath + "\\" + name;
      ExtractSingleItem(*child, strOutputFile, strKey, strPath);
      strPath = savedPath;
    } else if (stat.type == ElementType::Stream && FoldKey(RecordKey(strPath, name)) == strKey) {
      const std::string key = RecordKey(strPath, name);
      std::unique_ptr<IStream> stream;
      if (Failed(stg.OpenStream(name, stream)) || !stream) {
        m_lost.push_back({key, LossReason::Unreadable});
        return;
      }
      // A path without any "/" has no parent folder to write into. The
      // file's folder is the user's choice and is opened as given. An
      // empty stream gives an empty file.
      const std::uint64_t length = stream->Length();
      const auto slash = strOutputFile.rfind('/');
      if (slash == std::string::npos) return;
      DiskFileWriter disk(slash == 0 ? std::string("/") : strOutputFile.substr(0, slash));
      if (!disk.Begin(strOutputFile.substr(slash + 1))) {
        m_lost.push_back({key, disk.LastReason()});
        return;
      }
      LossReason reason = LossReason::Damaged;
      bool writeFailed = false;
      const bool copied = CopyStream(
          *stream,
          [&disk, &writeFailed](const char* data, std::size_t size) {
            writeFailed = !disk.Write(data, size);
            return !writeFailed;
          },
          0, length, reason);
      if (disk.End(copied)) {
        m_written = 1;
      } else {
        m_lost.push_back({key, copied || writeFailed ? disk.LastReason() : reason});
      }
      return;  // no other stream can have the same key
    }
  }
}

std::string cCHMParser::AddBackslash(const std::string& strText) {
  return (!strText.empty() && strText.back() == '/') ? strText : strText + "/";
}

}  // namespace velmora::engine
