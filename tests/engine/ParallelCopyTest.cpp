// Streams copied on several threads leave the same files, folders and loss
// report as streams copied on one thread, over real help files whole, cut
// short and damaged, and with a symbolic link planted in the output folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "TestPaths.h"
#include "engine/ParallelExtraction.h"
#include "engine/cCHMParser.h"
#include "platform/storage/ChmArchive.h"
#include "tests/engine/TempFolder.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadTree;
using test::TempFolder;
using test::WriteFile;

// Changes a help file's bytes (read from path) before it is copied.
using Mutation = void (*)(const std::string& path, std::string& bytes);

// The directory loses its SpanInfo entry (its name no longer matches) and
// the reset table lists only the first frame: libmspack can then place no
// stream past the first reset interval and looks for SpanInfo in the
// directory at every such stream, reading directory chunks into a cache
// it keeps in the file's header.
void HideSpanInfoAndShortenResetTable(const std::string& path, std::string& bytes) {
  const std::string span = "::DataSpace/Storage/MSCompressed/SpanInfo";
  for (auto at = bytes.find(span); at != std::string::npos; at = bytes.find(span, at + 1)) {
    bytes[at + span.size() - 1] = 'X';
  }
  platform::ChmArchive::OpenResult result{};
  const auto archive = platform::ChmArchive::Open(path, result);
  ASSERT_TRUE(archive);
  const auto* table = archive->find(
      "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
  ASSERT_TRUE(table);
  const auto end = archive->dataEnd(*table);
  ASSERT_TRUE(end);
  const std::uint32_t one = 1;
  std::memcpy(&bytes[*end - table->length + 4], &one, 4);  // entry count, little-endian
}

struct CopyCase {
  const char* label;
  const char* file;   // in the corpus
  double keep;        // share of the file kept (1 = whole)
  bool parallel;      // whether the copy can be shared between threads
  bool plantLink;     // a link named like the first top folder, to elsewhere/
  Mutation mutate = nullptr;
  bool outputUnderAFile = false;  // the output folders' parent is a file
};

struct Outcome {
  std::map<std::string, std::string> tree;
  std::vector<std::string> lost;  // key and reason
  std::size_t written = 0;
  bool parallel = false;
};

Outcome Extract(const std::string& chm, const fs::path& out, bool parallel) {
  cCHMParser parser;
  parser.blnCopyInParallel = parallel;
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  EXPECT_TRUE(parser.ParseCHM(chm, out.string(), kExtractAll, {}, items, pic, html, movie, total));
  Outcome outcome;
  outcome.tree = ReadTree(out);
  for (const LostItem& item : parser.LostItems()) outcome.lost.push_back(LostItemLine(item));
  outcome.written = parser.WrittenCount();
  outcome.parallel = parser.CopiedInParallel();
  return outcome;
}

// The first folder the one-thread copy wrote at the top of the output.
std::string FirstTopFolder(const std::map<std::string, std::string>& tree) {
  for (const auto& entry : tree) {
    const auto slash = entry.first.find('/');
    if (slash != std::string::npos) return entry.first.substr(0, slash);
  }
  return std::string();
}

// Thousands of files are written and removed again: in memory when the
// system has a tmpfs for it.
fs::path Scratch() {
  std::error_code ec;
  return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

class ParallelCopyTest : public testing::TestWithParam<CopyCase> {};

TEST_P(ParallelCopyTest, LeavesWhatACopyOnOneThreadLeaves) {
  const std::string original = std::string(VELMORA_CORPUS_DIR) + "/" + GetParam().file;
  if (!fs::exists(original)) GTEST_SKIP() << "no corpus";
  TempFolder tmp(Scratch());
  std::string chm = original;
  if (GetParam().keep < 1 || GetParam().mutate) {
    std::string bytes = ReadFile(original);
    if (GetParam().mutate) {
      ASSERT_NO_FATAL_FAILURE(GetParam().mutate(original, bytes));
    }
    chm = tmp / "changed.chm";
    WriteFile(chm, bytes.substr(0, static_cast<std::size_t>(static_cast<double>(bytes.size()) * GetParam().keep)));
  }
  std::string link;
  if (GetParam().plantLink) {
    link = FirstTopFolder(Extract(chm, tmp.path() / "probe", false).tree);
    ASSERT_FALSE(link.empty());
    fs::create_directories(tmp.path() / "elsewhere");
    for (const char* out : {"one", "many"}) {
      fs::create_directories(tmp.path() / out);
      fs::create_directory_symlink(tmp.path() / "elsewhere", tmp.path() / out / link);
    }
  }

  fs::path base = tmp.path();
  if (GetParam().outputUnderAFile) {
    base /= "file";
    WriteFile(base, "x");
  }
  const Outcome one = Extract(chm, base / "one", false);
  const Outcome many = Extract(chm, base / "many", true);
  EXPECT_FALSE(one.parallel);
  EXPECT_EQ(many.parallel, GetParam().parallel);
  EXPECT_EQ(many.written, one.written);
  EXPECT_EQ(many.lost, one.lost);
  EXPECT_TRUE(many.tree == one.tree) << "the two copies left different files or folders";
  EXPECT_EQ(one.written == 0, GetParam().outputUnderAFile);
  if (GetParam().plantLink) {
    EXPECT_TRUE(fs::is_empty(tmp.path() / "elsewhere"));
    EXPECT_FALSE(one.lost.empty()) << "the streams below " << link << " are lost";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, ParallelCopyTest,
    testing::Values(CopyCase{"Whole", "real/09-PyWin32.chm", 1, true, false},
                    CopyCase{"ChineseNames", "real/01-UDFs3CHS.chm", 1, true, false},
                    CopyCase{"CutAtHalf", "real/02-AutoHotkey2.0.chm", 0.5, true, false},
                    CopyCase{"CutAtAQuarter", "real/09-PyWin32.chm", 0.25, true, false},
                    CopyCase{"CrlfDamaged", "hostile/crlf-damaged-AutoHotkey.chm", 1, true, false},
                    // The reset table lies after the cut: one decoder must
                    // decode the section from its start.
                    CopyCase{"ResetTableLost", "real/06-开发手册.chm", 0.6, false, false},
                    CopyCase{"LinkPlanted", "real/09-PyWin32.chm", 1, true, true},
                    // Readers would look SpanInfo up in the directory shared
                    // with every other reader.
                    CopyCase{"SpanInfoHidden", "real/09-PyWin32.chm", 1, false, false,
                             HideSpanInfoAndShortenResetTable},
                    // Every stream is lost, each with the reason a copy on
                    // one thread gives.
                    CopyCase{"OutputUnderAFile", "real/09-PyWin32.chm", 1, true, false, nullptr, true}),
    [](const testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.label); });

// A WriteProgress handler that throws stops every thread: the exception
// reaches the caller, every file written is whole, and the parser copies
// again afterwards.
TEST(ParallelCopyProgressTest, AThrowingHandlerStopsTheCopyAndLeavesOnlyWholeFiles) {
  const std::string chm = std::string(VELMORA_CORPUS_DIR) + "/real/09-PyWin32.chm";
  if (!fs::exists(chm)) GTEST_SKIP() << "no corpus";
  TempFolder tmp(Scratch());
  const auto whole = Extract(chm, tmp.path() / "whole", true).tree;

  cCHMParser parser;
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  parser.WriteProgress = [&calls](std::uint64_t done, std::uint64_t all) {
    calls.emplace_back(done, all);
    if (calls.size() == 2) throw std::runtime_error("stop");
  };
  EXPECT_THROW(parser.ParseCHM(chm, (tmp.path() / "stopped").string(), kExtractAll, {}, items, pic, html, movie,
                               total),
               std::runtime_error);
  for (const auto& [path, bytes] : ReadTree(tmp.path() / "stopped")) {
    ASSERT_TRUE(whole.count(path)) << path;
    EXPECT_TRUE(bytes == whole.at(path)) << path;
  }

  calls.clear();
  parser.WriteProgress = [&calls](std::uint64_t done, std::uint64_t all) { calls.emplace_back(done, all); };
  ASSERT_TRUE(parser.ParseCHM(chm, (tmp.path() / "again").string(), kExtractAll, {}, items, pic, html, movie, total));
  EXPECT_TRUE(parser.CopiedInParallel());
  EXPECT_TRUE(ReadTree(tmp.path() / "again") == whole);
  ASSERT_FALSE(calls.empty());
  for (std::size_t i = 1; i < calls.size(); ++i) EXPECT_GE(calls[i].first, calls[i - 1].first);
  EXPECT_EQ(calls.back().first, calls.back().second);
}

struct StartCase {
  const char* label;
  unsigned startable;  // copying threads the system lets start
  bool throwAtFirst;   // the WriteProgress handler throws at its first call
};

class ParallelCopyStartTest : public testing::TestWithParam<StartCase> {
 protected:
  void TearDown() override { ParallelExtraction::SetStartableThreads(ParallelExtraction::kMaxThreads); }
};

// When copying threads cannot be started, the calling thread copies what
// is left: the same files, and progress still reported while it copies,
// so a handler that throws stops the copy.
TEST_P(ParallelCopyStartTest, CopiesAndReportsWithTheThreadsItGets) {
  const std::string chm = std::string(VELMORA_CORPUS_DIR) + "/real/17-fpspreadsheet-wiki.chm";
  if (!fs::exists(chm)) GTEST_SKIP() << "no corpus";
  TempFolder tmp(Scratch());
  const Outcome whole = Extract(chm, tmp.path() / "whole", true);
  ParallelExtraction::SetStartableThreads(GetParam().startable);

  cCHMParser parser;
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  const bool throwAtFirst = GetParam().throwAtFirst;
  parser.WriteProgress = [&calls, throwAtFirst](std::uint64_t done, std::uint64_t all) {
    calls.emplace_back(done, all);
    if (throwAtFirst) throw std::runtime_error("stop");
  };
  const fs::path out = tmp.path() / "out";
  if (throwAtFirst) {
    EXPECT_THROW(parser.ParseCHM(chm, out.string(), kExtractAll, {}, items, pic, html, movie, total),
                 std::runtime_error);
    const auto stopped = ReadTree(out);
    EXPECT_LT(stopped.size(), whole.tree.size()) << "the copy went on after the handler threw";
    for (const auto& [path, bytes] : stopped) {
      ASSERT_TRUE(whole.tree.count(path)) << path;
      EXPECT_TRUE(bytes == whole.tree.at(path)) << path;
    }
    return;
  }
  ASSERT_TRUE(parser.ParseCHM(chm, out.string(), kExtractAll, {}, items, pic, html, movie, total));
  EXPECT_TRUE(parser.CopiedInParallel());
  EXPECT_TRUE(ReadTree(out) == whole.tree);
  EXPECT_EQ(parser.WrittenCount(), whole.written);
  ASSERT_FALSE(calls.empty());
  // Alone, the calling thread reports after each segment; with a thread,
  // the first report may come after the copy already ended.
  if (GetParam().startable == 0) {
    EXPECT_LT(calls.front().first, calls.front().second) << "no progress before the end";
  }
  EXPECT_EQ(calls.back().first, calls.back().second);
}

INSTANTIATE_TEST_SUITE_P(Threads, ParallelCopyStartTest,
                         testing::Values(StartCase{"NoneStarted", 0, false}, StartCase{"OneStarted", 1, false},
                                         StartCase{"NoneStartedHandlerThrows", 0, true}),
                         [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace velmora::engine
