// A staged file, unnamed and linked into place or named and renamed, over
// whatever lies at its target: it appears whole or not at all, replaces a
// file or a link there without following it, and leaves no temporary name
// behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "engine/StagedFile.h"
#include "tests/engine/TempFolder.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadTree;
using test::TempFolder;
using test::WriteFile;
using Tree = std::map<std::string, std::string>;

enum class AtTarget { Nothing, File, LinkToFile, Folder };

struct StagedCase {
  const char* label;
  AtTarget at;
  bool commit;
  bool written;   // Commit's answer
  Tree expected;  // the folder afterwards; "outside" lies next to it
};

class StagedFileTest : public testing::TestWithParam<std::tuple<bool, StagedCase>> {
 protected:
  void SetUp() override { StagedFile::AllowUnnamedFiles(std::get<0>(GetParam())); }
  void TearDown() override { StagedFile::AllowUnnamedFiles(true); }
};

TEST_P(StagedFileTest, AppearsWholeOrNotAtAll) {
  const StagedCase& c = std::get<1>(GetParam());
  TempFolder tmp;
  const fs::path dir = tmp.path() / "dir";
  fs::create_directories(dir);
  WriteFile(tmp.path() / "outside", "outside");
  switch (c.at) {
    case AtTarget::Nothing: break;
    case AtTarget::File: WriteFile(dir / "t.htm", "old"); break;
    case AtTarget::LinkToFile: fs::create_symlink(tmp.path() / "outside", dir / "t.htm"); break;
    case AtTarget::Folder: fs::create_directories(dir / "t.htm"); break;
  }
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(dirFd, 0);
  {
    StagedFile file(dirFd, "t.htm");
    ASSERT_TRUE(file.IsOpen());
    ASSERT_TRUE(file.Write("new", 3));
    if (c.commit) {
      EXPECT_EQ(file.Commit(), c.written);
      if (!c.written) EXPECT_NE(file.LastError(), 0);
    }
  }
  ::close(dirFd);
  EXPECT_EQ(ReadTree(dir), c.expected);
  EXPECT_EQ(ReadFile(tmp.path() / "outside"), "outside");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, StagedFileTest,
    testing::Combine(testing::Values(true, false),
                     testing::Values(StagedCase{"New", AtTarget::Nothing, true, true, {{"t.htm", "new"}}},
                                     StagedCase{"ReplacesAFile", AtTarget::File, true, true, {{"t.htm", "new"}}},
                                     StagedCase{"ReplacesALink", AtTarget::LinkToFile, true, true, {{"t.htm", "new"}}},
                                     StagedCase{"FolderInTheWay", AtTarget::Folder, true, false, {{"t.htm/", ""}}},
                                     StagedCase{"Dropped", AtTarget::File, false, false, {{"t.htm", "old"}}})),
    [](const testing::TestParamInfo<std::tuple<bool, StagedCase>>& info) {
      return std::string(std::get<0>(info.param) ? "Unnamed" : "Named") + std::get<1>(info.param).label;
    });

}  // namespace
}  // namespace velmora::engine
