// What each extract type writes to disk, and the single-stream extraction.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/SampleTree.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
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

const Tree kSampleFiles = {
    {"index.htm", "<html>index</html>"},
    {"html/", ""},
    {"html/a.htm", "page a"},
    {"html/images/", ""},
    {"html/images/logo.GIF", "GIF89a-logo"},
    {"html/images/empty.png", ""},
    {"html/notes.txt", "notes"},
    {"song.MP3", "ID3-song"},
    {"README", "readme"},
};

// The sample's files whose relative path is in keep, with their folders.
Tree SampleSubset(const std::set<std::string>& keep) {
  Tree tree;
  for (const auto& [path, bytes] : kSampleFiles) {
    if (!keep.count(path)) continue;
    tree[path] = bytes;
    for (auto slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
      tree[path.substr(0, slash + 1)] = "";
  }
  return tree;
}

struct TypeCase {
  const char* label;
  std::int32_t type;
  std::set<std::string> written;
  int pages, movies, pictures;
};

class ExtractTypeTest : public testing::TestWithParam<TypeCase> {};

TEST_P(ExtractTypeTest, WritesSelectedStreamsAndCountsTheirCategories) {
  const auto& c = GetParam();
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto r = RunWalk(parser, c.type, tmp / "out");
  EXPECT_TRUE(r.result);
  EXPECT_EQ(ReadTree(tmp.path() / "out"), SampleSubset(c.written));
  EXPECT_EQ(r.pages, c.pages);
  EXPECT_EQ(r.movies, c.movies);
  EXPECT_EQ(r.pictures, c.pictures);
  EXPECT_EQ(r.total, 11);
  EXPECT_EQ(r.events.size(), c.type == kExtractNone ? 2u : 7u);  // other streams / every stream
}

const std::set<std::string> kPages = {"index.htm", "html/a.htm"};
const std::set<std::string> kPictures = {"html/images/logo.GIF", "html/images/empty.png"};
const std::set<std::string> kMovies = {"song.MP3"};

std::set<std::string> Union(std::initializer_list<std::set<std::string>> sets) {
  std::set<std::string> all;
  for (const auto& s : sets) all.insert(s.begin(), s.end());
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    Types, ExtractTypeTest,
    testing::Values(
        TypeCase{"ListOnlyWritesNothing", 0, {}, 2, 1, 2},
        TypeCase{"EverythingCountsNothing", 1, Union({kPages, kPictures, kMovies, {"html/notes.txt", "README"}}), 0, 0, 0},
        TypeCase{"NoBitsSelectNothing", 3, {}, 0, 0, 0},
        TypeCase{"Pictures", 4, kPictures, 0, 0, 2},
        TypeCase{"PicturesAndIgnoredBit", 5, kPictures, 0, 0, 2},
        TypeCase{"Pages", 8, kPages, 2, 0, 0},
        TypeCase{"PagesAndPictures", 12, Union({kPages, kPictures}), 2, 0, 2},
        TypeCase{"Multimedia", 16, kMovies, 0, 1, 0},
        TypeCase{"AllCategories", 28, Union({kPages, kPictures, kMovies}), 2, 1, 2},
        TypeCase{"HighBitsIgnored", 64 + 8, kPages, 2, 0, 0}),
    [](const testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.label); });

TEST(cCHMParserExtractTest, OutputFolderWithOrWithoutTrailingSlash) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  RunWalk(parser, kExtractAll, tmp / "a");
  RunWalk(parser, kExtractAll, tmp / "b/");
  EXPECT_EQ(ReadTree(tmp.path() / "a"), kSampleFiles);
  EXPECT_EQ(ReadTree(tmp.path() / "b"), kSampleFiles);
}

TEST(cCHMParserExtractTest, OutputFolderIsCreatedOnlyByAWrite) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(Root({Stream("a.htm", "x"), Stream("empty.gif", "")})));
  RunWalk(parser, kExtractMultimedia, tmp / "none/out");
  EXPECT_FALSE(fs::exists(tmp / "none"));
  // An empty stream is a file like any other.
  RunWalk(parser, kExtractPictures, tmp / "empty/out");
  EXPECT_EQ(ReadTree(tmp.path() / "empty/out"), (Tree{{"empty.gif", ""}}));
  EXPECT_EQ(parser.WrittenCount(), 1u);
  RunWalk(parser, kExtractPages, tmp / "pages/out");
  EXPECT_EQ(ReadFile(tmp / "pages/out/a.htm"), "x");
}

TEST(cCHMParserExtractTest, ExistingFilesAreReplacedEvenByEmptyStreams) {
  TempFolder tmp;
  fs::create_directories(tmp / "out/html/images");
  WriteFile(tmp / "out/index.htm", "a much longer earlier file than the stream");
  WriteFile(tmp / "out/html/images/empty.png", "earlier picture");
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_EQ(ReadFile(tmp / "out/index.htm"), "<html>index</html>");
  EXPECT_EQ(ReadTree(tmp.path() / "out"), kSampleFiles);
}

// A link at a folder name the program made up, planted after the caller
// looked: every stream is lost, nothing reaches where the link points.
TEST(cCHMParserExtractTest, MadeUpOutputFolderThatIsALinkLosesEverything) {
  TempFolder tmp;
  fs::create_directory(tmp / "target");
  fs::create_directory_symlink(tmp / "target", tmp / "a.chm_文件内容");
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto r = RunWalk(parser, kExtractAll, OutputPath::MadeUp(tmp / "a.chm_文件内容"));
  EXPECT_TRUE(r.result);
  EXPECT_EQ(parser.LostItems().size(), 7u);
  for (const LostItem& item : parser.LostItems()) EXPECT_EQ(item.reason, LossReason::SymbolicLink) << item.strKey;
  EXPECT_EQ(parser.WrittenCount(), 0u);
  EXPECT_TRUE(fs::is_empty(tmp / "target"));
}

TEST(cCHMParserExtractTest, SameNameInTwoStoragesGoesToTwoFolders) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(Root({
      Storage("en", {Stream("index.htm", "english")}),
      Storage("zh", {Stream("index.htm", "中文")}),
  })));
  RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_EQ(ReadFile(tmp / "out/en/index.htm"), "english");
  EXPECT_EQ(ReadFile(tmp / "out/zh/index.htm"), "中文");
}

TEST(cCHMParserExtractTest, EmptyOutputFolderWritesNothing) {
  TempFolder tmp;
  const fs::path before = fs::current_path();
  fs::current_path(tmp.path());
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto r = RunWalk(parser, kExtractAll, "");
  fs::current_path(before);
  EXPECT_TRUE(r.result);
  EXPECT_EQ(r.items.size(), 11u);
  EXPECT_TRUE(ReadTree(tmp.path()).empty());
  EXPECT_FALSE(fs::exists("/index.htm"));
}

struct ListedCase {
  const char* label;
  std::vector<std::string> entries;
  std::set<std::string> written;
};

class ListedExtractTest : public testing::TestWithParam<ListedCase> {};

TEST_P(ListedExtractTest, WritesStreamsMatchingAnEntry) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto r = RunWalk(parser, kExtractListed, tmp / "out", GetParam().entries);
  EXPECT_EQ(ReadTree(tmp.path() / "out"), SampleSubset(GetParam().written));
  EXPECT_EQ(r.pages + r.movies + r.pictures, 0);
  EXPECT_EQ(r.events.size(), 7u);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ListedExtractTest,
    testing::Values(
        ListedCase{"RootBareName", {"index.htm"}, {"index.htm"}},
        ListedCase{"RootRecordKeyIgnoringCase", {"\\INDEX.HTM"}, {"index.htm"}},
        ListedCase{"NestedRecordKey", {"html\\A.htm"}, {"html/a.htm"}},
        ListedCase{"NestedBareNameMatchesNothing", {"a.htm"}, {}},
        ListedCase{"NestedKeyWithLeadingBackslashMatchesNothing", {"\\html\\a.htm"}, {}},
        ListedCase{"RootStorageKeySelectsEverythingBelow",
                   {"\\html"},
                   {"html/a.htm", "html/images/logo.GIF", "html/images/empty.png", "html/notes.txt"}},
        ListedCase{"RootStorageBareNameSelectsEverythingBelow",
                   {"HTML"},
                   {"html/a.htm", "html/images/logo.GIF", "html/images/empty.png", "html/notes.txt"}},
        ListedCase{"NestedStorageKey", {"html\\images"}, {"html/images/logo.GIF", "html/images/empty.png"}},
        ListedCase{"NestedStorageBareNameMatchesNothing", {"images"}, {}},
        ListedCase{"SeveralEntries", {"README", "song.mp3", "nothing"}, {"README", "song.MP3"}},
        ListedCase{"NoEntries", {}, {}}),
    [](const testing::TestParamInfo<ListedCase>& info) { return std::string(info.param.label); });

// Type 32 runs with a collection and counters that must stay as they are.
struct SingleRun {
  bool result;
  bool untouched;
  int events = 0;
};

SingleRun RunSingle(cCHMParser& parser, const std::string& output, const std::vector<std::string>& key) {
  cCHMItemCollection items(2);
  items[0].Name = "kept";
  std::int32_t pic = 1, html = 2, movie = 3, total = 4;
  SingleRun run{};
  parser.Progress = [&run](const std::string&, std::int32_t, bool) { ++run.events; };
  run.result = parser.ParseCHM("x.chm", output, kExtractSingle, key, items, pic, html, movie, total);
  parser.Progress = nullptr;
  run.untouched = items.size() == 2 && items[0].Name == "kept" && pic == 1 && html == 2 && movie == 3 && total == 4;
  return run;
}

TEST(cCHMParserSingleTest, WritesTheStreamWithTheRecordKey) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto run = RunSingle(parser, tmp / "preview/~preview.htm", {"\\index.htm"});
  EXPECT_TRUE(run.result);
  EXPECT_TRUE(run.untouched);
  EXPECT_EQ(run.events, 0);
  EXPECT_EQ(ReadFile(tmp / "preview/~preview.htm"), "<html>index</html>");
}

TEST(cCHMParserSingleTest, NestedKeyIgnoresCaseAndReplacesExistingFile) {
  TempFolder tmp;
  WriteFile(tmp / "logo.gif", "an earlier, longer preview file");
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  EXPECT_TRUE(RunSingle(parser, tmp / "logo.gif", {"HTML\\Images\\LOGO.gif"}).result);
  EXPECT_EQ(ReadFile(tmp / "logo.gif"), "GIF89a-logo");
}

TEST(cCHMParserSingleTest, EmptyStreamGivesAnEmptyFileInPlaceOfAnEarlierOne) {
  TempFolder tmp;
  WriteFile(tmp / "empty.png", "an earlier file");
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  EXPECT_TRUE(RunSingle(parser, tmp / "empty.png", {"html\\images\\empty.png"}).result);
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"empty.png", ""}}));
  EXPECT_EQ(parser.WrittenCount(), 1u);
  EXPECT_TRUE(parser.LostItems().empty());
}

struct SingleMissCase {
  const char* label;
  std::string key;
};

class SingleMissTest : public testing::TestWithParam<SingleMissCase> {};

TEST_P(SingleMissTest, WritesNothingAndStillSucceeds) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto run = RunSingle(parser, tmp / "out.bin", {GetParam().key});
  EXPECT_TRUE(run.result);
  EXPECT_TRUE(run.untouched);
  EXPECT_TRUE(ReadTree(tmp.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, SingleMissTest,
                         testing::Values(SingleMissCase{"BareNameIsNoKey", "index.htm"},
                                         SingleMissCase{"StorageKey", "\\html"},
                                         SingleMissCase{"NestedWithLeadingBackslash", "\\html\\a.htm"},
                                         SingleMissCase{"EmptyKey", ""}),
                         [](const testing::TestParamInfo<SingleMissCase>& info) {
                           return std::string(info.param.label);
                         });

TEST(cCHMParserSingleTest, OutputWithoutFolderWritesNothing) {
  TempFolder tmp;
  const fs::path before = fs::current_path();
  fs::current_path(tmp.path());
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  const auto run = RunSingle(parser, "bare-name.htm", {"\\index.htm"});
  fs::current_path(before);
  EXPECT_TRUE(run.result);
  EXPECT_TRUE(ReadTree(tmp.path()).empty());
}

TEST(cCHMParserSingleTest, MissingKeyIsAnErrorOnlyForARecognisedFile) {
  cCHMParser parser(FakeStorageService::Factory(SampleTree()));
  try {
    RunSingle(parser, "/tmp/x", {});
    FAIL() << "no error";
  } catch (const ParseError& e) {
    EXPECT_EQ(e.kind(), ParseError::Kind::NoRecordKey);
  }
  EXPECT_FALSE(parser.IsBusy());

  test::FakeOptions notChm;
  notChm.isStorageFile = platform::S_FALSE;
  cCHMParser other(FakeStorageService::Factory(SampleTree(), notChm));
  EXPECT_FALSE(RunSingle(other, "/tmp/x", {}).result);
}

}  // namespace
}  // namespace velmora::engine
