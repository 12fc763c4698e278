// An export run over the chmcmd fixtures: what lands on disk, the counts
// each file reports, the listing, and files that cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "app/export/ExportJob.h"
#include "engine/ReportText.h"
#include "engine/cCHMParser.h"
#include "tests/engine/TempFolder.h"

namespace velmora::app {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadTree;
using test::TempFolder;

std::string Fixture(const std::string& name) { return std::string(VELMORA_FIXTURE_DIR) + "/" + name + ".chm"; }
fs::path Project(const std::string& name) { return fs::path(VELMORA_TEST_SOURCE_DIR) / "fixtures" / name; }

struct Reported {
  std::string chm;
  ExportCounts counts;
};

// Runs one export and keeps what it reported per file.
struct ExportRun {
  ExportRun(int index, bool batch, const std::string& destination, const std::vector<std::string>& work,
      std::vector<std::string> contents = {})
      : job(parser, ExportPlan(index, batch, destination, work.size()), std::move(contents)) {
    job.FileDone = [this](const std::string& chm, const ExportCounts& counts) { reported.push_back({chm, counts}); };
    job.Run(work);
  }
  engine::cCHMParser parser;
  ExportJob job;
  std::vector<Reported> reported;
};

// A file that starts like a CHM file but ends right after its header.
std::string TruncatedChm(const TempFolder& tmp) {
  const std::string path = tmp / "truncated.chm";
  test::WriteFile(path, ReadFile(Fixture("guide")).substr(0, 120));
  return path;
}

std::string CopyOf(const TempFolder& tmp, const std::string& folder, const std::string& fixture) {
  fs::create_directories(tmp.path() / folder);
  const std::string copy = tmp / (folder + "/" + fixture + ".chm");
  fs::copy_file(Fixture(fixture), copy);
  return copy;
}

TEST(ExportJobTest, ThreeFilesOfOneNameGetNumberedFolders) {
  ASSERT_TRUE(fs::exists(Fixture("guide"))) << "build the velmora_fixtures target";
  TempFolder tmp;
  const std::vector<std::string> work{CopyOf(tmp, "a", "guide"), CopyOf(tmp, "b", "guide"), CopyOf(tmp, "c", "guide")};
  fs::create_directory(tmp / "out");
  ExportRun run(0, true, tmp / "out", work);

  std::vector<std::string> folders;
  for (const auto& entry : fs::directory_iterator(tmp / "out")) folders.push_back(entry.path().filename().string());
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{"guide.chm_1_文件内容", "guide.chm_2_文件内容", "guide.chm_文件内容"}));
  const auto tree = ReadTree(tmp / "out/guide.chm_文件内容");
  EXPECT_EQ(tree.at("index.htm"), ReadFile(Project("guide") / "index.htm"));
  EXPECT_EQ(tree.at("images/logo.gif"), ReadFile(Project("guide") / "images/logo.gif"));
  EXPECT_EQ(ReadTree(tmp / "out/guide.chm_1_文件内容"), tree);
  EXPECT_EQ(ReadTree(tmp / "out/guide.chm_2_文件内容"), tree);

  ASSERT_EQ(run.reported.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(run.reported[i].chm, work[i]);
    EXPECT_EQ(run.reported[i].counts.lngTotal, 10);
    EXPECT_EQ(run.reported[i].counts.lngHTMLCount, 0);  // type 1 counts no category
  }
  EXPECT_TRUE(run.job.UnreadableFiles().empty());
}

TEST(ExportJobTest, UnreadableFilesCountAsZerosAndTheRunGoesOn) {
  TempFolder tmp;
  const std::string text = tmp / "notes.chm";
  test::WriteFile(text, "plain text, not a CHM file");
  const std::string truncated = TruncatedChm(tmp);
  // The truncated file is recognised, then cannot be opened.
  {
    engine::cCHMParser parser;
    engine::cCHMItemCollection items;
    std::int32_t pic = 0, html = 0, movie = 0, total = 0;
    EXPECT_THROW(parser.ParseCHM(truncated, "", 0, {}, items, pic, html, movie, total), engine::ParseError);
  }
  const std::vector<std::string> work{Fixture("guide"), tmp / "missing.chm", text, truncated, Fixture("nested")};
  ExportRun run(3, true, tmp / "out", work);

  EXPECT_EQ(run.job.UnreadableFiles(), (std::vector<std::string>{tmp / "missing.chm", text, truncated}));
  ASSERT_EQ(run.reported.size(), work.size());
  const std::vector<std::int32_t> totals{10, 0, 0, 0, 37};
  const std::vector<std::int32_t> pages{2, 0, 0, 0, 9};
  for (std::size_t i = 0; i < work.size(); ++i) {
    SCOPED_TRACE(work[i]);
    EXPECT_EQ(run.reported[i].counts.lngTotal, totals[i]);
    EXPECT_EQ(run.reported[i].counts.lngHTMLCount, pages[i]);
    EXPECT_EQ(run.reported[i].counts.lngPicCount, 0);
  }
  EXPECT_TRUE(fs::exists(tmp / "out/guide.chm_文件内容/index.htm"));
  EXPECT_TRUE(fs::exists(tmp / "out/nested.chm_文件内容/docs/sub/deeper/deep.htm"));
  EXPECT_FALSE(fs::exists(tmp / "out/nested.chm_文件内容/html/images/logo.gif"));  // pages only
  EXPECT_FALSE(fs::exists(tmp / "out/missing.chm_文件内容"));
  EXPECT_FALSE(fs::exists(tmp / "out/truncated.chm_文件内容"));
}

TEST(ExportJobTest, SelectedKeysExportANestedItemAndAWholeFolder) {
  TempFolder tmp;
  ExportRun run(1, false, tmp / "out", {Fixture("nested")}, {"html\\images\\photo.tar.GIF", "\\docs"});
  std::map<std::string, std::string> expected{
      {"html/", ""},
      {"html/images/", ""},
      {"html/images/photo.tar.GIF", ReadFile(Project("nested") / "html/images/photo.tar.GIF")},
      {"docs/", ""},
      {"docs/index.htm", ReadFile(Project("nested") / "docs/index.htm")},
      {"docs/sub/", ""},
      {"docs/sub/deeper/", ""},
      {"docs/sub/deeper/deep.htm", ReadFile(Project("nested") / "docs/sub/deeper/deep.htm")},
  };
  EXPECT_EQ(ReadTree(tmp / "out"), expected);
  ASSERT_EQ(run.reported.size(), 1u);
  EXPECT_EQ(run.reported[0].counts.lngTotal, 37);
}

TEST(ExportJobTest, CurrentFileWritesOneStreamAndCountsNothing) {
  TempFolder tmp;
  const std::string target = tmp / "saved.gif";
  ExportRun run(5, false, target, {Fixture("guide")}, {"images\\logo.gif"});
  EXPECT_EQ(ReadFile(target), ReadFile(Project("guide") / "images/logo.gif"));
  ASSERT_EQ(run.reported.size(), 1u);
  EXPECT_EQ(run.reported[0].counts.lngTotal, 0);
  EXPECT_EQ(ReadTree(tmp.path()).size(), 1u);
}

TEST(ExportJobTest, ListingHoldsEachFileWithItsOwnItems) {
  TempFolder tmp;
  const std::vector<std::string> work{Fixture("guide"), tmp / "missing.chm", Fixture("guide")};
  ExportRun run(7, true, "", work);
  const std::string guideLines =
      "文件：\\#IDXHDR，大小：4096\r\n"
      "文件：\\#ITBITS，大小：0\r\n"
      "文件：\\#STRINGS，大小：1\r\n"
      "文件：\\#SYSTEM，大小：4210\r\n"
      "文件：\\$OBJINST，大小：2751\r\n"
      "文件：\\_#_README_#_，大小：136\r\n"
      "文件：\\guide.css，大小：17\r\n"
      "文件：\\images，这是目录\r\n"
      "文件：images\\logo.gif，大小：43\r\n"
      "文件：\\index.htm，大小：148\r\n";
  const std::string expected = "CHM文件：" + work[0] + "\r\n" + guideLines + "CHM文件：" + work[1] + "\r\n" +
                               "CHM文件：" + work[2] + "\r\n" + guideLines;
  EXPECT_EQ(run.job.Listing(), expected);
  EXPECT_EQ(run.job.UnreadableFiles(), std::vector<std::string>{work[1]});
  // The listing walks count as after an open.
  EXPECT_EQ(run.reported[0].counts.lngHTMLCount, 2);
  EXPECT_EQ(run.reported[0].counts.lngPicCount, 1);

  const std::string file = tmp / "list.txt";
  test::WriteFile(file, std::string(100000, 'x'));
  ASSERT_TRUE(run.job.WriteListing(file));
  EXPECT_EQ(ReadFile(file), expected + "\r\n");
}

TEST(ExportJobTest, AFailedListingWriteLeavesNothing) {
  TempFolder tmp;
  ExportRun run(7, false, "", {Fixture("guide")});
  EXPECT_FALSE(run.job.WriteListing(tmp / "no/such/folder/list.txt"));
  fs::create_directory(tmp / "taken.txt");  // a folder where the file should go
  EXPECT_FALSE(run.job.WriteListing(tmp / "taken.txt"));
  EXPECT_TRUE(fs::is_directory(tmp / "taken.txt"));
  EXPECT_EQ(ReadTree(tmp.path()).size(), 1u);  // no temporary file is left behind
}

}  // namespace
}  // namespace velmora::app
