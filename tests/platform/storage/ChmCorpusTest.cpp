// The shared corpus: real help files found in public repositories, and files
// known to have crashed CHM readers. Each test skips, saying why, when the
// corpus is not beside the checkout.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "TestPaths.h"
#include "TreeListing.h"
#include "platform/storage/ChmArchive.h"
#include "platform/storage/ChmStorageService.h"

namespace velmora::platform::test {
namespace {

namespace fs = std::filesystem;
using Row = std::map<std::string, std::string>;

const char kNoCorpus[] = "no corpus";

// MANIFEST.tsv: a header line naming the columns, then one line per file.
std::vector<Row> ReadManifest(const std::string& kind) {
  std::ifstream in(fs::path(VELMORA_CORPUS_DIR) / kind / "MANIFEST.tsv");
  std::vector<std::string> columns;
  std::vector<Row> rows;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
    if (columns.empty()) {
      columns = cells;
      continue;
    }
    Row row;
    for (std::size_t i = 0; i < columns.size() && i < cells.size(); ++i) row[columns[i]] = cells[i];
    rows.push_back(row);
  }
  if (rows.empty()) rows.push_back({{"file", kNoCorpus}});
  return rows;
}

std::string RowName(const ::testing::TestParamInfo<Row>& info) {
  std::string name = info.param.at("file");
  name = name.substr(0, std::min<std::size_t>(name.find('-'), name.size()));
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return "File" + name + "_" + std::to_string(info.index);
}

std::string CorpusPath(const std::string& kind, const Row& row) {
  return (fs::path(VELMORA_CORPUS_DIR) / kind / row.at("file")).string();
}

struct WalkResult {
  int streams = 0;
  int storages = 0;
  int copied = 0;
  int failed = 0;
  int overlong = 0;  // copies that delivered more bytes than the stream's length
};

WalkResult WalkAndCopy(IStorage& root) {
  WalkResult result;
  const std::string listing = ListTree(root);
  for (char c : listing) result.storages += c == '/';  // storages end their line with "/"
  // Copied in file order, as the engine writes them: the decoder never
  // goes back.
  std::vector<OpenedStream> streams = OpenStreams(root);
  std::stable_sort(streams.begin(), streams.end(),
                   [](const OpenedStream& a, const OpenedStream& b) { return a.visit.orderKey < b.visit.orderKey; });
  for (const auto& s : streams) {
    ++result.streams;
    std::uint64_t delivered = 0;
    const HResult hr = s.stream->CopyTo([&](const char*, std::size_t n) {
      delivered += n;
      return true;
    });
    hr == S_OK ? ++result.copied : ++result.failed;
    result.overlong += delivered > s.visit.length;
  }
  return result;
}

// --- Real help files ------------------------------------------------------------

class RealCorpus : public ::testing::TestWithParam<Row> {};

TEST_P(RealCorpus, ListsTheManifestItemsAndCopiesEveryStream) {
  const Row& row = GetParam();
  if (row.at("file") == kNoCorpus) GTEST_SKIP() << "corpus not found at " << VELMORA_CORPUS_DIR;
  std::unique_ptr<IStorage> root;
  ASSERT_EQ(MakeChmStorageService()->StgOpenStorage(CorpusPath("real", row), root), S_OK);
  const WalkResult walk = WalkAndCopy(*root);
  EXPECT_EQ(walk.streams + walk.storages, std::stoi(row.at("items")));
  EXPECT_EQ(walk.failed, 0);
  EXPECT_EQ(walk.overlong, 0);
}

TEST_P(RealCorpus, LanguageMatchesTheManifest) {
  const Row& row = GetParam();
  if (row.at("file") == kNoCorpus) GTEST_SKIP() << "corpus not found at " << VELMORA_CORPUS_DIR;
  std::smatch lcid;
  const std::string guess = row.at("language_guess");
  if (!std::regex_search(guess, lcid, std::regex("LCID 0x([0-9a-fA-F]+)"))) GTEST_SKIP() << "no LCID noted";
  ChmArchive::OpenResult result;
  const auto archive = ChmArchive::Open(CorpusPath("real", row), result);
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->languageId(), std::stoul(lcid[1].str(), nullptr, 16));
}

INSTANTIATE_TEST_SUITE_P(Manifest, RealCorpus, ::testing::ValuesIn(ReadManifest("real")), RowName);

// Its header names chunks 1..3 as the listing; chunk 0 holds 117 more
// entries. MANIFEST's "entries" counts only the named range. Two pictures
// are listed twice in the directory and count twice.
TEST(RealCorpusFile, NvidiaWidgetsListsTheEntriesOfChunkZero) {
  const std::string path = std::string(VELMORA_CORPUS_DIR) + "/real/19-nvidia-widgets.chm";
  if (!fs::exists(path)) GTEST_SKIP() << "corpus not found at " << VELMORA_CORPUS_DIR;
  std::unique_ptr<IStorage> root;
  ASSERT_EQ(MakeChmStorageService()->StgOpenStorage(path, root), S_OK);
  const WalkResult walk = WalkAndCopy(*root);
  EXPECT_EQ(walk.streams, 396);
  EXPECT_GT(walk.streams, 299);
}

// --- Hostile files -------------------------------------------------------------

class HostileCorpus : public ::testing::TestWithParam<Row> {};

// A file without the CHM signature is refused at once; one with it opens or
// fails to open as a damaged CHM. Every stream copies or fails, never with
// more bytes than its length.
TEST_P(HostileCorpus, ListsAndCopiesWithoutHarm) {
  const Row& row = GetParam();
  if (row.at("file") == kNoCorpus) GTEST_SKIP() << "corpus not found at " << VELMORA_CORPUS_DIR;
  const auto service = MakeChmStorageService();
  const std::string path = CorpusPath("hostile", row);
  std::unique_ptr<IStorage> root;
  const HResult opened = service->StgOpenStorage(path, root);
  if (service->StgIsStorageFile(path) == S_OK) {
    ASSERT_TRUE(opened == S_OK || opened == E_READFAULT) << opened;
  } else {
    ASSERT_EQ(opened, E_INVALIDHEADER);
  }
  if (!root) return;
  const WalkResult walk = WalkAndCopy(*root);
  EXPECT_EQ(walk.copied + walk.failed, walk.streams);
  EXPECT_EQ(walk.overlong, 0);
}

INSTANTIATE_TEST_SUITE_P(Manifest, HostileCorpus, ::testing::ValuesIn(ReadManifest("hostile")), RowName);

// A real file cut short by 23 bytes: its directory is whole, and the streams
// stored before the damage still copy.
TEST(HostileCorpusFile, CrlfDamagedFileStillListsAndCopiesSome) {
  const std::string path = std::string(VELMORA_CORPUS_DIR) + "/hostile/crlf-damaged-AutoHotkey.chm";
  if (!fs::exists(path)) GTEST_SKIP() << "corpus not found at " << VELMORA_CORPUS_DIR;
  std::unique_ptr<IStorage> root;
  ASSERT_EQ(MakeChmStorageService()->StgOpenStorage(path, root), S_OK);
  const WalkResult walk = WalkAndCopy(*root);
  EXPECT_GT(walk.streams, 400);
  EXPECT_GT(walk.copied, 0);
  EXPECT_GT(walk.failed, 0);
}

}  // namespace
}  // namespace velmora::platform::test
