// List, extract and single-stream extraction over truncated and bit-flipped
// copies of CHM files: no crash, nothing outside the output folder, and
// only the results the walker promises.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "TestPaths.h"
#include "engine/SafeRelativePath.h"
#include "engine/cCHMParser.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/chm/ChmBuilder.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

enum class Outcome { True, False, CannotOpen };

struct WalkRun {
  Outcome outcome = Outcome::False;
  cCHMItemCollection items;
};

WalkRun Parse(cCHMParser& parser, const std::string& chm, std::int32_t type, const std::string& out,
          const std::vector<std::string>& contents = {}) {
  WalkRun run;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  try {
    run.outcome = parser.ParseCHM(chm, out, type, contents, run.items, pic, html, movie, total) ? Outcome::True
                                                                                                : Outcome::False;
  } catch (const ParseError& e) {
    EXPECT_EQ(e.kind(), ParseError::Kind::CannotOpen) << e.what();
    run.outcome = Outcome::CannotOpen;
  }
  EXPECT_EQ(total, static_cast<std::int32_t>(run.items.size()));
  return run;
}

// A crafted CHM (uncompressed section 0) with nested and hostile names.
std::string CraftedChm() {
  testsupport::ChmBuilder builder;
  builder.add("/#SYSTEM", testsupport::ChmBuilder::SystemStream(0x409))
      .add("/index.htm", "<html>index</html>")
      .add("/html/a.htm", "page a")
      .add("/html/images/logo.gif", "GIF89a-logo")
      .add("/../escape.htm", "escape")
      .add("/a/../../b.htm", "traversal")
      .add("/empty.txt", "");
  return builder.build();
}

struct Mutant {
  std::string label;
  std::string bytes;
  bool mustBeRejected;  // no CHM signature left
};

// Truncations at every few bytes of the headers and a spread over the rest,
// then single and multiple bit flips, mostly in the headers and directory.
std::vector<Mutant> Mutants(const std::string& name, const std::string& original, int count, std::mt19937& rng) {
  std::vector<Mutant> mutants;
  const int truncations = count / 4;
  for (int i = 0; i < truncations; ++i) {
    const std::size_t size = i < truncations / 2 ? static_cast<std::size_t>(i) * 3
                                                 : static_cast<std::size_t>(rng() % original.size());
    mutants.push_back({name + " cut at " + std::to_string(size), original.substr(0, std::min(size, original.size())),
                       size < 4});
  }
  const std::size_t headerRegion = std::min<std::size_t>(original.size(), 0x2000);
  while (static_cast<int>(mutants.size()) < count) {
    std::string bytes = original;
    const int flips = 1 + static_cast<int>(rng() % 4);
    bool signatureHit = false;
    std::string label = name + " flipped";
    for (int f = 0; f < flips; ++f) {
      const std::size_t region = rng() % 4 ? headerRegion : bytes.size();
      const std::size_t pos = rng() % region;
      const int bit = static_cast<int>(rng() % 8);
      bytes[pos] = static_cast<char>(bytes[pos] ^ (1 << bit));
      signatureHit |= pos < 4;
      label += " " + std::to_string(pos) + ":" + std::to_string(bit);
    }
    mutants.push_back({label, bytes, signatureHit});
  }
  return mutants;
}

// Only the CHM file and the output folders may exist in the work folder, and
// every written file must be a whole stream of the listing.
void CheckWorkFolder(const fs::path& work, const WalkRun& listing) {
  std::multiset<std::pair<std::string, std::uint64_t>> streams;
  for (const auto& item : listing.items) {
    if (!item.IsStorage) streams.insert({SafeRelativePath::Component(item.Name), item.ExactSize});
  }
  for (const auto& entry : fs::directory_iterator(work)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "m.chm" || name == "out" || name == "single") << "unexpected " << name;
  }
  if (!fs::exists(work / "out")) return;
  for (const auto& entry : fs::recursive_directory_iterator(work / "out")) {
    if (!entry.is_regular_file()) continue;
    const auto key = std::make_pair(entry.path().filename().string(), static_cast<std::uint64_t>(entry.file_size()));
    EXPECT_TRUE(streams.count(key)) << "written file is no whole stream: " << entry.path();
  }
}

TEST(RobustnessTest, DamagedChmFilesAreHandledSafely) {
  std::mt19937 rng(20240607);
  std::vector<Mutant> mutants;
  for (const auto& [name, count] : {std::pair<const char*, int>{"guide", 800}, {"nested", 400}}) {
    const std::string original = ReadFile(std::string(VELMORA_FIXTURE_DIR) + "/" + name + ".chm");
    ASSERT_FALSE(original.empty()) << name;
    auto more = Mutants(name, original, count, rng);
    mutants.insert(mutants.end(), more.begin(), more.end());
  }
  auto crafted = Mutants("crafted", CraftedChm(), 800, rng);
  mutants.insert(mutants.end(), crafted.begin(), crafted.end());
  ASSERT_GE(mutants.size(), 2000u);

  // Thousands of small files come and go: memory-backed when possible.
  std::error_code ec;
  TempFolder tmp(fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path());
  const fs::path work = tmp.path() / "work";
  cCHMParser parser;
  int opened = 0;
  for (const auto& mutant : mutants) {
    SCOPED_TRACE(mutant.label);
    fs::create_directory(work);
    const std::string chm = (work / "m.chm").string();
    WriteFile(chm, mutant.bytes);

    const WalkRun list = Parse(parser, chm, kExtractNone, "");
    const WalkRun extract = Parse(parser, chm, kExtractAll, (work / "out").string());
    EXPECT_EQ(list.outcome, extract.outcome);
    EXPECT_EQ(list.items.size(), extract.items.size());
    if (mutant.mustBeRejected) {
      EXPECT_EQ(list.outcome, Outcome::False);
    }
    if (list.outcome != Outcome::True) {
      EXPECT_TRUE(list.items.empty());
      EXPECT_FALSE(fs::exists(work / "out"));
    } else {
      ++opened;
    }

    // The single-stream extraction of the first stream listed.
    const auto first =
        std::find_if(list.items.begin(), list.items.end(), [](const cCHMItemInfo& i) { return !i.IsStorage; });
    if (first != list.items.end()) {
      const std::string key = first->Path + "\\" + first->Name;
      const WalkRun single = Parse(parser, chm, kExtractSingle, (work / "single/file").string(), {key});
      EXPECT_EQ(single.outcome, Outcome::True);
      if (fs::exists(work / "single/file")) {
        EXPECT_EQ(fs::file_size(work / "single/file"), first->ExactSize);
      }
    }
    CheckWorkFolder(work, list);
    fs::remove_all(work);
    if (testing::Test::HasFailure()) break;  // one mutant's report is enough
  }
  // Most damage leaves the file readable in part: the walker really ran.
  EXPECT_GT(opened, 500);
}

}  // namespace
}  // namespace velmora::engine
