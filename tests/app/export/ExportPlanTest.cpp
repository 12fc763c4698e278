// The export entries' plan: extract types, output folders with their
// numbering, the listing's proposed name and record keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/export/ExportPlan.h"
#include "engine/cCHMParser.h"
#include "tests/engine/TempFolder.h"

namespace velmora::app {
namespace {

struct TypeCase {
  const char* name;
  int index;
  bool batch;
  std::int32_t type;
};

class ExportPlanTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ExportPlanTypeTest, ExtractTypeOfEntry) {
  const TypeCase& c = GetParam();
  EXPECT_EQ(ExportPlan(c.index, c.batch, "/out", 1).ExtractType(), c.type);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, ExportPlanTypeTest,
    ::testing::Values(TypeCase{"AllContents", 0, false, engine::kExtractAll},
                      TypeCase{"AllContentsBatch", 0, true, engine::kExtractAll},
                      TypeCase{"SelectedContentsSingleWalksTheListedKeys", 1, false, engine::kExtractListed},
                      TypeCase{"SelectedContentsBatchWalksEverything", 1, true, engine::kExtractAll},
                      TypeCase{"Pictures", 2, true, engine::kExtractPictures},
                      TypeCase{"Pages", 3, false, engine::kExtractPages},
                      TypeCase{"Multimedia", 4, false, engine::kExtractMultimedia},
                      TypeCase{"CurrentFile", 5, true, engine::kExtractSingle},
                      TypeCase{"FileListOnlyCounts", 7, false, engine::kExtractNone},
                      TypeCase{"ProjectWritesTheListedContentStreams", 8, true, engine::kExtractListed}),
    [](const auto& info) { return std::string(info.param.name); });

struct OutputCase {
  const char* name;
  int index;
  std::string destination;
  std::size_t workCount;
  std::string chm;
  std::set<std::string> taken;
  std::string expected;
  bool madeUp = false;  // a name of the plan's own, never followed when a link
};

class ExportPlanOutputTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(ExportPlanOutputTest, OutputPathOfOneFile) {
  const OutputCase& c = GetParam();
  const ExportPlan plan(c.index, true, c.destination, c.workCount);
  const engine::OutputPath output =
      plan.OutputPath(c.chm, [&](const std::string& path) { return c.taken.count(path) > 0; });
  EXPECT_EQ(output.strPath, c.expected);
  EXPECT_EQ(output.blnMadeUp, c.madeUp);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ExportPlanOutputTest,
    ::testing::Values(
        OutputCase{"OneFileGoesStraightIntoTheFolder", 0, "/out", 1, "/a/guide.chm", {}, "/out"},
        OutputCase{"OneFileEvenWhenItsFolderNameIsTaken", 4, "/out", 1, "/a/guide.chm", {"/out/guide.chm_文件内容"},
                   "/out"},
        OutputCase{"SeveralFilesGetANamedFolder", 2, "/out", 3, "/a/guide.chm", {}, "/out/guide.chm_文件内容", true},
        OutputCase{"TakenNameGetsNumberOne", 0, "/out", 3, "/b/guide.chm", {"/out/guide.chm_文件内容"},
                   "/out/guide.chm_1_文件内容", true},
        OutputCase{"NumbersCountOn", 0, "/out", 3, "/c/guide.chm",
                   {"/out/guide.chm_文件内容", "/out/guide.chm_1_文件内容"}, "/out/guide.chm_2_文件内容", true},
        OutputCase{"AGapIsFilledFirst", 0, "/out", 2, "/c/guide.chm",
                   {"/out/guide.chm_文件内容", "/out/guide.chm_2_文件内容"}, "/out/guide.chm_1_文件内容", true},
        OutputCase{"TrailingSlashOfTheDestinationIsNotDoubled", 3, "/out/", 2, "/a/x.chm", {}, "/out/x.chm_文件内容",
                   true},
        OutputCase{"RootDestination", 3, "/", 2, "/a/x.chm", {}, "/x.chm_文件内容", true},
        OutputCase{"BackslashPathsNameTheFileAfterTheLastSeparator", 0, "/out", 2, "D:\\doc\\guide.chm", {},
                   "/out/guide.chm_文件内容", true},
        OutputCase{"CurrentFileWritesTheChosenFile", 5, "/out/a.htm", 3, "/a/guide.chm", {}, "/out/a.htm"},
        OutputCase{"ListingWritesNothing", 7, "/out/list.txt", 3, "/a/guide.chm", {}, ""},
        OutputCase{"ProjectFolderEndsInProjectSuffix", 8, "/out", 2, "/a/guide.chm", {"/out/guide.chm_文件内容"},
                   "/out/guide.chm_工程", true},
        OutputCase{"TakenProjectFolderGetsNumberOne", 8, "/out", 2, "/a/guide.chm", {"/out/guide.chm_工程"},
                   "/out/guide.chm_1_工程", true},
        OutputCase{"OneProjectGoesStraightIntoTheFolder", 8, "/out", 1, "/a/guide.chm", {}, "/out"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportPlanOutputTest, EveryNumberTakenGivesNumberZero) {
  const ExportPlan plan(0, true, "/out", 2);
  int asked = 0;
  EXPECT_EQ(plan.OutputPath("/a/g.chm",
                            [&](const std::string&) {
                              ++asked;
                              return true;
                            })
                .strPath,
            "/out/g.chm_0_文件内容");
  EXPECT_EQ(asked, 1 + ExportPlan::kMaxFolderNumber);
}

TEST(ExportPlanOutputTest, TheLastNumberIsStillTried) {
  const ExportPlan plan(0, true, "/out", 2);
  const std::string last = "/out/g.chm_" + std::to_string(ExportPlan::kMaxFolderNumber) + "_文件内容";
  EXPECT_EQ(plan.OutputPath("/a/g.chm", [&](const std::string& path) { return path != last; }).strPath, last);
}

struct NameCase {
  const char* name;
  std::string chm;
  std::string expected;
};

class ExportPlanListingNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ExportPlanListingNameTest, ProposedName) {
  EXPECT_EQ(ExportPlan::ListingFileName(GetParam().chm), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ExportPlanListingNameTest,
    ::testing::Values(NameCase{"LowerCaseExtensionGoes", "/doc/Guide.chm", "Guide的文件列表.txt"},
                      NameCase{"UpperCaseExtensionStays", "/doc/Guide.CHM", "Guide.CHM的文件列表.txt"},
                      NameCase{"EveryOccurrenceGoes", "/doc/a.chm.chm", "a的文件列表.txt"},
                      NameCase{"InsideTheNameToo", "x.chmy.chm", "xy的文件列表.txt"},
                      NameCase{"OnePassOverTheName", "a..chmchm", "a.chm的文件列表.txt"},
                      NameCase{"FolderNamesDoNotCount", "/x.chm/Guide.chm", "Guide的文件列表.txt"},
                      NameCase{"NoFileOpen", "", "的文件列表.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportPlanRecordKeyTest, PathBackslashName) {
  engine::cCHMItemInfo root;
  root.Name = "index.htm";
  engine::cCHMItemInfo nested;
  nested.Name = "logo.gif";
  nested.Path = "html\\images";
  engine::cCHMItemInfo folder;
  folder.Name = "html";
  folder.IsStorage = true;
  EXPECT_EQ(ExportPlan::RecordKey(root), "\\index.htm");
  EXPECT_EQ(ExportPlan::RecordKey(nested), "html\\images\\logo.gif");
  EXPECT_EQ(ExportPlan::RecordKey(folder), "\\html");
}

TEST(ExportPlanPathTakenTest, AnythingAtThePathTakesIt) {
  test::TempFolder tmp;
  std::filesystem::create_directory(tmp / "folder");
  test::WriteFile(tmp / "file", "x");
  std::filesystem::create_symlink(tmp / "nowhere", tmp / "dangling");
  EXPECT_FALSE(ExportPlan::PathTaken(tmp / "free"));
  EXPECT_TRUE(ExportPlan::PathTaken(tmp / "folder"));
  EXPECT_TRUE(ExportPlan::PathTaken(tmp / "file"));
  EXPECT_TRUE(ExportPlan::PathTaken(tmp / "dangling"));
}

}  // namespace
}  // namespace velmora::app
