// velmora-cli extract: output folder, type rule, written files and summary.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliRun.h"
#include "tests/cli/SampleTree.h"
#include "tests/support/fake/FakeStorageService.h"

namespace {

using namespace velmora::test;
using Files = std::vector<std::pair<std::string, std::string>>;

const Files kEverything = {
    {"#SYSTEM", "sys"},          {"empty.htm", ""},           {"html/a.htm", "<p>a</p>"},
    {"html/sub/deep.css", "p{}"}, {"images/logo.gif", kLogoBytes}, {"images/photo.JPG", "jpeg"},
    {"index.htm", "<html>index</html>"}, {"movie.mp3", "ID3"},  {"notes.txt", "notes"},
};
const Files kPagesAndPictures = {
    {"empty.htm", ""},               {"html/a.htm", "<p>a</p>"},   {"html/sub/deep.css", "p{}"},
    {"images/logo.gif", kLogoBytes}, {"images/photo.JPG", "jpeg"}, {"index.htm", "<html>index</html>"},
};
const Files kPictures = {{"images/logo.gif", kLogoBytes}, {"images/photo.JPG", "jpeg"}};

struct ExtractCase {
  const char* name;
  std::vector<std::string> typeArgs;  // -t and its value, or nothing
  const char* summary;
  Files files;
};

class ExtractTypeCommandTest : public ::testing::TestWithParam<ExtractCase> {
 protected:
  ScratchFolder scratch;
  std::string chm = WriteFile(scratch / "guide.chm", "stand-in");
};

TEST_P(ExtractTypeCommandTest, WritesTheSelectedStreamsAndTheExportSummary) {
  std::vector<std::string> args = {"extract", chm, "-o", scratch / "out"};
  args.insert(args.end(), GetParam().typeArgs.begin(), GetParam().typeArgs.end());
  CliRun run = RunCli(args, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(GetParam().summary) + "\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(FilesBelow(scratch.path() / "out"), GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ExtractTypeCommandTest,
    ::testing::Values(
        ExtractCase{"DefaultIsEverything", {}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(0)。", kEverything},
        ExtractCase{"PagesAndPictures", {"-t", "12"}, "反编译完成，共12个内容，网页(4)，图片(2)，多媒体(0)。",
                    kPagesAndPictures},
        ExtractCase{"Pictures", {"-t", "4"}, "反编译完成，共12个内容，网页(0)，图片(2)，多媒体(0)。", kPictures},
        ExtractCase{"HalfRoundsToEvenPictures", {"-t", "4.5"}, "反编译完成，共12个内容，网页(0)，图片(2)，多媒体(0)。",
                    kPictures},
        ExtractCase{"Multimedia", {"-t", "16"}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(1)。",
                    Files{{"movie.mp3", "ID3"}}},
        ExtractCase{"ThreeSelectsNothing", {"-t", "3"}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(0)。", Files{}},
        ExtractCase{"ZeroIsEverything", {"-t", "0"}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(0)。", kEverything},
        ExtractCase{"SeventeenIsEverything", {"-t", "17"}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(0)。",
                    kEverything},
        ExtractCase{"SingleStreamTypeIsEverything", {"-t", "32"}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(0)。",
                    kEverything},
        ExtractCase{"LettersAreEverything", {"-t", "abc"}, "反编译完成，共12个内容，网页(0)，图片(0)，多媒体(0)。",
                    kEverything}),
    [](const ::testing::TestParamInfo<ExtractCase>& info) { return std::string(info.param.name); });

class ExtractCommandTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  std::string chm = WriteFile(scratch / "guide.chm", "stand-in");
};

TEST_F(ExtractCommandTest, DefaultFolderIsTheChmPathWithSuffix) {
  CliRun run = RunCli({"extract", chm}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(FilesBelow(scratch.path() / "guide.chm_文件内容"), kEverything);
}

TEST_F(ExtractCommandTest, ReplacesAnExistingFile) {
  std::filesystem::create_directories(scratch.path() / "out" / "html");
  WriteFile(scratch / "out/html/a.htm", "an older and longer text");
  RunCli({"extract", chm, "-o", scratch / "out"}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(ReadFile(scratch / "out/html/a.htm"), "<p>a</p>");
}

// A link planted in the default folder (manual.chm next to
// manual.chm_文件内容/autostart -> somewhere else) and a stream that fails
// to read: both are reported, the walk goes on, and the status is 3.
TEST_F(ExtractCommandTest, EveryLostStreamIsReportedAndTheStatusIsThree) {
  namespace fs = std::filesystem;
  const std::string manual = WriteFile(scratch / "manual.chm", "stand-in");
  fs::create_directories(scratch.path() / "elsewhere");
  fs::create_directories(scratch.path() / "manual.chm_文件内容");
  fs::create_symlink(scratch.path() / "elsewhere", scratch.path() / "manual.chm_文件内容/autostart");
  FakeElement root = Root({
      GeneratedStream("big.htm", 100000).Failing(FakeCall::CopyTo, 5000),
      Storage("autostart", {Stream("evil\x1b.desktop", "[Desktop Entry]")}),
      Stream("b.htm", "b"),
  });
  CliRun run = RunCli({"extract", manual}, FakeStorageService::Factory(root));
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "反编译完成，共4个内容，网页(0)，图片(0)，多媒体(0)，2个内容未能导出。\n");
  EXPECT_EQ(run.err,
            "未能导出：\\big.htm（无法读取）\n"
            "未能导出：autostart\\evil\\x1B.desktop（路径中有符号链接）\n"
            "共2个内容未能导出。\n");
  EXPECT_EQ(FilesBelow(scratch.path() / "manual.chm_文件内容"), (Files{{"b.htm", "b"}}));
  EXPECT_TRUE(fs::is_empty(scratch.path() / "elsewhere"));
}

TEST_F(ExtractCommandTest, FileInPlaceOfTheOutputFolderIsReported) {
  const std::string target = WriteFile(scratch / "out", "a file");
  CliRun run = RunCli({"extract", chm, "-o", target}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "写入文件失败：" + target + "\n");
  EXPECT_EQ(ReadFile(target), "a file");
}

TEST_F(ExtractCommandTest, EmptyOutputFolderIsAUsageError) {
  CliRun run = RunCli({"extract", chm, "-o", ""}, FakeStorageService::Factory(SampleTree()));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "用法错误：-o 的文件夹为空\n运行 velmora-cli --help 查看用法。\n");
}

}  // namespace
