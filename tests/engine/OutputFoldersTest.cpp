// Two writers sharing the output folders, as two copying threads do: a
// folder made for a file goes again when the file that ends last in it is
// not written, whichever writer made it, and the output folder goes while
// nothing has been written and no file is open.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "engine/DiskFileWriter.h"
#include "engine/OutputFolders.h"
#include "engine/OutputPath.h"
#include "tests/engine/TempFolder.h"

namespace velmora::engine {
namespace {

using test::ReadTree;
using test::TempFolder;
using Tree = std::map<std::string, std::string>;

struct SharedFoldersCase {
  const char* label;
  // "1+path" begins a file with writer 1; "1!" writes "x" and ends it as
  // complete; "1-" ends it as failed; "?path" checks that the folder
  // exists below the output folder at that point ("?" the output folder);
  // "~path" moves that folder to "path.moved" and puts a link to an empty
  // lookalike folder tree, "elsewhere", in its place.
  std::vector<std::string> steps;
  Tree expected;  // below the temporary folder, which holds the output folder "out"
};

class SharedFoldersTest : public testing::TestWithParam<SharedFoldersCase> {};

TEST_P(SharedFoldersTest, LeavesOnlyFoldersOfWrittenFiles) {
  TempFolder tmp;
  const auto folders = std::make_shared<OutputFolders>(tmp / "out");
  std::array<DiskFileWriter, 2> writers{DiskFileWriter(folders), DiskFileWriter(folders)};
  for (const std::string& step : GetParam().steps) {
    if (step[0] == '?') {
      EXPECT_TRUE(std::filesystem::is_directory(tmp.path() / "out" / step.substr(1))) << step;
      continue;
    }
    if (step[0] == '~') {
      namespace fs = std::filesystem;
      const fs::path folder = tmp.path() / "out" / step.substr(1);
      const fs::path moved = folder.string() + ".moved";
      fs::rename(folder, moved);
      fs::create_directory(tmp.path() / "elsewhere");
      for (const auto& entry : fs::recursive_directory_iterator(moved)) {
        if (entry.is_directory()) fs::create_directories(tmp.path() / "elsewhere" / fs::relative(entry.path(), moved));
      }
      fs::create_directory_symlink(tmp.path() / "elsewhere", folder);
      continue;
    }
    DiskFileWriter& writer = writers[step[0] == '1' ? 0 : 1];
    if (step[1] == '+') {
      ASSERT_TRUE(writer.Begin(step.substr(2))) << step;
    } else if (step[1] == '!') {
      ASSERT_TRUE(writer.Write("x", 1));
      ASSERT_TRUE(writer.End(true)) << step;
    } else {
      writer.End(false);
    }
  }
  EXPECT_EQ(ReadTree(tmp.path()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SharedFoldersTest,
    testing::Values(
        SharedFoldersCase{"FolderMadeByOneGoesWithTheOtherFailing",
                          {"1+x/y/a.htm", "2+x/b.htm", "1-", "?x", "2-"},
                          {}},
        SharedFoldersCase{"WrittenFileKeepsTheFolderTheOtherMade",
                          {"1+x/a.htm", "2+x/y/b.htm", "2-", "1!"},
                          {{"out/", ""}, {"out/x/", ""}, {"out/x/a.htm", "x"}}},
        SharedFoldersCase{"OutputFolderStaysWhileAFileIsOpen",
                          {"1+a.htm", "2+b/c.htm", "2-", "?", "1!"},
                          {{"out/", ""}, {"out/a.htm", "x"}}},
        SharedFoldersCase{"FolderInUseAgainAfterItWasRemoved",
                          {"1+x/a.htm", "1-", "2+x/b.htm", "2!"},
                          {{"out/", ""}, {"out/x/", ""}, {"out/x/b.htm", "x"}}},
        // The folders made are removed where they are, not through the
        // link: nothing outside the output folder goes. (The link, which
        // the tree leaves out, stays.)
        SharedFoldersCase{"LinkPlantedAboveAFolderMade",
                          {"1+x/y/z/a.htm", "~x", "1-"},
                          {{"out/", ""}, {"out/x.moved/", ""}, {"elsewhere/", ""},
                           {"elsewhere/y/", ""}, {"elsewhere/y/z/", ""}}}),
    [](const testing::TestParamInfo<SharedFoldersCase>& info) { return std::string(info.param.label); });

// What lies at the output folder's name before the first file, and whether
// the program made that name up: only a folder the user chose may lead
// elsewhere through a link.
struct RootCase {
  const char* label;
  const char* atRoot;  // "nothing", "folder", "link" (to "target"), "dangling" (to "target/gone")
  bool madeUp;
  bool written;
  Tree expected;  // below the temporary folder (links to folders left out), which holds "target" and "dl/out"
};

class OutputRootTest : public testing::TestWithParam<RootCase> {};

TEST_P(OutputRootTest, MadeUpNameIsNeverFollowed) {
  namespace fs = std::filesystem;
  const RootCase& c = GetParam();
  TempFolder tmp;
  fs::create_directory(tmp.path() / "target");
  const fs::path root = tmp.path() / "dl/out";
  const std::string atRoot = c.atRoot;
  if (atRoot != "nothing") fs::create_directory(tmp.path() / "dl");
  if (atRoot == "folder") fs::create_directory(root);
  if (atRoot == "link") fs::create_directory_symlink("../target", root);
  if (atRoot == "dangling") fs::create_directory_symlink("../target/gone", root);
  {
    DiskFileWriter writer(c.madeUp ? OutputPath::MadeUp(root.string()) : OutputPath(root.string()));
    const bool begun = writer.Begin("a/b.htm");
    EXPECT_EQ(begun && writer.Write("x", 1) && writer.End(true), c.written);
    if (!c.written) EXPECT_EQ(writer.LastReason(), LossReason::SymbolicLink);
  }
  EXPECT_EQ(ReadTree(tmp.path()), c.expected);
  if (atRoot == "link" || atRoot == "dangling") {
    EXPECT_TRUE(fs::is_symlink(root));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Roots, OutputRootTest,
    testing::Values(
        RootCase{"ChosenLinkIsFollowed", "link", false, true,
                 {{"dl/", ""}, {"target/", ""}, {"target/a/", ""}, {"target/a/b.htm", "x"}}},
        RootCase{"MadeUpLinkIsRefused", "link", true, false, {{"dl/", ""}, {"target/", ""}}},
        RootCase{"MadeUpDanglingLinkIsRefused", "dangling", true, false,
                 {{"dl/", ""}, {"dl/out", ""}, {"target/", ""}}},
        RootCase{"MadeUpFolderIsMadeWithItsParents", "nothing", true, true,
                 {{"dl/", ""}, {"dl/out/", ""}, {"dl/out/a/", ""}, {"dl/out/a/b.htm", "x"}, {"target/", ""}}},
        RootCase{"MadeUpRealFolderIsUsed", "folder", true, true,
                 {{"dl/", ""}, {"dl/out/", ""}, {"dl/out/a/", ""}, {"dl/out/a/b.htm", "x"}, {"target/", ""}}}),
    [](const testing::TestParamInfo<RootCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace velmora::engine
