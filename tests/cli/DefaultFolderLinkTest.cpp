// The folder names extract and project make up beside the CHM file, with a
// symbolic link of that name planted there (an unpacked archive restores
// one): the command stops with its message and nothing reaches where the
// link points. A folder the user names with -o may be a link.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestPaths.h"
#include "tests/cli/CliRun.h"

namespace {

using namespace velmora::test;
namespace fs = std::filesystem;

const std::string kGuide = std::string(VELMORA_FIXTURE_DIR) + "/guide.chm";

std::string LinkMessage(const std::string& strFolder) {
  return "默认的输出文件夹是符号链接，为安全起见不写入：" + strFolder + "\n";
}

struct LinkCase {
  const char* label;
  const char* command;  // "extract" or "project"
  const char* suffix;   // of the link beside the CHM file
  bool dangling;        // the link points at a folder that does not exist
  bool chosen;          // the link is given with -o
};

class DefaultFolderLinkTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(DefaultFolderLinkTest, OnlyAChosenLinkIsFollowed) {
  const LinkCase& c = GetParam();
  ScratchFolder scratch;
  fs::create_directories(scratch.path() / "config/autostart");
  fs::create_directories(scratch.path() / "dl");
  const std::string chm = scratch / "dl/manual.chm";
  fs::copy_file(kGuide, chm);
  const std::string link = chm + c.suffix;
  fs::create_directory_symlink(c.dangling ? "../config/autostart/gone" : "../config/autostart", link);

  std::vector<std::string> args{c.command, chm};
  if (c.chosen) args.insert(args.end(), {"-o", link});
  const CliRun run = RunCli(args);
  if (c.chosen) {
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(scratch / "config/autostart/index.htm"), ReadFile(link + "/index.htm"));
  } else {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, LinkMessage(link));
    EXPECT_TRUE(fs::is_empty(scratch.path() / "config/autostart"));
  }
  EXPECT_TRUE(fs::is_symlink(link));
}

INSTANTIATE_TEST_SUITE_P(
    Links, DefaultFolderLinkTest,
    ::testing::Values(LinkCase{"ExtractStopsAtALink", "extract", "_文件内容", false, false},
                      LinkCase{"ExtractStopsAtADanglingLink", "extract", "_文件内容", true, false},
                      LinkCase{"ProjectStopsAtALink", "project", "_工程", false, false},
                      LinkCase{"ProjectStopsAtADanglingLink", "project", "_工程", true, false},
                      LinkCase{"ExtractFollowsAChosenLink", "extract", "_文件内容", false, true},
                      LinkCase{"ProjectFollowsAChosenLink", "project", "_工程", false, true}),
    [](const auto& info) { return std::string(info.param.label); });

// The delivery as it happens: an archive holding the help file and links
// at both default folder names, unpacked with unzip, which restores them.
TEST(DefaultFolderLinkTest, LinksFromAnUnpackedArchiveAreNotFollowed) {
  if (std::system("command -v zip >/dev/null 2>&1 && command -v unzip >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "zip and unzip are not installed";
  }
  ScratchFolder scratch;
  fs::create_directories(scratch.path() / ".config/autostart");
  fs::create_directories(scratch.path() / "pack");
  fs::create_directories(scratch.path() / "home/Downloads");
  fs::copy_file(kGuide, scratch.path() / "pack/manual.chm");
  for (const char* suffix : {"_文件内容", "_工程"}) {
    fs::create_directory_symlink("../../.config/autostart",
                                 scratch.path() / "pack" / (std::string("manual.chm") + suffix));
  }
  const std::string pack = "cd '" + (scratch / "pack") +
                           "' && zip -q -y ../manual.zip manual.chm manual.chm_文件内容 manual.chm_工程" +
                           " && unzip -q ../manual.zip -d '" + (scratch / "home/Downloads") + "'";
  ASSERT_EQ(std::system(pack.c_str()), 0);
  const std::string chm = scratch / "home/Downloads/manual.chm";
  for (const char* suffix : {"_文件内容", "_工程"}) {
    ASSERT_TRUE(fs::is_symlink(chm + suffix)) << "unzip restored no link";
    ASSERT_TRUE(fs::is_directory(chm + suffix)) << "the link does not reach the folder";
  }

  for (const auto& [command, suffix] : {std::pair{"extract", "_文件内容"}, std::pair{"project", "_工程"}}) {
    const CliRun run = RunCli({command, chm});
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.err, LinkMessage(chm + suffix)) << command;
  }
  EXPECT_TRUE(fs::is_empty(scratch.path() / ".config/autostart"));
}

}  // namespace
