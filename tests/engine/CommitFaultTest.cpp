// A file whose close, link or rename fails on its way into place: nothing
// of it stays (not even a file already linked at its target), an earlier
// file at the target survives, the folders made for it go again, and the
// walk reports it lost.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "engine/StagedFile.h"
#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/SystemCallsGuard.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::FakeStorageService;
using test::ReadTree;
using test::SystemCallsGuard;
using test::TempFolder;
using test::WriteFile;
using Tree = std::map<std::string, std::string>;

enum class Fault { Close, Link, Rename };

// How often the failing call was made; it fails with g_errno. Atomic: the
// copying threads of a parallel walk share it.
std::atomic<int> g_faultCalls{0};
std::atomic<int> g_errno{EIO};

// The descriptor is gone after a failed close(2) as well.
int FailingClose(int fd) {
  ++g_faultCalls;
  ::close(fd);
  errno = g_errno;
  return -1;
}

int FailingLinkat(int, const char*, int, const char*, int) {
  ++g_faultCalls;
  errno = g_errno;
  return -1;
}

int FailingRenameat(int, const char*, int, const char*) {
  ++g_faultCalls;
  errno = g_errno;
  return -1;
}

SystemCallsGuard Failing(Fault fault, int error) {
  g_faultCalls = 0;
  g_errno = error;
  return SystemCallsGuard([fault](StagedFile::SystemCalls& calls) {
    switch (fault) {
      case Fault::Close: calls.close = &FailingClose; break;
      case Fault::Link: calls.linkat = &FailingLinkat; break;
      case Fault::Rename: calls.renameat = &FailingRenameat; break;
    }
  });
}

struct StagedFaultCase {
  const char* label;
  Fault fault;
  int error;
  bool earlierFile;  // the target already holds "old"
};

void PrintTo(const StagedFaultCase& c, std::ostream* os) { *os << c.label; }

class StagedFileFaultTest : public testing::TestWithParam<std::tuple<bool, StagedFaultCase>> {
 protected:
  void SetUp() override { StagedFile::AllowUnnamedFiles(std::get<0>(GetParam())); }
  void TearDown() override { StagedFile::AllowUnnamedFiles(true); }
};

// Which calls a commit makes depends on the kind of file and on what lies
// at the target (an unnamed file is linked and renamed only when the
// target is taken, a named one is never linked); whenever the failing
// call is made, the commit fails with its error and the folder holds what
// it held before.
TEST_P(StagedFileFaultTest, FailedCallLeavesTheFolderAsItWas) {
  const StagedFaultCase& c = std::get<1>(GetParam());
  TempFolder tmp;
  const Tree before = c.earlierFile ? Tree{{"t.htm", "old"}} : Tree{};
  if (c.earlierFile) WriteFile(tmp.path() / "t.htm", "old");
  const int dirFd = ::open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(dirFd, 0);
  bool committed = false;
  int error = 0;
  {
    const auto guard = Failing(c.fault, c.error);
    StagedFile file(dirFd, "t.htm");
    ASSERT_TRUE(file.IsOpen());
    ASSERT_TRUE(file.Write("new", 3));
    committed = file.Commit();
    error = file.LastError();
  }
  ::close(dirFd);
  const bool hit = g_faultCalls > 0;
  if (c.fault == Fault::Close) {
    EXPECT_TRUE(hit) << "every commit closes its file";
  }
  EXPECT_EQ(committed, !hit);
  const Tree after = hit ? before : Tree{{"t.htm", "new"}};
  EXPECT_EQ(ReadTree(tmp.path()), after);
  if (hit) {
    EXPECT_EQ(error, c.error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StagedFileFaultTest,
    testing::Combine(testing::Values(true, false),
                     testing::Values(StagedFaultCase{"CloseNew", Fault::Close, EIO, false},
                                     StagedFaultCase{"CloseOverAFile", Fault::Close, ENOSPC, true},
                                     StagedFaultCase{"LinkNew", Fault::Link, EMLINK, false},
                                     StagedFaultCase{"LinkOverAFile", Fault::Link, EMLINK, true},
                                     StagedFaultCase{"RenameNew", Fault::Rename, EIO, false},
                                     StagedFaultCase{"RenameOverAFile", Fault::Rename, EXDEV, true})),
    [](const testing::TestParamInfo<std::tuple<bool, StagedFaultCase>>& info) {
      return std::string(std::get<0>(info.param) ? "Unnamed" : "Named") + std::get<1>(info.param).label;
    });

// Enough bytes that a walk shares the copy between threads.
test::FakeElement Padding(int n) { return test::GeneratedStream("pad" + std::to_string(n) + ".bin", 1u << 20, 10 + n); }

struct ParserCase {
  const char* label;
  std::int32_t type;
  bool parallel;  // copy on several threads
};

void PrintTo(const ParserCase& c, std::ostream* os) { *os << c.label; }

class cCHMParserCommitFaultTest : public testing::TestWithParam<ParserCase> {};

// Every close fails (a full disk seen only at close, as NFS reports it):
// each stream is lost with that reason, an earlier file at its target stays,
// and no folder made for a stream remains.
TEST_P(cCHMParserCommitFaultTest, FailedCloseLosesTheStreamAndLeavesNoFolder) {
  TempFolder tmp;
  const fs::path out = tmp.path() / "out";
  fs::create_directories(out / "keep");
  WriteFile(out / "keep/t.htm", "old");
  const Tree before = ReadTree(out);

  test::FakeOptions options;
  options.readers = true;
  const auto root = test::Root({test::Storage("keep", {test::Stream("t.htm", "new", 1)}),
                                test::Storage("made", {test::Storage("sub", {test::Stream("t.htm", "new", 2)})}),
                                Padding(1), Padding(2), Padding(3), Padding(4)});
  cCHMParser parser(FakeStorageService::Factory(root, options));
  parser.blnCopyInParallel = GetParam().parallel;
  const bool single = GetParam().type == kExtractSingle;
  test::WalkResult r;
  {
    const auto guard = Failing(Fault::Close, ENOSPC);
    r = test::RunWalk(parser, GetParam().type, single ? (out / "made/sub/t.htm").string() : out.string(),
                      {"made\\sub\\t.htm"});
  }
  EXPECT_TRUE(r.result);
  EXPECT_EQ(parser.CopiedInParallel(), GetParam().parallel);
  std::vector<std::string> lost;
  for (const LostItem& item : parser.LostItems()) lost.push_back(LostItemLine(item));
  const std::string full = "（" + LossReasonText(LossReason::DiskFull) + "）";
  const std::vector<std::string> expected =
      single ? std::vector<std::string>{"未能导出：made\\sub\\t.htm" + full}
             : std::vector<std::string>{"未能导出：keep\\t.htm" + full, "未能导出：made\\sub\\t.htm" + full,
                                        "未能导出：\\pad1.bin" + full, "未能导出：\\pad2.bin" + full,
                                        "未能导出：\\pad3.bin" + full, "未能导出：\\pad4.bin" + full};
  EXPECT_EQ(lost, expected);
  EXPECT_EQ(parser.WrittenCount(), 0u);
  EXPECT_EQ(ReadTree(out), before);
}

INSTANTIATE_TEST_SUITE_P(Walks, cCHMParserCommitFaultTest,
                         testing::Values(ParserCase{"OneThread", kExtractAll, false},
                                         ParserCase{"Parallel", kExtractAll, true},
                                         ParserCase{"SingleItem", kExtractSingle, false}),
                         [](const testing::TestParamInfo<ParserCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace velmora::engine
