// libFuzzer target: treats its input as a CHM file and does with it what
// Velmora does with one. It opens the file through the storage service,
// walks every storage and reads every stream as the walker does, looks up a
// few names by key and with letter case changed, lists it with the walker
// and extracts everything (and one stream by record key) into a fresh
// folder. Besides the sanitizers, it aborts (a finding) when the layers
// disagree with their own contracts:
// - a stream that copies successfully delivers exactly its length;
// - every element the enumerator lists opens by its name;
// - a case-changed name finds an entry of the same folded name;
// - the walker's records are the enumerated elements, in order;
// - extraction leaves nothing outside its output folder, creates only
//   folders and regular files there, and every file holds the complete bytes
//   of some stream;
// - the help file's contents and index (and the input itself read as a
//   sitemap) come out as a tree: no level more than one deeper than the
//   entry before, no more entries than the bound, and every page target a
//   clean path inside the file.
// Work per input is bounded: per pass at most kDecodeBudget bytes of streams
// and kLzxBudget of LZX work, and at most kMaxFiles streams extracted.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "engine/cCHMParser.h"
#include "engine/help/HelpListing.h"
#include "platform/storage/CaseFold.h"
#include "platform/storage/ChmArchive.h"
#include "platform/storage/ChmStorageService.h"

namespace fs = std::filesystem;
using namespace velmora;

namespace {

// Bytes of streams one pass may take before it stops, so large declared
// sizes do not stall the fuzzer. The walker is stopped at its first progress
// report past the budget (at most 4 MiB later).
constexpr std::uint64_t kDecodeBudget = 4u << 20;
// LZX work one pass may ask of libmspack: the bytes it is asked to decode,
// counting those it decodes only to reach a stream's offset, plus
// kLzxStartCost for every fresh start of the decoder. After a decoding error
// libmspack starts afresh from a reset point for every later stream (from
// the start of the section when the reset table is damaged), allocating its
// window and decoding at least a frame each time, so a small file can make
// it work far more than it delivers. libmspack decodes about 10 MB/s under
// the sanitizers and coverage tracing, and a fresh start costs about 2 ms;
// three passes of this budget stay well inside the 2 s allowed per input.
[[maybe_unused]] constexpr std::int64_t kLzxBudget = 2 << 20;
[[maybe_unused]] constexpr std::int64_t kLzxStartCost = 64 << 10;
// More streams than this and the extraction is skipped: creating
// tens of thousands of files would exceed the time per input.
constexpr std::size_t kMaxFiles = 2000;
// Case-changed lookups per storage: each scans the storage's elements.
constexpr std::size_t kCaseLookups = 16;
// Depth of the folders around the output folder, each checked to hold only
// the next one afterwards.
constexpr int kSandboxDepth = 6;

#if VELMORA_FUZZ_COUNT_LZX
// libmspack's CHM reader calls lzxd_init to start the decoder and
// lzxd_decompress(state, n) to decode the next n bytes of the LZX section;
// the link wraps both calls (--wrap) so every pass can be held to
// kLzxBudget. A request past the budget fails as a decoding error would, the
// same way in every pass that makes it.
std::int64_t g_lzxLeft = kLzxBudget;
void ResetLzxBudget() { g_lzxLeft = kLzxBudget; }
#else
// libmspack is the system's shared library: its internal calls cannot be
// counted, and only the delivered bytes are bounded.
void ResetLzxBudget() {}
#endif

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "velmora-fuzz: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

void Check(bool condition, const std::string& what) {
  if (!condition) Fail(what);
}

// FNV-1a, fed chunk by chunk. Left without coverage tracing: its loop
// runs over every decoded byte and has no branches worth exploring.
struct Hash {
  std::uint64_t value = 1469598103934665603ull;
  __attribute__((no_sanitize("coverage"))) void add(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      value ^= static_cast<unsigned char>(data[i]);
      value *= 1099511628211ull;
    }
  }
};

struct Element {
  std::string name;
  std::string path;  // storages above, joined by "\"
  bool isStorage = false;
  std::uint64_t size = 0;
  std::int32_t level = 0;
};

struct PlannedRead {
  std::unique_ptr<platform::IStream> stream;
  std::uint64_t length = 0;
  std::uint64_t orderKey = 0;
  std::string recordKey;
};

struct StoragePass {
  std::vector<Element> elements;     // walk order
  std::vector<PlannedRead> streams;  // walk order
  std::set<std::pair<std::uint64_t, std::uint64_t>> contents;  // (length, hash) of streams read whole
  bool everyStreamRead = true;       // no stream failed and the budget held
  std::uint64_t decoded = 0;         // bytes delivered by all streams
  std::uint64_t declaredTotal = 0;
};

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string UpperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool PrintableAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// The walker's walk over the storage interfaces: every element recorded,
// every storage entered, every stream opened by its name.
void WalkStorage(platform::IStorage& storage, const std::string& path, std::int32_t level, StoragePass& pass) {
  if (platform::Failed(storage.Stat())) return;
  std::unique_ptr<platform::IEnumElements> elements;
  if (platform::Failed(storage.EnumElements(elements)) || !elements) return;
  if (platform::Failed(elements->Reset())) return;
  std::set<std::string> streamNames;
  std::size_t caseLookups = 0;
  platform::ElementStat stat;
  while (elements->Next(stat) == platform::S_OK) {
    pass.elements.push_back({stat.name, path, stat.type == platform::ElementType::Storage, stat.size, level});
    const std::string recordKey = path + "\\" + stat.name;
    if (stat.type == platform::ElementType::Storage) {
      std::unique_ptr<platform::IStorage> child;
      Check(!platform::Failed(storage.OpenStorage(stat.name, child)) && child,
            "a listed storage does not open by its name: " + recordKey);
      // A case-changed name opens a storage too.
      if (caseLookups < kCaseLookups && PrintableAscii(stat.name)) {
        ++caseLookups;
        std::unique_ptr<platform::IStorage> other;
        Check(!platform::Failed(storage.OpenStorage(UpperAscii(stat.name), other)) && other,
              "a listed storage does not open by its upper-case name: " + recordKey);
      }
      WalkStorage(*child, path.empty() ? stat.name : path + "\\" + stat.name, level + 1, pass);
    } else if (stat.type == platform::ElementType::Stream) {
      PlannedRead read;
      Check(!platform::Failed(storage.OpenStream(stat.name, read.stream)) && read.stream,
            "a listed stream does not open by its name: " + recordKey);
      // A name listed twice opens the first of them.
      if (streamNames.insert(stat.name).second) {
        Check(read.stream->Length() == stat.size, "a stream's length differs from its listed size: " + recordKey);
      }
      if (caseLookups < kCaseLookups && PrintableAscii(stat.name)) {
        ++caseLookups;
        std::unique_ptr<platform::IStream> other;
        Check(!platform::Failed(storage.OpenStream(UpperAscii(stat.name), other)) && other,
              "a listed stream does not open by its upper-case name: " + recordKey);
      }
      read.length = read.stream->Length();
      read.orderKey = read.stream->OrderKey();
      read.recordKey = recordKey;
      pass.declaredTotal += read.length;
      pass.streams.push_back(std::move(read));
    }
  }
}

// Opens the file through the storage service, records the walk and reads
// every stream, empty ones too, in the order the walker writes them (container
// order, ties in walk order), so the decoder sees the same calls as during
// the extraction and the two give the same bytes.
StoragePass ReadThroughStorage(const std::string& file) {
  StoragePass pass;
  ResetLzxBudget();
  const auto service = platform::MakeChmStorageService();
  if (service->StgIsStorageFile(file) != platform::S_OK) return pass;
  std::unique_ptr<platform::IStorage> root;
  if (platform::Failed(service->StgOpenStorage(file, root)) || !root) return pass;
  WalkStorage(*root, "", 1, pass);

  std::vector<std::size_t> order(pass.streams.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&pass](std::size_t a, std::size_t b) { return pass.streams[a].orderKey < pass.streams[b].orderKey; });
  std::uint64_t decoded = 0;
  bool budgetHit = false;
  for (const std::size_t index : order) {
    PlannedRead& read = pass.streams[index];
    std::uint64_t copied = 0;
    Hash hash;
    const auto sink = [&](const char* data, std::size_t size) {
      Check(size <= read.length - copied, "a stream delivers more than its length: " + read.recordKey);
      if (decoded + size > kDecodeBudget) {
        budgetHit = true;
        return false;
      }
      decoded += size;
      copied += size;
      hash.add(data, size);
      return true;
    };
    const bool ok = !platform::Failed(read.stream->CopyTo(sink));
    if (ok) {
      Check(copied == read.length, "a stream copied successfully without all its bytes: " + read.recordKey);
      pass.contents.insert({copied, hash.value});
    } else {
      pass.everyStreamRead = false;
    }
    read.stream.reset();
    // Every later stream would make libmspack decode up to its offset again
    // without delivering anything, at no cost to the budget.
    if (budgetHit) break;
  }
  pass.decoded = budgetHit ? kDecodeBudget + 1 : decoded;
  return pass;
}

// ChmArchive directly: the directory, lookups by key and the language.
void LookUpKeys(const std::string& file) {
  platform::ChmArchive::OpenResult result;
  ResetLzxBudget();
  const auto archive = platform::ChmArchive::Open(file, result);
  if (!archive) return;
  (void)archive->languageId();
  for (const char* key : {"/#SYSTEM", "#strings", "/$FIftiMain", "/#TOPICS", "::DataSpace/NameList", "/",
                          "", "/missing-name.htm"}) {
    if (const auto* entry = archive->find(key)) {
      Check(platform::FoldCase(entry->name) == platform::FoldCase(std::string(key).substr(key[0] == '/' ? 1 : 0)),
            std::string("find returned an entry of another name for ") + key);
    }
  }
  std::size_t tried = 0;
  for (const auto& entry : archive->entries()) {
    if (tried == 16) break;
    if (entry.name.empty() || entry.name[0] == '/' || !PrintableAscii(entry.name)) continue;
    ++tried;
    for (const std::string& key : {entry.name, UpperAscii(entry.name), "/" + UpperAscii(entry.name)}) {
      const auto* found = archive->find(key);
      Check(found != nullptr, "find misses a listed entry: " + key);
      Check(platform::FoldCase(found->name) == platform::FoldCase(entry.name),
            "find returned an entry of another name for " + key);
    }
  }
}

// Levels that make a tree, bounds kept.
template <typename Entries>
void CheckTreeShape(const Entries& entries, const char* what) {
  Check(entries.size() <= help::kMaxSitemapEntries, std::string(what) + ": more entries than the bound");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::uint32_t limit = i == 0 ? 0 : entries[i - 1].level + 1;
    Check(entries[i].level <= std::min(limit, help::kMaxSitemapLevel), std::string(what) + ": a level jumps");
  }
}

// A page target's path: "/", or "/" and segments, none empty, "." or "..".
void CheckInside(const help::Target& target) {
  if (target.kind != help::Target::Kind::Page) return;
  const std::string& path = target.path;
  Check(!path.empty() && path[0] == '/', "a target path does not start at the top: " + path);
  if (path == "/") return;
  for (std::size_t start = 1; start <= path.size();) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string segment = path.substr(start, end - start);
    Check(!segment.empty() && segment != "." && segment != "..", "a target path leaves its folder: " + path);
    start = end + 1;
  }
}

// The reader's view of the file: #SYSTEM facts, contents and index with
// their targets; and the input's bytes read as a sitemap in two code pages.
void ReadAsHelp(const std::string& file, const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const char* codePage : {"GBK", "CP1252"}) CheckTreeShape(help::ParseSitemap(bytes, codePage).entries, "input");

  platform::ChmArchive::OpenResult result;
  ResetLzxBudget();
  const auto help = help::HelpFile::Open(file, result);
  if (!help) return;
  CheckInside(help->Resolve(help->facts().defaultTopic, "/"));
  help::HelpFolder folder(fs::path(file).parent_path().string());
  for (const auto kind : {help::SitemapKind::Contents, help::SitemapKind::Index}) {
    const std::string& stored =
        kind == help::SitemapKind::Contents ? help->facts().contentsFile : help->facts().indexFile;
    const auto* entry = stored.empty() ? nullptr : help->archive().find(stored);
    if (!entry || entry->length > kDecodeBudget) continue;
    ResetLzxBudget();
    const auto listing = help::ListSitemap(*help, folder, kind);
    if (!listing) continue;
    CheckTreeShape(listing->entries, "listing");
    for (const auto& listed : listing->entries) {
      for (const auto& topic : listed.topics) CheckInside(topic.target);
    }
  }
}

// Thrown from the walker's progress handler to end an extraction that has
// gone past the budget.
struct BudgetExceeded {};

// Fails when the folder holds anything but the expected names.
void CheckOnlyChild(const fs::path& folder, const std::set<std::string>& expected) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    Check(expected.count(name) == 1, "extraction created something outside its folder: " + it->path().string());
  }
  Check(!error, "cannot list " + folder.string());
}

// Folders and regular files only; every file's bytes must be a whole
// stream when the storage pass read every stream.
void CheckOutput(const fs::path& out, const StoragePass& pass, std::size_t& files) {
  std::error_code error;
  fs::recursive_directory_iterator it(out, fs::directory_options::none, error), end;
  for (; !error && it != end; it.increment(error)) {
    const fs::file_status status = it->symlink_status();
    Check(!fs::is_symlink(status), "extraction created a symbolic link: " + it->path().string());
    if (fs::is_directory(status)) continue;
    Check(fs::is_regular_file(status), "extraction created a special file: " + it->path().string());
    ++files;
    if (!pass.everyStreamRead) continue;
    std::ifstream in(it->path(), std::ios::binary);
    Hash hash;
    std::uint64_t length = 0;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
      hash.add(buffer, static_cast<std::size_t>(in.gcount()));
      length += static_cast<std::uint64_t>(in.gcount());
    }
    Check(pass.contents.count({length, hash.value}) == 1,
          "an extracted file is not the complete bytes of any stream: " + it->path().string());
  }
  Check(!error, "cannot list the extracted files below " + out.string());
}

void Walk(const std::string& file, const StoragePass& pass, const fs::path& sandbox) {
  engine::cCHMParser parser;
  engine::cCHMItemCollection items;
  std::int32_t pictures = 0, pages = 0, movies = 0, total = 0;
  bool recognised = false;
  try {
    recognised = parser.ParseCHM(file, "", engine::kExtractNone, {}, items, pictures, pages, movies, total);
  } catch (const engine::ParseError& error) {
    Check(error.kind() == engine::ParseError::Kind::CannotOpen, std::string("unexpected walker error: ") + error.what());
    Check(pass.elements.empty(), "the walker cannot open what the storage service opened");
    return;
  }
  if (!recognised) {
    Check(pass.elements.empty(), "the walker rejects what the storage service opened");
    return;
  }

  // The list is the enumerated elements, in walk order.
  Check(items.size() == pass.elements.size(), "the walker's records differ in number from the elements");
  Check(total == static_cast<std::int32_t>(std::min<std::size_t>(items.size(), INT32_MAX)),
        "the walker's total differs from its records");
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& item = items[i];
    const Element& element = pass.elements[i];
    Check(item.Name == element.name && item.Path == element.path && item.IsStorage == element.isStorage &&
              item.ExactSize == element.size && item.Level == element.level,
          "the walker's record differs from the element: " + element.path + "\\" + element.name);
  }
  if (pass.streams.size() > kMaxFiles) return;

  // Everything, into a fresh folder at the bottom of a chain of folders.
  fs::path deepest = sandbox;
  for (int i = 0; i < kSandboxDepth; ++i) deepest /= "d" + std::to_string(i);
  const fs::path out = deepest / "out";
  std::error_code error;
  fs::create_directories(deepest, error);
  Check(!error, "cannot create " + deepest.string());
  parser.WriteProgress = [](std::uint64_t done, std::uint64_t) {
    if (done > kDecodeBudget) throw BudgetExceeded{};
  };
  bool finished = false;
  ResetLzxBudget();
  try {
    finished = parser.ParseCHM(file, out.string(), engine::kExtractAll, {}, items, pictures, pages, movies, total);
  } catch (const BudgetExceeded&) {
  }
  Check(finished || pass.declaredTotal > kDecodeBudget, "an extraction within the budget did not finish");

  // One stream by its record key, beside the output folder. The walker
  // takes the first stream in walk order whose key matches ignoring ASCII
  // case; the file, if any, holds its whole length.
  std::uint64_t singleLength = 0;
  if (!pass.streams.empty()) {
    const std::string key = LowerAscii(pass.streams.front().recordKey);
    for (const Element& element : pass.elements) {
      if (!element.isStorage && LowerAscii(element.path + "\\" + element.name) == key) {
        singleLength = element.size;
        break;
      }
    }
  }
  if (singleLength > 0 && singleLength <= kDecodeBudget && pass.decoded <= kDecodeBudget) {
    parser.WriteProgress = nullptr;
    ResetLzxBudget();
    parser.ParseCHM(file, (deepest / "single.bin").string(), engine::kExtractSingle,
                    {pass.streams.front().recordKey}, items, pictures, pages, movies, total);
    std::error_code ignored;
    const fs::file_status status = fs::symlink_status(deepest / "single.bin", ignored);
    if (fs::exists(status)) {
      Check(fs::is_regular_file(status), "the single stream's file is not a regular file");
      Check(fs::file_size(deepest / "single.bin") == singleLength,
            "the single stream's file does not hold the stream's length");
    }
  }

  fs::path folder = sandbox;
  for (int i = 0; i < kSandboxDepth; ++i) {
    CheckOnlyChild(folder, {"d" + std::to_string(i)});
    folder /= "d" + std::to_string(i);
  }
  CheckOnlyChild(deepest, {"out", "single.bin"});
  std::size_t files = 0;
  if (fs::exists(out)) CheckOutput(out, pass, files);
  Check(files <= pass.streams.size(), "extraction wrote more files than there are streams");
}

}  // namespace

#if VELMORA_FUZZ_COUNT_LZX
extern "C" void* __real_lzxd_init(void* system, void* input, void* output, int window_bits, int reset_interval,
                                  int input_buffer_size, off_t output_length, char is_delta);
extern "C" void* __wrap_lzxd_init(void* system, void* input, void* output, int window_bits, int reset_interval,
                                  int input_buffer_size, off_t output_length, char is_delta) {
  g_lzxLeft -= std::min(g_lzxLeft, kLzxStartCost);
  return __real_lzxd_init(system, input, output, window_bits, reset_interval, input_buffer_size, output_length,
                          is_delta);
}

extern "C" int __real_lzxd_decompress(void* lzx, off_t out_bytes);
extern "C" int __wrap_lzxd_decompress(void* lzx, off_t out_bytes) {
  constexpr int kDecrunchError = 11;  // MSPACK_ERR_DECRUNCH
  // libmspack refuses a negative count itself; it must not add to the budget.
  if (out_bytes < 0) return __real_lzxd_decompress(lzx, out_bytes);
  if (out_bytes > g_lzxLeft) {
    g_lzxLeft = 0;
    return kDecrunchError;
  }
  g_lzxLeft -= out_bytes;
  return __real_lzxd_decompress(lzx, out_bytes);
}
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A fresh folder per input for the input file and the sandbox, removed
  // afterwards (libFuzzer leaves without running exit handlers).
  std::string pattern = (fs::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
  if (!mkdtemp(pattern.data())) Fail("cannot create a temporary folder");
  const fs::path work(pattern);
  const fs::path input = work / "input.chm";
  const fs::path sandbox = work / "sandbox";
  {
    std::ofstream file(input, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    Check(static_cast<bool>(file), "cannot write the input file");
  }
  std::error_code error;
  fs::create_directory(sandbox, error);
  Check(!error, "cannot create the sandbox");

  const StoragePass pass = ReadThroughStorage(input.string());
  LookUpKeys(input.string());
  ReadAsHelp(input.string(), data, size);
  Walk(input.string(), pass, sandbox);

  CheckOnlyChild(work, {"input.chm", "sandbox"});
  fs::remove_all(work, error);
  Check(!error, "cannot remove the temporary folder");
  return 0;
}
