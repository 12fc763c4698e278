// Failures of the storage service, of reading and of the caller's use.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/SampleTree.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::Describe;
using test::FakeCall;
using test::FakeElement;
using test::FakeOptions;
using test::FakeRecorder;
using test::FakeStorageService;
using test::ReadFile;
using test::ReadTree;
using test::Root;
using test::RunWalk;
using test::SampleTree;
using test::Storage;
using test::Stream;
using test::TempFolder;
using test::WriteFile;
using Tree = std::map<std::string, std::string>;

TEST(cCHMParserOpenTest, NoServiceOrNoChmGivesFalseAndAnEmptyCollection) {
  FakeOptions notChm;
  notChm.isStorageFile = platform::S_FALSE;
  FakeOptions missing;
  missing.isStorageFile = platform::E_NOTFOUND;
  FakeOptions oddSuccess;
  oddSuccess.isStorageFile = 2;  // a success other than S_OK is no "yes"

  std::vector<cCHMParser> parsers;
  parsers.emplace_back(platform::StorageServiceFactory());
  parsers.emplace_back([] { return std::unique_ptr<platform::IStorageService>(); });
  parsers.emplace_back(FakeStorageService::Factory(SampleTree(), notChm));
  parsers.emplace_back(FakeStorageService::Factory(SampleTree(), missing));
  parsers.emplace_back(FakeStorageService::Factory(SampleTree(), oddSuccess));
  for (auto& parser : parsers) {
    cCHMItemCollection items(5);
    std::int32_t pic = 0, html = 0, movie = 0, total = 0;
    EXPECT_FALSE(parser.ParseCHM("x.chm", "", kExtractNone, {}, items, pic, html, movie, total));
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(total, 0);
  }
}

TEST(cCHMParserOpenTest, RecognisedFileThatCannotBeOpenedThrows) {
  FakeOptions damaged;
  damaged.openRoot = platform::E_READFAULT;
  auto recorder = std::make_shared<FakeRecorder>();
  cCHMParser parser(FakeStorageService::Factory(SampleTree(), damaged, recorder));
  for (std::int32_t type : {kExtractNone, kExtractAll, kExtractSingle}) {
    try {
      RunWalk(parser, type, "/tmp/never", {"\\index.htm"});
      FAIL() << "no error for type " << type;
    } catch (const ParseError& e) {
      EXPECT_EQ(e.kind(), ParseError::Kind::CannotOpen);
    }
    EXPECT_FALSE(parser.IsBusy());
    EXPECT_EQ(recorder->liveObjects, 0);
  }
}

TEST(cCHMParserOpenTest, ThePathIsHandedToTheService) {
  auto recorder = std::make_shared<FakeRecorder>();
  cCHMParser parser(FakeStorageService::Factory(SampleTree(), {}, recorder));
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  parser.ParseCHM("/data/帮助 文件.chm", "", kExtractNone, {}, items, pic, html, movie, total);
  EXPECT_EQ(recorder->checkedPaths, std::vector<std::string>{"/data/帮助 文件.chm"});
}

// Root: a.htm, s{ b.htm, <failing element>, c.htm }, d.htm. A failure ends
// the level it happens in; the walk goes on with the parent's next element.
struct FailureCase {
  const char* label;
  FakeElement tree;
  std::int32_t type;
  std::vector<std::string> records;
  Tree files;  // written under the output folder
};

FakeElement Sample(FakeElement middle, FakeElement storage = Storage("s", {})) {
  storage.children.insert(storage.children.begin(), Stream("b.htm", "b"));
  storage.children.push_back(std::move(middle));
  storage.children.push_back(Stream("c.htm", "c"));
  return Root({Stream("a.htm", "a"), std::move(storage), Stream("d.htm", "d")});
}

const std::vector<std::string> kFullRecords = {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "2 s\\m.htm 3",
                                               "2 s\\c.htm 1", "1 d.htm 1"};
const Tree kFullFiles = {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"s/m.htm", "mmm"}, {"s/c.htm", "c"},
                         {"d.htm", "d"}};
const Tree kOuterFiles = {{"a.htm", "a"}, {"d.htm", "d"}};

std::vector<FailureCase> FailureCases() {
  const FakeElement m = Stream("m.htm", "mmm");
  const FakeElement t = Storage("t", {Stream("inner.htm", "i")});
  const std::vector<std::string> outer = {"1 a.htm 1", "1 s/ 0", "1 d.htm 1"};
  const std::vector<std::string> upToB = {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "1 d.htm 1"};
  const std::vector<std::string> upToM = {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "2 s\\m.htm 3", "1 d.htm 1"};
  const std::vector<std::string> upToT = {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "2 s\\t/ 0", "1 d.htm 1"};
  return {
      {"NothingFails", Sample(m), kExtractAll, kFullRecords, kFullFiles},
      {"StorageStat", Sample(m, Storage("s", {}).Failing(FakeCall::Stat)), kExtractAll, outer, kOuterFiles},
      {"StorageEnumElements", Sample(m, Storage("s", {}).Failing(FakeCall::EnumElements)), kExtractAll, outer,
       kOuterFiles},
      {"EnumeratorReset", Sample(m, Storage("s", {}).Failing(FakeCall::Reset)), kExtractAll, outer, kOuterFiles},
      {"EnumeratorNext", Sample(m.Failing(FakeCall::Next)), kExtractAll, upToB,
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"d.htm", "d"}}},
      {"OpenChildStorage", Sample(t.Failing(FakeCall::OpenStorage)), kExtractAll, upToT,
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"d.htm", "d"}}},
      {"OpenStream", Sample(m.Failing(FakeCall::OpenStream)), kExtractAll, upToM,
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"d.htm", "d"}}},
      // A list-only walk never opens streams.
      {"OpenStreamNotUsedByListing", Sample(m.Failing(FakeCall::OpenStream)), kExtractNone, kFullRecords, {}},
      // An unselected stream is not opened either.
      {"OpenStreamOfUnselectedStream", Sample(Stream("m.txt", "mmm").Failing(FakeCall::OpenStream)), kExtractPages,
       {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "2 s\\m.txt 3", "2 s\\c.htm 1", "1 d.htm 1"},
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"s/c.htm", "c"}, {"d.htm", "d"}}},
      // A read failure loses only that stream.
      {"CopyToAtStart", Sample(m.Failing(FakeCall::CopyTo, 0)), kExtractAll, kFullRecords,
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"s/c.htm", "c"}, {"d.htm", "d"}}},
      {"CopyToAfterTwoBytes", Sample(m.Failing(FakeCall::CopyTo, 2)), kExtractAll, kFullRecords,
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"s/c.htm", "c"}, {"d.htm", "d"}}},
      {"ShortStream", Sample(m.Declaring(10)), kExtractAll,
       {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "2 s\\m.htm 10", "2 s\\c.htm 1", "1 d.htm 1"},
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"s/c.htm", "c"}, {"d.htm", "d"}}},
      {"LongStream", Sample(m.Declaring(2)), kExtractAll,
       {"1 a.htm 1", "1 s/ 0", "2 s\\b.htm 1", "2 s\\m.htm 2", "2 s\\c.htm 1", "1 d.htm 1"},
       {{"a.htm", "a"}, {"s/", ""}, {"s/b.htm", "b"}, {"s/c.htm", "c"}, {"d.htm", "d"}}},
      {"RootStat", Root({Stream("a.htm", "a")}).Failing(FakeCall::Stat), kExtractAll, {}, {}},
  };
}

class StorageFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(StorageFailureTest, EndsTheLevelAndKeepsWhatWasFound) {
  const auto& c = GetParam();
  TempFolder tmp;
  auto recorder = std::make_shared<FakeRecorder>();
  FakeOptions options;
  options.chunkSize = 1;  // a failure after N bytes then happens mid-copy
  cCHMParser parser(FakeStorageService::Factory(c.tree, options, recorder));
  const auto r = RunWalk(parser, c.type, tmp / "out");
  EXPECT_TRUE(r.result);
  EXPECT_EQ(Describe(r.items), c.records);
  EXPECT_EQ(r.total, static_cast<std::int32_t>(c.records.size()));
  EXPECT_EQ(ReadTree(tmp.path() / "out"), c.files);  // no partial or temporary file either
  EXPECT_EQ(recorder->liveObjects, 0);
}

INSTANTIATE_TEST_SUITE_P(Calls, StorageFailureTest, testing::ValuesIn(FailureCases()),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                           return std::string(info.param.label);
                         });

TEST(cCHMParserWriteTest, FailedReadKeepsTheEarlierFileAndMakesNoFolder) {
  TempFolder tmp;
  fs::create_directories(tmp / "out");
  WriteFile(tmp / "out/a.htm", "earlier");
  cCHMParser parser(FakeStorageService::Factory(Root({
      Stream("a.htm", "new content").Failing(FakeCall::CopyTo, 4),
      Storage("deep", {Storage("er", {Stream("b.htm", "bbbb").Failing(FakeCall::CopyTo, 1)})}),
  })));
  RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_EQ(ReadTree(tmp.path() / "out"), (Tree{{"a.htm", "earlier"}}));
}

TEST(cCHMParserWriteTest, SingleStreamFailureLeavesNothing) {
  TempFolder tmp;
  WriteFile(tmp / "keep.htm", "earlier");
  cCHMParser parser(FakeStorageService::Factory(Root({Stream("a.htm", "content").Failing(FakeCall::CopyTo, 3)})));
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  EXPECT_TRUE(parser.ParseCHM("x.chm", tmp / "keep.htm", kExtractSingle, {"\\a.htm"}, items, pic, html, movie, total));
  EXPECT_TRUE(parser.ParseCHM("x.chm", tmp / "new/dir/a.htm", kExtractSingle, {"\\a.htm"}, items, pic, html, movie,
                              total));
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"keep.htm", "earlier"}}));
}

TEST(cCHMParserWriteTest, SingleStreamSearchFailureEndsOnlyThatLevel) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(Root({
      Storage("bad", {Stream("x.htm", "x")}).Failing(FakeCall::EnumElements),
      Storage("good", {Stream("y.htm", "y")}),
  })));
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  EXPECT_TRUE(parser.ParseCHM("x.chm", tmp / "y.htm", kExtractSingle, {"good\\y.htm"}, items, pic, html, movie, total));
  EXPECT_EQ(ReadFile(tmp / "y.htm"), "y");
}

// f) A walk started from inside a running walk's event handler is refused;
// the running walk goes on as if nothing had happened.
TEST(cCHMParserBusyTest, NestedCallIsRefusedAndTheRunningWalkContinues) {
  TempFolder tmp;
  cCHMParser reference(FakeStorageService::Factory(SampleTree()));
  const auto expected = RunWalk(reference, kExtractAll, tmp / "reference");

  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  int refused = 0;
  parser.Progress = [&](const std::string&, std::int32_t, bool) {
    EXPECT_TRUE(parser.IsBusy());
    try {
      // The same collection and counters, as the main window would pass them.
      parser.ParseCHM("other.chm", tmp / "nested", kExtractAll, {}, items, pic, html, movie, total);
    } catch (const ParseError& e) {
      if (e.kind() == ParseError::Kind::Busy) ++refused;
    }
  };
  parser.WriteProgress = [&](std::uint64_t, std::uint64_t) {
    try {
      parser.ParseCHM("other.chm", "", kExtractNone, {}, items, pic, html, movie, total);
    } catch (const ParseError& e) {
      if (e.kind() == ParseError::Kind::Busy) ++refused;
    }
  };
  EXPECT_TRUE(parser.ParseCHM("x.chm", tmp / "out", kExtractAll, {}, items, pic, html, movie, total));
  EXPECT_FALSE(parser.IsBusy());
  EXPECT_EQ(refused, 7 + 7);  // seven streams reported and written
  EXPECT_EQ(Describe(items), Describe(expected.items));
  EXPECT_EQ(total, expected.total);
  EXPECT_EQ(ReadTree(tmp.path() / "out"), ReadTree(tmp.path() / "reference"));
  EXPECT_FALSE(fs::exists(tmp / "nested"));
}

TEST(cCHMParserBusyTest, AnEventHandlerThatThrowsLeavesTheParserUsable) {
  TempFolder tmp;
  auto recorder = std::make_shared<FakeRecorder>();
  cCHMParser parser(FakeStorageService::Factory(SampleTree(), {}, recorder));
  parser.Progress = [](const std::string& name, std::int32_t, bool) {
    if (name == "notes.txt") throw std::runtime_error("stop");
  };
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  EXPECT_THROW(parser.ParseCHM("x.chm", tmp / "out", kExtractAll, {}, items, pic, html, movie, total),
               std::runtime_error);
  EXPECT_FALSE(parser.IsBusy());
  EXPECT_EQ(recorder->liveObjects, 0);
  EXPECT_FALSE(fs::exists(tmp / "out"));  // writes come after the walk
  parser.Progress = nullptr;
  EXPECT_TRUE(parser.ParseCHM("x.chm", tmp / "out", kExtractAll, {}, items, pic, html, movie, total));
  EXPECT_EQ(items.size(), 11u);
}

// The handler throws while the large stream is being copied: the exception
// reaches the caller after the storage layer has returned, the file written
// before stays, and nothing of the interrupted one is left, not even its
// folder.
TEST(cCHMParserBusyTest, AWriteProgressHandlerThatThrowsMidStreamLeavesNoPartialFile) {
  TempFolder tmp;
  auto recorder = std::make_shared<FakeRecorder>();
  const std::uint64_t big = 9 << 20;
  cCHMParser parser(FakeStorageService::Factory(
      Root({Stream("small.htm", "small", 0), Storage("big", {test::GeneratedStream("big.avi", big, 1)}),
            Stream("late.htm", "late", 2)}),
      {}, recorder));
  int calls = 0;
  parser.WriteProgress = [&calls](std::uint64_t done, std::uint64_t) {
    ++calls;
    if (done > 5 && done < 5 + (9 << 20)) throw std::runtime_error("stop");
  };
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  EXPECT_THROW(parser.ParseCHM("x.chm", tmp / "out", kExtractAll, {}, items, pic, html, movie, total),
               std::runtime_error);
  EXPECT_EQ(calls, 2);  // after small.htm, then inside big.avi
  EXPECT_FALSE(parser.IsBusy());
  EXPECT_EQ(recorder->liveObjects, 0);
  EXPECT_EQ(ReadTree(tmp.path() / "out"), (Tree{{"small.htm", "small"}}));

  parser.WriteProgress = nullptr;
  EXPECT_TRUE(parser.ParseCHM("x.chm", tmp / "out", kExtractAll, {}, items, pic, html, movie, total));
  EXPECT_EQ(fs::file_size(tmp / "out/big/big.avi"), big);
  EXPECT_EQ(ReadFile(tmp / "out/late.htm"), "late");
}

}  // namespace
}  // namespace velmora::engine
