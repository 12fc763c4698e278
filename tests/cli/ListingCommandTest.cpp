// velmora-cli listing: the "仅文件列表" text, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliRun.h"
#include "tests/cli/SampleTree.h"
#include "tests/support/fake/FakeStorageService.h"

namespace {

using namespace velmora::test;

std::string SampleLines() {
  return "文件：\\index.htm，大小：18\r\n"
         "文件：\\images，这是目录\r\n"
         "文件：images\\logo.gif，大小：11\r\n"
         "文件：images\\photo.JPG，大小：4\r\n"
         "文件：\\html，这是目录\r\n"
         "文件：html\\a.htm，大小：8\r\n"
         "文件：html\\sub，这是目录\r\n"
         "文件：html\\sub\\deep.css，大小：3\r\n"
         "文件：\\movie.mp3，大小：3\r\n"
         "文件：\\notes.txt，大小：5\r\n"
         "文件：\\empty.htm，大小：0\r\n"
         "文件：\\#SYSTEM，大小：3\r\n";
}

class ListingCommandTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  std::string chm = WriteFile(scratch / "guide.chm", "stand-in");
  std::string list = scratch / "列表.txt";
};

TEST_F(ListingCommandTest, WritesHeaderItemLinesAndTheClosingLineBreak) {
  CliRun run = RunCli({"listing", "-o", list, chm}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "反编译完成，共12个内容，网页(4)，图片(2)，多媒体(1)。\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadFile(list), "CHM文件：" + chm + "\r\n" + SampleLines() + "\r\n");
}

TEST_F(ListingCommandTest, OneHeaderPerFileAndAMissingFileKeepsOnlyItsHeader) {
  const std::string missing = scratch / "missing.chm";
  CliRun run = RunCli({"listing", chm, missing, chm, "-o", list}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "文件不存在：" + missing + "\n");
  EXPECT_EQ(ReadFile(list), "CHM文件：" + chm + "\r\n" + SampleLines() + "CHM文件：" + missing + "\r\n" +
                                "CHM文件：" + chm + "\r\n" + SampleLines() + "\r\n");
  EXPECT_EQ(run.out,
            "反编译完成，共12个内容，网页(4)，图片(2)，多媒体(1)。\n"
            "反编译完成，共0个内容，网页(0)，图片(0)，多媒体(0)。\n"
            "反编译完成，共12个内容，网页(4)，图片(2)，多媒体(1)。\n");
}

TEST_F(ListingCommandTest, ReplacesAnExistingListing) {
  WriteFile(list, std::string(5000, 'x'));
  RunCli({"listing", "-o", list, chm}, FakeStorageService::Factory(Root({Stream("a.htm", "a")})));
  EXPECT_EQ(ReadFile(list), "CHM文件：" + chm + "\r\n文件：\\a.htm，大小：1\r\n\r\n");
}

TEST_F(ListingCommandTest, StreamOfFourGibibytesShowsItsExactSize) {
  FakeElement root = Root({GeneratedStream("huge.bin", 10).Declaring(4294967296ULL)});
  RunCli({"listing", "-o", list, chm}, FakeStorageService::Factory(root));
  EXPECT_EQ(ReadFile(list), "CHM文件：" + chm + "\r\n文件：\\huge.bin，大小：4294967296\r\n\r\n");
}

TEST_F(ListingCommandTest, UnwritableListingFileIsReported) {
  const std::string target = scratch / "no-such-folder/list.txt";
  CliRun run = RunCli({"listing", "-o", target, chm}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "写入文件失败：" + target + "\n");
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* problem;
};

class ListingUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(ListingUsageTest, IsRefusedWithoutWritingAnything) {
  ScratchFolder scratch;
  std::vector<std::string> args = {"listing"};
  for (const auto& arg : GetParam().args) args.push_back(arg == "LIST" ? scratch / "list.txt" : arg);
  CliRun run = RunCli(args, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, std::string("用法错误：") + GetParam().problem + "\n运行 velmora-cli --help 查看用法。\n");
  EXPECT_TRUE(FilesBelow(scratch.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Usage, ListingUsageTest,
    ::testing::Values(UsageCase{"NoListFile", {"a.chm"}, "listing 需要 -o 列表文件"},
                      UsageCase{"EmptyListFile", {"-o", "", "a.chm"}, "listing 需要 -o 列表文件"},
                      UsageCase{"NoChmFile", {"-o", "LIST"}, "listing 需要至少一个CHM文件"},
                      UsageCase{"UnknownOption", {"-o", "LIST", "-t", "1", "a.chm"}, "未知选项 -t"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

}  // namespace
