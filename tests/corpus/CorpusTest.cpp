// velmora-cli over the shared corpus: every real-world CHM file lists with
// the figures its MANIFEST gives and extracts completely; every hostile file
// lists and extracts without a crash and without writing outside the
// output folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <set>

#include "TestPaths.h"
#include "engine/ReportText.h"
#include "engine/cCHMParser.h"
#include "tests/cli/CliRun.h"
#include "tests/corpus/Manifest.h"

namespace {

using namespace velmora::test;
namespace fs = std::filesystem;

const std::string kCorpus = VELMORA_CORPUS_DIR;

struct CorpusFile {
  std::string file;
  std::int32_t items = 0;
  std::int32_t pages = 0;
  std::int32_t pictures = 0;
  std::int32_t multimedia = 0;
};

// blnFigures: the MANIFEST has the open summary's figures (real files).
std::vector<CorpusFile> Load(const std::string& folder, bool blnFigures) {
  Manifest manifest(folder);
  std::vector<CorpusFile> files;
  for (std::size_t r = 0; r < manifest.size(); ++r) {
    CorpusFile f;
    f.file = folder + "/" + manifest.cell(r, "file");
    if (blnFigures) {
      f.items = std::stoi(manifest.cell(r, "items"));
      f.pages = std::stoi(manifest.cell(r, "pages"));
      f.pictures = std::stoi(manifest.cell(r, "pictures"));
      f.multimedia = std::stoi(manifest.cell(r, "multimedia"));
    }
    files.push_back(f);
  }
  return files;
}

std::string TestName(const ::testing::TestParamInfo<CorpusFile>& info) {
  std::string name;
  for (unsigned char c : fs::path(info.param.file).stem().string()) name += std::isalnum(c) ? char(c) : '_';
  return "F" + name;
}

// Test failures name the file instead of dumping the record's bytes.
void PrintTo(const CorpusFile& f, std::ostream* os) { *os << f.file; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// Runs velmora-cli with the working folder set to cwd, so a write relative
// to it would show.
CliRun RunIn(const fs::path& cwd, const std::vector<std::string>& args) {
  fs::create_directories(cwd);
  const fs::path previous = fs::current_path();
  fs::current_path(cwd);
  CliRun run = RunCli(args);
  fs::current_path(previous);
  return run;
}

// Everything below scratch must be inside out (or the empty cwd), with no
// link leading anywhere else.
void ExpectConfinedTo(const ScratchFolder& scratch) {
  for (const auto& entry : fs::directory_iterator(scratch.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "out" || name == "cwd") << "written outside the output folder: " << entry.path();
  }
  EXPECT_TRUE(fs::is_empty(scratch.path() / "cwd")) << "written into the working folder";
  if (!fs::exists(scratch.path() / "out")) return;
  for (const auto& entry : fs::recursive_directory_iterator(scratch.path() / "out")) {
    EXPECT_FALSE(entry.is_symlink()) << entry.path();
    EXPECT_TRUE(entry.is_regular_file() || entry.is_directory()) << entry.path();
  }
}

TEST(CorpusTest, CorpusIsPresent) {
  if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no shared corpus at " << kCorpus << "; corpus tests skipped";
  EXPECT_FALSE(Load(kCorpus + "/real", true).empty());
  EXPECT_FALSE(Load(kCorpus + "/hostile", false).empty());
}

class RealChmTest : public ::testing::TestWithParam<CorpusFile> {
 protected:
  ScratchFolder scratch;
};

TEST_P(RealChmTest, ListShowsTheManifestFigures) {
  const CorpusFile& f = GetParam();
  CliRun run = RunIn(scratch.path() / "cwd", {"list", f.file});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  std::vector<std::string> lines = Lines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(),
            velmora::engine::ParseSummaryText(f.pictures, f.pages, f.multimedia, f.items, false));
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(f.items) + 1);
  ExpectConfinedTo(scratch);
}

TEST_P(RealChmTest, ExtractAllWritesEveryStream) {
  const CorpusFile& f = GetParam();
  CliRun run = RunIn(scratch.path() / "cwd", {"extract", f.file, "-o", scratch / "out"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, velmora::engine::ExportSummaryText(0, 0, 0, f.items) + "\n");
  ExpectConfinedTo(scratch);

  // What a list-only walk reports is what must be on disk: one file per
  // distinct stream, each of its full length (every file here holds empty
  // streams, #ITBITS at least, and each is an empty file).
  velmora::engine::cCHMParser parser;
  velmora::engine::cCHMItemCollection items;
  std::int32_t pictures = 0, pages = 0, multimedia = 0, total = 0;
  ASSERT_TRUE(parser.ParseCHM(f.file, "", velmora::engine::kExtractNone, {}, items, pictures, pages, multimedia, total));
  std::set<std::string> keys;
  std::uint64_t expectedBytes = 0;
  for (const auto& item : items) {
    if (!item.IsStorage && keys.insert(item.Path + "\\" + item.Name).second)
      expectedBytes += item.ExactSize;
  }
  std::size_t files = 0;
  std::uint64_t bytes = 0;
  for (const auto& entry : fs::recursive_directory_iterator(scratch.path() / "out")) {
    if (!entry.is_regular_file()) continue;
    ++files;
    bytes += entry.file_size();
  }
  EXPECT_EQ(files, keys.size());
  EXPECT_EQ(bytes, expectedBytes);
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(RealChmTest);
INSTANTIATE_TEST_SUITE_P(Real, RealChmTest, ::testing::ValuesIn(Load(kCorpus + "/real", true)), TestName);

class HostileChmTest : public ::testing::TestWithParam<CorpusFile> {
 protected:
  ScratchFolder scratch;
};

// A hostile file may be refused as not a CHM file or listed in part; either
// way the answer is a clear message or a listing, never a crash.
TEST_P(HostileChmTest, ListAnswersWithAListingOrTheMessage) {
  CliRun run = RunIn(scratch.path() / "cwd", {"list", GetParam().file});
  if (run.status == 1) {
    EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
  } else {
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(Lines(run.out).back().rfind("解释完成，共", 0), 0u) << run.out;
  }
  ExpectConfinedTo(scratch);
}

TEST_P(HostileChmTest, ExtractStaysInsideTheOutputFolder) {
  for (const char* type : {"1", "28"}) {
    CliRun run = RunIn(scratch.path() / "cwd", {"extract", GetParam().file, "-o", scratch / "out", "-t", type});
    EXPECT_TRUE(run.status == 0 || run.status == 1 || run.status == 3) << run.status;
    if (run.status == 1) {
      EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
    }
    if (run.status == 3) {
      // One line per lost stream, then their count.
      const auto lines = Lines(run.err);
      ASSERT_GE(lines.size(), 2u) << run.err;
      for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].rfind("未能导出：", 0), 0u) << lines[i];
      EXPECT_EQ(lines.back(), "共" + std::to_string(lines.size() - 1) + "个内容未能导出。");
    }
    ExpectConfinedTo(scratch);
  }
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HostileChmTest);
INSTANTIATE_TEST_SUITE_P(Hostile, HostileChmTest, ::testing::ValuesIn(Load(kCorpus + "/hostile", false)), TestName);

}  // namespace
