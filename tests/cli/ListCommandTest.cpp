// velmora-cli list: rows in walk order, then the open summary.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliRun.h"
#include "tests/cli/SampleTree.h"
#include "tests/support/fake/FakeStorageService.h"

namespace {

using namespace velmora::test;

class ListCommandTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  std::string chm = WriteFile(scratch / "guide.chm", "stand-in");
};

TEST_F(ListCommandTest, PrintsIndentedRowsThenTheOpenSummary) {
  CliRun run = RunCli({"list", chm}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "index.htm\n"
            "images\n"
            "  logo.gif\n"
            "  photo.JPG\n"
            "html\n"
            "  a.htm\n"
            "  sub\n"
            "    deep.css\n"
            "movie.mp3\n"
            "notes.txt\n"
            "empty.htm\n"
            "#SYSTEM\n"
            "解释完成，共12个内容，网页(4)，图片(2)，多媒体(1)，请导出文件。\n");
  EXPECT_EQ(run.err, "");
}

// A name can hold any byte; none reaches the terminal as a control code.
TEST_F(ListCommandTest, ControlCharactersInNamesAreShownAsHex) {
  const FakeElement root = Root({Storage("d\x7f", {Stream("\x1b[2J\r\n.htm", "x")}), Stream("tab\there", "y")});
  CliRun run = RunCli({"list", chm}, FakeStorageService::Factory(root));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "d\\x7F\n"
            "  \\x1B[2J\\x0D\\x0A.htm\n"
            "tab\\x09here\n"
            "解释完成，共3个内容，网页(1)，图片(0)，多媒体(0)，请导出文件。\n");
  const std::string list = scratch / "list.txt";
  run = RunCli({"listing", "-o", list, chm}, FakeStorageService::Factory(root));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFile(list), "CHM文件：" + chm +
                                "\r\n"
                                "文件：\\d\\x7F，这是目录\r\n"
                                "文件：d\\x7F\\\\x1B[2J\\x0D\\x0A.htm，大小：1\r\n"
                                "文件：\\tab\\x09here，大小：1\r\n\r\n");
}

// The rows go out in blocks of 64 KiB; a listing several blocks long loses
// and repeats no row where one block ends.
TEST_F(ListCommandTest, LongListingKeepsEveryRowAcrossWriteBlocks) {
  std::vector<FakeElement> pages;
  std::string expected = "folder\n";
  for (int i = 0; i < 6000; ++i) {
    const std::string name = "page-" + std::string(i % 61, 'x') + std::to_string(i) + (i % 500 == 7 ? "\t.htm" : ".htm");
    pages.push_back(Stream(name, "p"));
    expected += "  " + (i % 500 == 7 ? name.substr(0, name.size() - 5) + "\\x09.htm" : name) + "\n";
  }
  ASSERT_GT(expected.size(), 3u * 64 * 1024);
  CliRun run = RunCli({"list", chm}, FakeStorageService::Factory(Root({Storage("folder", std::move(pages))})));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, expected + "解释完成，共6001个内容，网页(6000)，图片(0)，多媒体(0)，请导出文件。\n");
}

TEST_F(ListCommandTest, EmptyChmListsOnlyTheSummary) {
  CliRun run = RunCli({"list", chm}, FakeStorageService::Factory(Root({})));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "解释完成，共0个内容，网页(0)，图片(0)，多媒体(0)，请导出文件。\n");
}

TEST_F(ListCommandTest, FailingStorageKeepsWhatWasListedBeforeIt) {
  FakeElement root = Root({Stream("a.htm", "a"), Storage("broken", {Stream("b.htm", "b")}).Failing(FakeCall::OpenStorage),
                           Stream("c.htm", "c")});
  CliRun run = RunCli({"list", chm}, FakeStorageService::Factory(root));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "a.htm\nbroken\n解释完成，共2个内容，网页(1)，图片(0)，多媒体(0)，请导出文件。\n");
}

TEST_F(ListCommandTest, WritesNothingToDisk) {
  RunCli({"list", chm}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(FilesBelow(scratch.path()).size(), 1u);  // the stand-in CHM file only
}

}  // namespace
