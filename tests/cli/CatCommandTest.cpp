// velmora-cli cat: one stream by record key to standard output.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliRun.h"
#include "tests/cli/SampleTree.h"
#include "tests/support/fake/FakeStorageService.h"

namespace {

using namespace velmora::test;

struct CatCase {
  const char* name;
  const char* key;
  int status;
  std::string out;
  std::string err;
};

class CatCommandTest : public ::testing::TestWithParam<CatCase> {};

TEST_P(CatCommandTest, CopiesTheStreamOrSaysWhyNot) {
  ScratchFolder scratch;
  const std::string chm = WriteFile(scratch / "guide.chm", "stand-in");
  FakeElement root = SampleTree();
  root.children.push_back(GeneratedStream("broken.htm", 9000).Failing(FakeCall::CopyTo, 4096));
  root.children.push_back(Stream("\xC3\xBC" "ber.htm", "umlaut"));                // über.htm
  root.children.push_back(Storage("\xD0\xB4", {Stream("\xD0\xB6.htm", "cyrillic")}));  // д/ж.htm
  CliRun run = RunCli({"cat", chm, GetParam().key}, FakeStorageService::Factory(root));
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.out, GetParam().out);
  EXPECT_EQ(run.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CatCommandTest,
    ::testing::Values(CatCase{"RootStream", "\\index.htm", 0, "<html>index</html>", ""},
                      CatCase{"DotDotKeyMatchesNothing", "\\images\\..\\images\\logo.gif", 1, "",
                              "找不到文件：\\images\\..\\images\\logo.gif\n"},
                      CatCase{"NestedKey", "images\\logo.gif", 0, kLogoBytes, ""},
                      CatCase{"SlashesAndCaseIgnored", "HTML/Sub/DEEP.CSS", 0, "p{}", ""},
                      CatCase{"SystemStream", "\\#system", 0, "sys", ""},
                      CatCase{"LeadingSlashNestedKey", "/html/sub/deep.css", 0, "p{}", ""},
                      CatCase{"LeadingSlashRootKey", "/index.htm", 0, "<html>index</html>", ""},
                      CatCase{"LatinCaseFolded", "\\\xC3\x9C" "BER.htm", 0, "umlaut", ""},        // \ÜBER.htm
                      CatCase{"CyrillicCaseFolded", "/\xD0\x94/\xD0\x96.HTM", 0, "cyrillic", ""},  // /Д/Ж.HTM
                      CatCase{"BareRootNameMatchesNothing", "index.htm", 1, "", "找不到文件：index.htm\n"},
                      CatCase{"EmptyStream", "\\empty.htm", 0, "", ""},
                      CatCase{"Storage", "\\images", 1, "", "这是目录，不是文件，不能保存。\n"},
                      CatCase{"Missing", "\\nope.htm", 1, "", "找不到文件：\\nope.htm\n"},
                      CatCase{"ReadFailure", "\\broken.htm", 1, "", "读取文件失败：\\broken.htm\n"}),
    [](const ::testing::TestParamInfo<CatCase>& info) { return std::string(info.param.name); });

TEST(CatCommandCleanupTest, LeavesNoTemporaryFolderBehind) {
  ScratchFolder scratch;
  const std::string chm = WriteFile(scratch / "guide.chm", "stand-in");
  const std::string tmp = scratch / "tmp";
  std::filesystem::create_directory(tmp);
  setenv("TMPDIR", tmp.c_str(), 1);
  CliRun run = RunCli({"cat", chm, "\\index.htm"}, FakeStorageService::Factory(SampleTree()));
  unsetenv("TMPDIR");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(std::filesystem::is_empty(tmp));
}

}  // namespace
