// Records, counters and Progress events of walks that write nothing.
#include <gtest/gtest.h>

#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/SampleTree.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

using test::Describe;
using test::FakeStorageService;
using test::ProgressEvent;
using test::RunWalk;
using test::SampleTree;
using test::Stream;
using test::Root;
using test::Storage;

const std::vector<std::string> kSampleRecords = {
    "1 index.htm 18",     "1 html/ 0",          "2 html\\a.htm 6",  "2 html\\images/ 0",
    "3 html\\images\\logo.GIF 11", "3 html\\images\\empty.png 0", "2 html\\notes.txt 5",
    "1 song.MP3 8",       "1 README 6",         "1 odd 0",          "1 emptydir/ 0",
};

TEST(cCHMParserWalkTest, RecordsEveryElementDepthFirstPreOrder) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto r = RunWalk(parser, kExtractNone);
  EXPECT_TRUE(r.result);
  EXPECT_EQ(Describe(r.items), kSampleRecords);
  EXPECT_EQ(r.total, 11);  // storages and the odd element count as well
  EXPECT_FALSE(r.items[9].IsStorage);
  EXPECT_EQ(r.items[4].ExactSize, 11u);
}

TEST(cCHMParserWalkTest, ListOnlyCountsCategoriesAndReportsOnlyOtherStreams) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto r = RunWalk(parser, kExtractNone, "/ignored/for/type/0");
  EXPECT_EQ(r.pages, 2);
  EXPECT_EQ(r.pictures, 2);  // the empty picture counts too
  EXPECT_EQ(r.movies, 1);
  const std::vector<ProgressEvent> expected = {{"notes.txt", 5, false}, {"README", 6, false}};
  EXPECT_EQ(r.events, expected);
}

TEST(cCHMParserWalkTest, ExtractWalksReportEveryStreamInWalkOrder) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  // Type 3 selects nothing, so nothing needs an output folder.
  const auto r = RunWalk(parser, 3);
  const std::vector<ProgressEvent> expected = {{"index.htm", 18, true}, {"a.htm", 6, true},   {"logo.GIF", 11, true},
                                               {"empty.png", 0, true},  {"notes.txt", 5, true}, {"song.MP3", 8, true},
                                               {"README", 6, true}};
  EXPECT_EQ(r.events, expected);
  EXPECT_EQ(r.pages + r.pictures + r.movies, 0);
  EXPECT_EQ(r.total, 11);
}

TEST(cCHMParserWalkTest, ProgressComesAfterTheRecordIsAdded) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  int checked = 0;
  parser.Progress = [&](const std::string& name, std::int32_t, bool) {
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back().Name, name);
    EXPECT_EQ(static_cast<std::int32_t>(items.size()), total);
    ++checked;
  };
  parser.ParseCHM("x.chm", "", 3, {}, items, pic, html, movie, total);
  EXPECT_EQ(checked, 7);
}

TEST(cCHMParserWalkTest, CountersAreOnlyAddedTo) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  cCHMItemCollection items;
  std::int32_t pic = 10, html = 20, movie = 30, total = 40;
  ASSERT_TRUE(parser.ParseCHM("x.chm", "", kExtractNone, {}, items, pic, html, movie, total));
  EXPECT_EQ(pic, 12);
  EXPECT_EQ(html, 22);
  EXPECT_EQ(movie, 31);
  EXPECT_EQ(total, 51);
  // A second walk into the same variables replaces the records.
  ASSERT_TRUE(parser.ParseCHM("x.chm", "", kExtractNone, {}, items, pic, html, movie, total));
  EXPECT_EQ(items.size(), 11u);
  EXPECT_EQ(total, 62);
}

TEST(cCHMParserWalkTest, CountersStopAtTheLargest32BitValue) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  cCHMItemCollection items;
  const std::int32_t max = 2147483647;
  std::int32_t pic = max, html = max, movie = max, total = max;
  ASSERT_TRUE(parser.ParseCHM("x.chm", "", kExtractNone, {}, items, pic, html, movie, total));
  EXPECT_EQ(pic, max);
  EXPECT_EQ(total, max);
}

TEST(cCHMParserWalkTest, EmptyChmGivesNoRecords) {
  cCHMParser parser(FakeStorageService::Factory(Root({})));
  cCHMItemCollection items(3);  // replaced, not appended to
  std::int32_t pic = 1, html = 2, movie = 3, total = 4;
  EXPECT_TRUE(parser.ParseCHM("x.chm", "", kExtractNone, {}, items, pic, html, movie, total));
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(pic + html + movie + total, 10);
}

TEST(cCHMParserWalkTest, SizesOf2GiBAndMoreSaturate) {
  const std::uint64_t big = (std::uint64_t{1} << 31) + 5;
  cCHMParser parser(FakeStorageService::Factory(Root({
      Stream("max.avi", "x").Declaring(2147483647),
      Stream("two-gib.avi", "x").Declaring(std::uint64_t{1} << 31),
      Stream("huge.bin", "x").Declaring(big),
  })));
  const auto r = RunWalk(parser, 3);
  ASSERT_EQ(r.items.size(), 3u);
  EXPECT_EQ(r.items[0].Size, 2147483647);
  EXPECT_EQ(r.items[0].ExactSize, 2147483647u);
  EXPECT_EQ(r.items[1].Size, 2147483647);
  EXPECT_EQ(r.items[1].ExactSize, std::uint64_t{1} << 31);
  EXPECT_EQ(r.items[2].Size, 2147483647);
  EXPECT_EQ(r.items[2].ExactSize, big);
  EXPECT_EQ(r.events[2].size, 2147483647);
}

struct CategoryCase {
  const char* label;
  const char* name;
  int pages, movies, pictures;
};

class CategoryByNameTest : public testing::TestWithParam<CategoryCase> {};

TEST_P(CategoryByNameTest, CountsByLowerCasedLastExtension) {
  const auto& c = GetParam();
  cCHMParser parser(FakeStorageService::Factory(Root({Stream(c.name, "data")})));
  const auto r = RunWalk(parser, kExtractNone);
  EXPECT_EQ(r.pages, c.pages);
  EXPECT_EQ(r.movies, c.movies);
  EXPECT_EQ(r.pictures, c.pictures);
  // Only streams outside the categories are reported in a list-only walk.
  EXPECT_EQ(r.events.size(), c.pages + c.movies + c.pictures == 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Names, CategoryByNameTest,
                         testing::Values(CategoryCase{"UpperCasePage", "INDEX.HTM", 1, 0, 0},
                                         CategoryCase{"LastExtensionWins", "photo.tar.GIF", 0, 0, 1},
                                         CategoryCase{"PageBeforeLastDot", "page.htm.txt", 0, 0, 0},
                                         CategoryCase{"NoDot", "README", 0, 0, 0},
                                         CategoryCase{"Text", "notes.txt", 0, 0, 0},
                                         CategoryCase{"OnlyExtension", ".png", 0, 0, 1},
                                         CategoryCase{"TrailingDot", "movie.avi.", 0, 0, 0},
                                         CategoryCase{"Multimedia", "clip.RmVb", 0, 1, 0},
                                         CategoryCase{"Script", "app.js", 1, 0, 0}),
                         [](const testing::TestParamInfo<CategoryCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace velmora::engine
