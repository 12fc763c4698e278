// An export run over the chmcmd fixtures, beyond what the window's tests
// see: the counts each file reports, files that cannot be read, and the
// listing with its staged write. (Output folders, selections and the single
// file are tested through the window.)
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "app/export/ExportJob.h"
#include "engine/cCHMParser.h"
#include "tests/engine/TempFolder.h"

namespace velmora::app {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadTree;
using test::TempFolder;

std::string Fixture(const std::string& name) { return std::string(VELMORA_FIXTURE_DIR) + "/" + name + ".chm"; }

struct Reported {
  std::string chm;
  ExportCounts counts;
};

// Runs one export and keeps what it reported per file.
struct ExportRun {
  ExportRun(int index, bool batch, const std::string& destination, const std::vector<std::string>& work,
            std::size_t stopAfter = SIZE_MAX)
      : job(parser, ExportPlan(index, batch, destination, work.size()), {}), stopAfter(stopAfter) {
    job.FileDone = [this](const std::string& chm, const ExportCounts& counts) {
      reported.push_back({chm, counts});
      return reported.size() < this->stopAfter;
    };
    job.Run(work);
  }
  engine::cCHMParser parser;
  ExportJob job;
  std::size_t stopAfter;
  std::vector<Reported> reported;
};

// A file that starts like a CHM file but ends right after its header.
std::string TruncatedChm(const TempFolder& tmp) {
  const std::string path = tmp / "truncated.chm";
  test::WriteFile(path, ReadFile(Fixture("guide")).substr(0, 120));
  return path;
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

// The help project: a file that cannot be read gets no folder; the others
// get their content files and project file, and the counts of a whole walk.
TEST(ExportJobTest, ProjectOfEachReadableFile) {
  TempFolder tmp;
  const std::vector<std::string> work{tmp / "missing.chm", TruncatedChm(tmp), Fixture("nested")};
  ExportRun run(ExportPlan::kProject, true, tmp / "out", work);
  EXPECT_EQ(run.job.UnreadableFiles(), (std::vector<std::string>{work[0], work[1]}));
  ASSERT_EQ(run.reported.size(), work.size());
  EXPECT_EQ(run.reported[2].counts.lngTotal, 37);
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp / "out"), fs::directory_iterator()), 1);
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(tmp / "out/nested.chm_工程")) files += entry.is_regular_file();
  EXPECT_EQ(files, 24u) << "23 content files (the contents file and an empty page among them) and the project file";
  // The empty page is a file of the project like any other.
  EXPECT_TRUE(fs::is_regular_file(tmp / "out/nested.chm_工程/html/empty.htm"));
  EXPECT_NE(ReadFile(tmp / "out/nested.chm_工程/nested.hhp").find("\r\nhtml/empty.htm\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(tmp / "out/nested.chm_工程/#SYSTEM"));
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

TEST(ExportJobTest, FileDoneCanStopTheRunBeforeTheNextFile) {
  TempFolder tmp;
  ExportRun run(0, true, tmp / "out", {Fixture("guide"), Fixture("nested")}, 1);
  ASSERT_EQ(run.reported.size(), 1u);
  EXPECT_TRUE(fs::exists(tmp / "out/guide.chm_文件内容/index.htm"));
  EXPECT_FALSE(fs::exists(tmp / "out/nested.chm_文件内容"));
}

}  // namespace
}  // namespace velmora::app
