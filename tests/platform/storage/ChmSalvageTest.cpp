// Damaged copies of real help files: cut short, their section-0 entries
// about the LZX section gone, or changed by a CRLF conversion. Every stream
// a damaged copy delivers must be the intact file's stream byte for byte,
// and streams whose data survived must come back.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestPaths.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::platform::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every stream that extracts without an error, by name.
std::map<std::string, std::string> Extracted(ChmArchive& archive) {
  std::map<std::string, std::string> streams;
  for (const auto& entry : archive.entries()) {
    if (entry.length == 0 || entry.name.rfind("::", 0) == 0) continue;
    std::string bytes;
    if (archive.extract(entry, [&bytes](const char* data, std::size_t size) {
          bytes.append(data, size);
          return true;
        })) {
      streams[entry.name] = bytes;
    }
  }
  return streams;
}

struct CutCase {
  const char* file;     // in the corpus' real/ folder
  double keep;          // share of the file kept
};

class ChmSalvageTest : public testing::TestWithParam<CutCase> {};

// A copy cut at `keep` recovers, intact, at least 90 % of the compressed
// streams whose frames lie wholly before the cut, and delivers nothing
// that differs from the intact file.
TEST_P(ChmSalvageTest, CutCopyRecoversWhatLiesBeforeTheCut) {
  const std::string original = std::string(VELMORA_CORPUS_DIR) + "/real/" + GetParam().file;
  if (!fs::exists(original)) GTEST_SKIP() << "no corpus";
  const std::string bytes = ReadAll(original);
  const auto cut = static_cast<std::size_t>(static_cast<double>(bytes.size()) * GetParam().keep);
  TempDir dir;
  const std::string copy = dir.write("cut.chm", bytes.substr(0, cut));

  ChmArchive::OpenResult result;
  const auto intact = ChmArchive::Open(original, result);
  ASSERT_TRUE(intact);
  const auto damaged = ChmArchive::Open(copy, result);
  ASSERT_TRUE(damaged) << "the directory lies before the cut";

  const auto expected = Extracted(*intact);
  const auto recovered = Extracted(*damaged);
  std::size_t eligible = 0;
  std::size_t eligibleRecovered = 0;
  for (const auto& entry : intact->entries()) {
    const auto end = intact->dataEnd(entry);
    if (entry.section != 1 || !end || *end > cut || !expected.count(entry.name)) continue;
    ++eligible;
    eligibleRecovered += recovered.count(entry.name);
  }
  for (const auto& [name, data] : recovered) {
    ASSERT_TRUE(expected.count(name)) << name;
    EXPECT_TRUE(data == expected.at(name)) << name;
  }
  ASSERT_GT(eligible, 0u);
  EXPECT_GE(eligibleRecovered * 10, eligible * 9) << eligibleRecovered << " of " << eligible;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ChmSalvageTest,
                         testing::Values(
                             // Reset table after the content: lost with the cut.
                             CutCase{"06-开发手册.chm", 0.5},
                             CutCase{"02-AutoHotkey2.0.chm", 0.5}, CutCase{"02-AutoHotkey2.0.chm", 0.9},
                             CutCase{"13-manual-ja.chm", 0.7}),
                         [](const testing::TestParamInfo<CutCase>& info) {
                           return "Keep" + std::to_string(static_cast<int>(info.param.keep * 100)) + "_" +
                                  std::to_string(info.index);
                         });

// A help file that lost 23 CR bytes to a CRLF conversion: everything after
// the first lost byte is shifted. The streams before it come back; the
// rest decode into noise without an error from the decoder and are refused
// because their frames no longer end where the reset table says.
TEST(ChmSalvageCrlfTest, OnlyTheStreamsBeforeTheDamageComeBack) {
  const std::string damaged = std::string(VELMORA_CORPUS_DIR) + "/hostile/crlf-damaged-AutoHotkey.chm";
  if (!fs::exists(damaged)) GTEST_SKIP() << "no corpus";
  ChmArchive::OpenResult result;
  const auto archive = ChmArchive::Open(damaged, result);
  ASSERT_TRUE(archive);
  std::vector<std::string> names;
  for (const auto& [name, data] : Extracted(*archive)) names.push_back(name);
  // What 7-Zip extracts from this file without an error (and two empty
  // streams, which leave no file).
  EXPECT_EQ(names, (std::vector<std::string>{"#SYSTEM", "Index.hhk", "docs/search.htm", "docs/settings.htm"}));
}

}  // namespace
}  // namespace velmora::platform::test
