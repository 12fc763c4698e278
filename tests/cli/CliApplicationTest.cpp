// velmora-cli's dispatch, usage errors, exit statuses and failure messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliApplication.h"
#include "tests/cli/CliRun.h"
#include "tests/cli/SampleTree.h"
#include "tests/support/fake/FakeStorageService.h"

namespace {

using namespace velmora::test;

const std::string kUsage = velmora::cli::CliApplication::UsageText();
const std::string kHelpHint = "\n运行 velmora-cli --help 查看用法。\n";

TEST(CliApplicationTest, HelpGoesToStandardOutput) {
  for (const char* option : {"--help", "-h"}) {
    CliRun run = RunCli({option});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kUsage);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_NE(kUsage.find("velmora-cli extract FILE.chm [-o DIR] [-t TYPE]"), std::string::npos);
}

TEST(CliApplicationTest, NoArgumentsPrintsUsageAsAnError) {
  CliRun run = RunCli({});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, kUsage);
}

TEST(CliApplicationTest, UnknownCommandIsAUsageError) {
  CliRun run = RunCli({"show", "a.chm"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "用法错误：未知命令 show\n\n" + kUsage);
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* problem;
};

class CommandUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CommandUsageTest, IsRefusedWithExitTwo) {
  CliRun run = RunCli(GetParam().args, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, std::string("用法错误：") + GetParam().problem + kHelpHint);
}

INSTANTIATE_TEST_SUITE_P(
    Usage, CommandUsageTest,
    ::testing::Values(UsageCase{"ListWithoutFile", {"list"}, "list 需要一个CHM文件"},
                      UsageCase{"ListTwoFiles", {"list", "a.chm", "b.chm"}, "list 需要一个CHM文件"},
                      UsageCase{"ListWithOption", {"list", "-o", "x", "a.chm"}, "未知选项 -o"},
                      UsageCase{"ExtractWithoutFile", {"extract", "-o", "x"}, "extract 需要一个CHM文件"},
                      UsageCase{"ExtractTypeWithoutValue", {"extract", "a.chm", "-t"}, "选项 -t 缺少值"},
                      UsageCase{"ExtractFolderTwice", {"extract", "a.chm", "-o", "x", "-o", "y"}, "选项 -o 重复"},
                      UsageCase{"CatWithoutKey", {"cat", "a.chm"}, "cat 需要一个CHM文件和一个记录键"},
                      UsageCase{"CatTooMany", {"cat", "a.chm", "\\a", "\\b"}, "cat 需要一个CHM文件和一个记录键"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

// Each command on a file that cannot be read: exit 1, the message, no output.
struct FailureCase {
  const char* name;
  std::vector<std::string> args;  // FILE stands for the CHM path, OUT for a folder
};

class UnreadableFileTest : public ::testing::TestWithParam<FailureCase> {
 protected:
  std::vector<std::string> Args(const std::string& chm) {
    std::vector<std::string> args;
    for (const auto& arg : GetParam().args) args.push_back(arg == "FILE" ? chm : arg == "OUT" ? scratch / "out" : arg);
    return args;
  }
  void ExpectNothingWritten(const std::string& chm) {
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "out"));
    EXPECT_FALSE(std::filesystem::exists(chm + "_文件内容"));
  }
  ScratchFolder scratch;
};

TEST_P(UnreadableFileTest, MissingFile) {
  const std::string chm = scratch / "missing.chm";
  CliRun run = RunCli(Args(chm), FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "文件不存在：" + chm + "\n");
  ExpectNothingWritten(chm);
}

TEST_P(UnreadableFileTest, FolderIsNotAFile) {
  const std::string chm = scratch / "folder.chm";
  std::filesystem::create_directory(chm);
  CliRun run = RunCli(Args(chm), FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "文件不存在：" + chm + "\n");
}

TEST_P(UnreadableFileTest, TextFileIsNotAChm) {
  const std::string chm = WriteFile(scratch / "notes.chm", "just some text, long enough to hold a header\n");
  CliRun run = RunCli(Args(chm));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
  ExpectNothingWritten(chm);
}

TEST_P(UnreadableFileTest, EmptyFileIsNotAChm) {
  const std::string chm = WriteFile(scratch / "empty.chm", "");
  CliRun run = RunCli(Args(chm));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
}

TEST_P(UnreadableFileTest, ServiceDoesNotRecogniseTheFile) {
  const std::string chm = WriteFile(scratch / "a.chm", "x");
  FakeOptions options;
  options.isStorageFile = velmora::platform::S_FALSE;
  CliRun run = RunCli(Args(chm), FakeStorageService::Factory(SampleTree(), options));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
  ExpectNothingWritten(chm);
}

TEST_P(UnreadableFileTest, RecognisedFileThatCannotBeOpened) {
  const std::string chm = WriteFile(scratch / "a.chm", "x");
  FakeOptions options;
  options.openRoot = velmora::platform::E_INVALIDHEADER;
  CliRun run = RunCli(Args(chm), FakeStorageService::Factory(SampleTree(), options));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
  ExpectNothingWritten(chm);
}

INSTANTIATE_TEST_SUITE_P(Commands, UnreadableFileTest,
                         ::testing::Values(FailureCase{"List", {"list", "FILE"}},
                                           FailureCase{"ExtractDefaultFolder", {"extract", "FILE"}},
                                           FailureCase{"Extract", {"extract", "FILE", "-o", "OUT", "-t", "4"}},
                                           FailureCase{"Cat", {"cat", "FILE", "\\index.htm"}}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(CliProgressTest, EveryFifthStreamOverwritesOneLineOnlyWhenEnabled) {
  ScratchFolder scratch;
  const std::string chm = WriteFile(scratch / "a.chm", "x");
  std::vector<FakeElement> streams;
  for (int i = 1; i <= 11; ++i) streams.push_back(Stream("s" + std::to_string(i) + ".txt", "x"));
  streams.push_back(Stream("page.htm", "x"));  // a category stream: no event in a listing

  CliRun quiet = RunCli({"list", chm}, FakeStorageService::Factory(Root(streams)), false);
  EXPECT_EQ(quiet.err, "");
  CliRun shown = RunCli({"list", chm}, FakeStorageService::Factory(Root(streams)), true);
  EXPECT_EQ(shown.err, "\r正在解释：s5.txt，大小：1\x1b[K\r正在解释：s10.txt，大小：1\x1b[K\r\x1b[K");
  EXPECT_EQ(shown.out, quiet.out);
}

TEST(CliProgressTest, ExtractionShowsTheShareWritten) {
  ScratchFolder scratch;
  const std::string chm = WriteFile(scratch / "a.chm", "x");
  CliRun run = RunCli({"extract", chm, "-o", scratch / "out"},
                      FakeStorageService::Factory(Root({GeneratedStream("big.bin", 1 << 20)})), true);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("\r正在写入：100%\x1b[K"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.substr(run.err.size() - 4), "\r\x1b[K");
}

}  // namespace
