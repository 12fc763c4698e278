// The walker over CHM files compiled by chmcmd, read through libmspack.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "TestPaths.h"
#include "engine/cCHMParser.h"
#include "platform/storage/ChmStorageService.h"
#include "tests/engine/TempFolder.h"
#include "tests/engine/WalkOrderStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadTree;
using test::TempFolder;

std::string Fixture(const std::string& name) { return std::string(VELMORA_FIXTURE_DIR) + "/" + name + ".chm"; }
fs::path Project(const std::string& name) { return fs::path(VELMORA_TEST_SOURCE_DIR) / "fixtures" / name; }

struct Walk {
  bool result = false;
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
};

Walk Parse(cCHMParser& parser, const std::string& chm, std::int32_t type, const std::string& out = {},
           const std::vector<std::string>& contents = {}) {
  Walk w;
  w.result = parser.ParseCHM(chm, out, type, contents, w.items, w.pic, w.html, w.movie, w.total);
  return w;
}

// The files of a help project as listed in its [FILES] section.
std::vector<std::string> ProjectFiles(const std::string& name) {
  std::vector<std::string> files;
  std::istringstream hhp(ReadFile(Project(name) / (name + ".hhp")));
  bool inFiles = false;
  for (std::string line; std::getline(hhp, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      inFiles = line == "[FILES]";
    } else if (inFiles) {
      files.push_back(line);
    }
  }
  return files;
}

TEST(cCHMParserFixtureTest, ListsAndCountsNested) {
  ASSERT_TRUE(fs::exists(Fixture("nested"))) << "build the velmora_fixtures target";
  cCHMParser parser;
  const auto w = Parse(parser, Fixture("nested"), kExtractNone);
  ASSERT_TRUE(w.result);
  EXPECT_EQ(w.html, 9);   // htm, html, css, js, vbs, the empty page, INDEX.HTM
  EXPECT_EQ(w.pic, 7);    // photo.tar.GIF and .png included
  EXPECT_EQ(w.movie, 3);
  EXPECT_EQ(w.total, static_cast<std::int32_t>(w.items.size()));
  const auto deep = std::find_if(w.items.begin(), w.items.end(), [](const cCHMItemInfo& i) { return i.Name == "deep.htm"; });
  ASSERT_NE(deep, w.items.end());
  EXPECT_EQ(deep->Path, "docs\\sub\\deeper");
  EXPECT_EQ(deep->Level, 4);
}

TEST(cCHMParserFixtureTest, ExtractAllGivesTheProjectFilesBack) {
  TempFolder tmp;
  cCHMParser parser;
  ASSERT_TRUE(Parse(parser, Fixture("nested"), kExtractAll, tmp / "out").result);
  int compared = 0;
  int empty = 0;
  for (const auto& file : ProjectFiles("nested")) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(tmp.path() / "out" / file)));
    const std::string source = ReadFile(Project("nested") / file);
    EXPECT_EQ(ReadFile(tmp.path() / "out" / file), source);
    ++(source.empty() ? empty : compared);
  }
  EXPECT_EQ(compared, 22);
  EXPECT_EQ(empty, 1);  // html/empty.htm
}

TEST(cCHMParserFixtureTest, SingleStreamByRecordKey) {
  TempFolder tmp;
  cCHMParser parser;
  Parse(parser, Fixture("nested"), kExtractSingle, tmp / "a/root.htm", {"\\INDEX.htm"});
  Parse(parser, Fixture("nested"), kExtractSingle, tmp / "deep.htm", {"docs\\sub\\deeper\\deep.htm"});
  EXPECT_EQ(ReadFile(tmp / "a/root.htm"), ReadFile(Project("nested") / "index.htm"));
  EXPECT_EQ(ReadFile(tmp / "deep.htm"), ReadFile(Project("nested") / "docs/sub/deeper/deep.htm"));
}

TEST(cCHMParserFixtureTest, ListedStorageKeySelectsItsTree) {
  TempFolder tmp;
  cCHMParser parser;
  Parse(parser, Fixture("nested"), kExtractListed, tmp / "out", {"docs"});
  const auto tree = ReadTree(tmp.path() / "out");
  EXPECT_EQ(tree.at("docs/sub/deeper/deep.htm"), ReadFile(Project("nested") / "docs/sub/deeper/deep.htm"));
  EXPECT_EQ(tree.at("docs/index.htm"), ReadFile(Project("nested") / "docs/index.htm"));
  EXPECT_EQ(tree.size(), 5u);  // docs/, docs/sub/, docs/sub/deeper/ and the two pages
}

class ContainerOrderFixtureTest : public testing::TestWithParam<const char*> {};

TEST_P(ContainerOrderFixtureTest, SameTreeAsWalkOrder) {
  TempFolder tmp;
  const std::string chm = Fixture(GetParam());
  auto realKeys = std::make_shared<std::vector<std::uint64_t>>();
  cCHMParser walkOrder(test::WalkOrderStorageService::Wrap(platform::DefaultStorageServiceFactory(), realKeys));
  cCHMParser containerOrder;
  const auto a = Parse(walkOrder, chm, kExtractAll, tmp / "walk");
  const auto b = Parse(containerOrder, chm, kExtractAll, tmp / "container");
  ASSERT_TRUE(a.result && b.result);
  const auto walkTree = ReadTree(tmp.path() / "walk");
  EXPECT_GT(walkTree.size(), 5u);
  EXPECT_EQ(ReadTree(tmp.path() / "container"), walkTree);
  EXPECT_EQ(a.items.size(), b.items.size());
  // The compiler stores contents in another order than the directory's, so
  // the two runs really wrote in different orders.
  EXPECT_FALSE(std::is_sorted(realKeys->begin(), realKeys->end()));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ContainerOrderFixtureTest,
                         testing::Values("nested", "chinese", "guide", "inplace", "manychunks"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
}  // namespace velmora::engine
