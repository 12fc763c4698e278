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

// What velmora-cli extract answers for each hostile file, for everything
// (-t 1) and for pages and pictures (-t 12): the exit status (0 every
// selected stream written, 1 refused as not a CHM file, 3 streams lost)
// and how many streams it lists as lost.
struct HostileOutcome {
  int status;
  int lost;
};

struct HostileExpectation {
  const char* file;
  HostileOutcome all;    // -t 1
  HostileOutcome pages;  // -t 12
};

const HostileExpectation kHostileOutcomes[] = {
    // Cut short: every stream whose data ran past the end is lost.
    {"crlf-damaged-AutoHotkey.chm", {3, 411}, {3, 373}},
    // LZX data that cannot be decoded without a reset interval.
    {"cve-2015-4467-reset-interval-zero.chm", {3, 6}, {3, 1}},
    // Directory entries whose names or data run out of bounds cannot be
    // read: system files only, no page or picture among them.
    {"cve-2015-4468-namelen-bounds.chm", {3, 1}, {0, 0}},
    {"cve-2015-4469-namelen-bounds.chm", {3, 2}, {0, 0}},
    {"cve-2015-4472-namelen-bounds.chm", {3, 2}, {0, 0}},
    // Refused as a whole.
    {"cve-2017-6419-lzx-negative-spaninfo.chm", {1, 0}, {1, 0}},
    // A stream whose data cannot be read, and no page or picture.
    {"cve-2018-14679-off-by-one.chm", {3, 1}, {0, 0}},
    // Blank names: seven streams cannot be read, one page among them.
    {"cve-2018-14680-blank-filenames.chm", {3, 7}, {3, 1}},
    {"cve-2018-18585-blank-filenames.chm", {3, 7}, {3, 1}},
    {"cve-2018-14682-unicode-u100.chm", {3, 1}, {0, 0}},
    // One entry with an overlong name and nothing to write.
    {"cve-2019-1010305-name-overread.chm", {0, 0}, {0, 0}},
    // Lengths and offsets that do not fit 32 bits: the streams they
    // describe are lost, none of them a page or picture.
    {"encints-32bit-both.chm", {3, 21}, {0, 0}},
    {"encints-32bit-lengths.chm", {3, 21}, {0, 0}},
    {"encints-32bit-offsets.chm", {3, 19}, {0, 0}},
    {"encints-64bit-both.chm", {3, 21}, {0, 0}},
    {"encints-64bit-lengths.chm", {3, 21}, {0, 0}},
    {"encints-64bit-offsets.chm", {3, 19}, {0, 0}},
};

const HostileExpectation* ExpectedOutcome(const std::string& strFile) {
  const std::string name = fs::path(strFile).filename().string();
  for (const auto& expectation : kHostileOutcomes) {
    if (name == expectation.file) return &expectation;
  }
  return nullptr;
}

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
  const HostileExpectation* expected = ExpectedOutcome(GetParam().file);
  ASSERT_TRUE(expected) << "kHostileOutcomes has no row for " << GetParam().file;
  for (const auto& [type, outcome] : {std::pair{"1", expected->all}, std::pair{"12", expected->pages}}) {
    SCOPED_TRACE(std::string("-t ") + type);
    fs::remove_all(scratch.path() / "out");
    CliRun run = RunIn(scratch.path() / "cwd", {"extract", GetParam().file, "-o", scratch / "out", "-t", type});
    EXPECT_EQ(run.status, outcome.status) << run.err;
    if (run.status == 1) {
      EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n");
    } else if (run.status == 0) {
      EXPECT_EQ(run.err, "");
    } else if (run.status == 3) {
      // One line per lost stream, then their count.
      const auto lines = Lines(run.err);
      ASSERT_GE(lines.size(), 2u) << run.err;
      for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].rfind("未能导出：", 0), 0u) << lines[i];
      EXPECT_EQ(lines.back(), "共" + std::to_string(lines.size() - 1) + "个内容未能导出。");
      EXPECT_EQ(lines.size() - 1, static_cast<std::size_t>(outcome.lost));
    }
    ExpectConfinedTo(scratch);
  }
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HostileChmTest);
INSTANTIATE_TEST_SUITE_P(Hostile, HostileChmTest, ::testing::ValuesIn(Load(kCorpus + "/hostile", false)), TestName);

}  // namespace
