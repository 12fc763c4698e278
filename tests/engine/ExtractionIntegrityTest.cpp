// What an extraction may never do, whatever the output folder already
// holds (no write through a symbolic link below it), and what it reports
// for every stream it could not write.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/StagedFile.h"
#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/SystemCallsGuard.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/chm/ChmBuilder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::FakeCall;
using test::FakeStorageService;
using test::ReadTree;
using test::Root;
using test::Storage;
using test::Stream;
using test::TempFolder;
using test::WriteFile;
using Tree = std::map<std::string, std::string>;

std::vector<std::string> Describe(const std::vector<LostItem>& lost) {
  std::vector<std::string> rows;
  for (const auto& item : lost) rows.push_back(item.strKey + " " + LossReasonText(item.reason));
  return rows;
}

// A link planted below the output folder before the walk: link (relative
// to the output folder) points at target (relative to the temporary
// folder, which also holds "elsewhere/").
struct PlantedLink {
  std::string link;
  std::string target;
};

struct LinkCase {
  const char* label;
  std::vector<std::string> folders;  // made below the output folder first
  std::vector<PlantedLink> links;
  std::vector<std::string> lost;     // "key reason"
  Tree written;                      // below the output folder, links left out
};

class SymbolicLinkTest : public testing::TestWithParam<LinkCase> {};

// The CHM file holds streams at every depth of a/b/c, so a link at any
// depth lies on the path of some of them; ok.txt is on no link's path.
TEST_P(SymbolicLinkTest, NothingIsWrittenThroughALinkAndEachStreamBehindOneIsLost) {
  TempFolder tmp;
  const std::string chm = tmp / "links.chm";
  ASSERT_TRUE(testsupport::ChmBuilder()
                  .add("/ok.txt", "ok")
                  .add("/a/1.txt", "one")
                  .add("/a/b/2.txt", "two")
                  .add("/a/b/c/3.txt", "three")
                  .add("/sub/evil.txt", "evil")
                  .writeTo(chm));
  fs::create_directories(tmp.path() / "elsewhere");
  fs::create_directories(tmp.path() / "out");
  for (const auto& folder : GetParam().folders) fs::create_directories(tmp.path() / "out" / folder);
  for (const auto& planted : GetParam().links) {
    fs::create_symlink(tmp.path() / planted.target, tmp.path() / "out" / planted.link);
  }

  cCHMParser parser;
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  ASSERT_TRUE(parser.ParseCHM(chm, tmp / "out", kExtractAll, {}, items, pic, html, movie, total));

  EXPECT_TRUE(ReadTree(tmp.path() / "elsewhere").empty());
  EXPECT_EQ(Describe(parser.LostItems()), GetParam().lost);
  Tree written;
  for (const auto& entry : fs::recursive_directory_iterator(tmp.path() / "out")) {
    if (entry.is_symlink()) continue;
    const std::string relative = fs::relative(entry.path(), tmp.path() / "out").string();
    if (entry.is_regular_file()) written[relative] = test::ReadFile(entry.path());
  }
  EXPECT_EQ(written, GetParam().written);
}

const Tree kAll = {{"ok.txt", "ok"}, {"a/1.txt", "one"}, {"a/b/2.txt", "two"}, {"a/b/c/3.txt", "three"},
                   {"sub/evil.txt", "evil"}};

Tree AllBut(std::initializer_list<const char*> gone) {
  Tree tree = kAll;
  for (const char* path : gone) tree.erase(path);
  return tree;
}

INSTANTIATE_TEST_SUITE_P(
    Links, SymbolicLinkTest,
    testing::Values(
        LinkCase{"FolderLink", {}, {{"sub", "elsewhere"}}, {"sub\\evil.txt 路径中有符号链接"}, AllBut({"sub/evil.txt"})},
        LinkCase{"ChainOfLinks",
                 {},
                 {{"hop", "elsewhere"}, {"sub", "out/hop"}},
                 {"sub\\evil.txt 路径中有符号链接"},
                 AllBut({"sub/evil.txt"})},
        LinkCase{"DanglingLink", {}, {{"sub", "elsewhere/not-yet"}}, {"sub\\evil.txt 路径中有符号链接"},
                 AllBut({"sub/evil.txt"})},
        LinkCase{"LinkAtDepth1",
                 {},
                 {{"a", "elsewhere"}},
                 {"a\\1.txt 路径中有符号链接", "a\\b\\2.txt 路径中有符号链接", "a\\b\\c\\3.txt 路径中有符号链接"},
                 AllBut({"a/1.txt", "a/b/2.txt", "a/b/c/3.txt"})},
        LinkCase{"LinkAtDepth2",
                 {"a"},
                 {{"a/b", "elsewhere"}},
                 {"a\\b\\2.txt 路径中有符号链接", "a\\b\\c\\3.txt 路径中有符号链接"},
                 AllBut({"a/b/2.txt", "a/b/c/3.txt"})},
        LinkCase{"LinkAtDepth3", {"a/b"}, {{"a/b/c", "elsewhere"}}, {"a\\b\\c\\3.txt 路径中有符号链接"},
                 AllBut({"a/b/c/3.txt"})},
        // A link in a file's place is replaced by the file, never followed.
        LinkCase{"FileLinkIsReplaced", {}, {{"ok.txt", "elsewhere/target.txt"}}, {}, kAll}),
    [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.label); });

TEST(SymbolicLinkTest, OutputFolderThatIsALinkIsFollowed) {
  TempFolder tmp;
  const std::string chm = tmp / "one.chm";
  ASSERT_TRUE(testsupport::ChmBuilder().add("/d/x.htm", "x").writeTo(chm));
  fs::create_directories(tmp.path() / "real");
  fs::create_symlink(tmp.path() / "real", tmp.path() / "chosen");
  cCHMParser parser;
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  ASSERT_TRUE(parser.ParseCHM(chm, tmp / "chosen", kExtractAll, {}, items, pic, html, movie, total));
  EXPECT_TRUE(parser.LostItems().empty());
  EXPECT_EQ(ReadTree(tmp.path() / "real"), (Tree{{"d/", ""}, {"d/x.htm", "x"}}));
}

// Write failures: a full disk (the write call fails with ENOSPC), a folder
// or a file in the way. Reading failures come from the fake storage.
ssize_t DiskFullWrite(int, const void*, std::size_t) {
  errno = ENOSPC;
  return -1;
}

struct DiskFullGuard : test::SystemCallsGuard {
  DiskFullGuard() : SystemCallsGuard([](StagedFile::SystemCalls& calls) { calls.write = &DiskFullWrite; }) {}
};

TEST(LossReportTest, EveryStreamThatIsNotWrittenIsListedInWalkOrderWithItsReason) {
  TempFolder tmp;
  fs::create_directories(tmp.path() / "out/taken.htm");  // a folder where a file goes
  WriteFile(tmp.path() / "out/plain", "a file where a folder goes");
  const auto root = Root({
      Stream("good.htm", "good", 1),
      Stream("taken.htm", "x", 2),
      Storage("plain", {Stream("in.htm", "y", 3)}),
      Stream("broken.htm", std::string(9000, 'b'), 4).Failing(FakeCall::CopyTo, 4096),
      Stream("short.htm", "abc", 5).Declaring(10),
      Storage("deep", {Stream("unopenable.htm", "z", 6).Failing(FakeCall::OpenStream), Stream("after.htm", "w", 7)}),
      Stream("last.htm", "last", 0),  // written first: container order
  });
  cCHMParser parser(FakeStorageService::Factory(root));
  const auto r = test::RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_TRUE(r.result);
  EXPECT_EQ(Describe(parser.LostItems()), (std::vector<std::string>{
                                              "\\taken.htm 已有同名文件夹",
                                              "plain\\in.htm 路径中已有同名文件",
                                              "\\broken.htm 无法读取",
                                              "\\short.htm 数据损坏，无法解压",
                                              "deep\\unopenable.htm 无法读取",
                                          }));
  EXPECT_EQ(parser.WrittenCount(), 2u);
  EXPECT_EQ(ReadTree(tmp.path() / "out"), (Tree{{"good.htm", "good"},
                                                {"last.htm", "last"},
                                                {"plain", "a file where a folder goes"},
                                                {"taken.htm/", ""}}));
}

TEST(LossReportTest, FullDiskLosesEveryStreamAndLeavesNoFile) {
  TempFolder tmp;
  const auto root = Root({Stream("a.htm", "a", 1), Storage("d", {Stream("b.htm", "b", 2)})});
  for (const std::int32_t type : {kExtractAll, kExtractSingle}) {
    SCOPED_TRACE(type);
    cCHMParser parser(FakeStorageService::Factory(root));
    DiskFullGuard full;
    const std::string output = type == kExtractSingle ? tmp / "out/single.htm" : tmp / "out";
    const auto r = test::RunWalk(parser, type, output, {"d\\b.htm"});
    EXPECT_TRUE(r.result);
    const std::vector<std::string> expected =
        type == kExtractSingle ? std::vector<std::string>{"d\\b.htm 磁盘空间不足"}
                               : std::vector<std::string>{"\\a.htm 磁盘空间不足", "d\\b.htm 磁盘空间不足"};
    EXPECT_EQ(Describe(parser.LostItems()), expected);
    EXPECT_EQ(parser.WrittenCount(), 0u);
    EXPECT_TRUE(ReadTree(tmp.path() / "out").empty());
  }
}

TEST(LossReportTest, NextWalkStartsWithAnEmptyList) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(Root({Stream("a.htm", "a", 1)})));
  {
    DiskFullGuard full;
    test::RunWalk(parser, kExtractAll, tmp / "out");
  }
  ASSERT_EQ(parser.LostItems().size(), 1u);
  test::RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_TRUE(parser.LostItems().empty());
  EXPECT_EQ(parser.WrittenCount(), 1u);
}

}  // namespace
}  // namespace velmora::engine
