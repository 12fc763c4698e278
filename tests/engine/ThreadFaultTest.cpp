// A thread of a copy that fails for want of memory (no reader, no file
// begun, a write that throws) never lets the walk end in success with
// files missing: a copying thread's failure reaches the caller, the
// writer thread's loses that one file and says so. And a copy is shared
// between threads only when no two of its files can meet on disk.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <atomic>
#include <filesystem>
#include <new>

#include "engine/StagedFile.h"
#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/SystemCallsGuard.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::FakeElement;
using test::FakeStorageService;
using test::GeneratedStream;
using test::ReadTree;
using test::Root;
using test::Storage;
using test::Stream;
using test::SystemCallsGuard;
using test::TempFolder;
using Tree = std::map<std::string, std::string>;

// The call of the faulty kind that throws std::bad_alloc (from 1); the
// copying threads share the count.
std::atomic<int> g_calls{0};
std::atomic<int> g_throwAt{0};

void CountAndMaybeThrow() {
  if (++g_calls == g_throwAt) throw std::bad_alloc();
}

int ThrowingOpenat(int dirFd, const char* path, int flags, mode_t mode) {
  CountAndMaybeThrow();
  return ::openat(dirFd, path, flags, mode);
}

ssize_t ThrowingWrite(int fd, const void* data, std::size_t length) {
  CountAndMaybeThrow();
  return ::write(fd, data, length);
}

enum class Fault { Reader, Begin, Write };

SystemCallsGuard Throwing(Fault fault, int at) {
  g_calls = 0;
  g_throwAt = at;
  return SystemCallsGuard([fault](StagedFile::SystemCalls& calls) {
    if (fault == Fault::Begin) calls.openat = &ThrowingOpenat;
    if (fault == Fault::Write) calls.write = &ThrowingWrite;
  });
}

std::string Generated(std::uint64_t length) {
  std::string bytes(length, '\0');
  for (std::uint64_t i = 0; i < length; ++i) bytes[i] = test::GeneratedByte(i);
  return bytes;
}

// Eight streams of half a mebibyte in d/: a walk copies them in four
// segments, shared between threads when it may.
constexpr std::uint64_t kLength = 512u << 10;
constexpr int kStreams = 8;

FakeElement EightStreams() {
  std::vector<FakeElement> streams;
  for (int i = 0; i < kStreams; ++i) streams.push_back(GeneratedStream("s" + std::to_string(i) + ".bin", kLength, i));
  return Root({Storage("d", std::move(streams))});
}

// Whole files only, and no folder without one.
void ExpectOnlyWholeFiles(const fs::path& out) {
  const std::string whole = Generated(kLength);
  for (const auto& [path, bytes] : ReadTree(out)) {
    if (path.back() == '/') {
      EXPECT_FALSE(fs::is_empty(out / path)) << path;
    } else {
      EXPECT_TRUE(bytes == whole) << path << " is not whole";
    }
  }
}

struct ThreadFaultCase {
  const char* label;
  Fault fault;
  int at;                  // the faulty call that throws
  const char* lost = "";  // the stream that call was for, when known
};

void PrintTo(const ThreadFaultCase& c, std::ostream* os) { *os << c.label; }

class ParallelCopyFaultTest : public testing::TestWithParam<ThreadFaultCase> {};

// The first reader is made on the calling thread to see whether the file
// has readers; the others, and every file, on the copying threads.
TEST_P(ParallelCopyFaultTest, FailureOnACopyingThreadReachesTheCaller) {
  TempFolder tmp;
  const ThreadFaultCase& c = GetParam();
  test::FakeOptions options;
  options.readers = true;
  options.openingReader = [fault = c.fault] {
    if (fault == Fault::Reader) CountAndMaybeThrow();
  };
  cCHMParser parser(FakeStorageService::Factory(EightStreams(), options));
  {
    const auto guard = Throwing(c.fault, c.at);
    EXPECT_THROW(test::RunWalk(parser, kExtractAll, tmp / "out"), std::bad_alloc);
  }
  ExpectOnlyWholeFiles(tmp.path() / "out");

  // The next walk copies everything again.
  const auto r = test::RunWalk(parser, kExtractAll, tmp / "again");
  EXPECT_TRUE(parser.CopiedInParallel());
  EXPECT_EQ(parser.WrittenCount(), std::size_t{kStreams});
  EXPECT_EQ(ReadTree(tmp.path() / "again").size(), std::size_t{kStreams + 1});
}

INSTANTIATE_TEST_SUITE_P(Faults, ParallelCopyFaultTest,
                         testing::Values(ThreadFaultCase{"NoReader", Fault::Reader, 3},
                                         ThreadFaultCase{"FileNotBegun", Fault::Begin, 3},
                                         ThreadFaultCase{"WriteThrows", Fault::Write, 3}),
                         [](const testing::TestParamInfo<ThreadFaultCase>& info) {
                           return std::string(info.param.label);
                         });

class cCHMParserWriterFaultTest : public testing::TestWithParam<ThreadFaultCase> {};

// On one thread the streams are decoded in container order while the
// writer thread writes them: the file it fails on is lost and reported,
// every other is written.
TEST_P(cCHMParserWriterFaultTest, FailureOnTheWriterThreadLosesThatFile) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(EightStreams()));
  parser.blnCopyInParallel = false;
  test::WalkResult r;
  {
    const auto guard = Throwing(GetParam().fault, GetParam().at);
    r = test::RunWalk(parser, kExtractAll, tmp / "out");
  }
  EXPECT_TRUE(r.result);
  ASSERT_EQ(parser.LostItems().size(), 1u);
  EXPECT_EQ(LostItemLine(parser.LostItems()[0]),
            std::string("未能导出：") + GetParam().lost + "（" + LossReasonText(LossReason::WriteFailed) + "）");
  EXPECT_EQ(parser.WrittenCount(), std::size_t{kStreams - 1});
  EXPECT_EQ(ReadTree(tmp.path() / "out").size(), std::size_t{kStreams});  // d/ and the files written
  ExpectOnlyWholeFiles(tmp.path() / "out");
}

// Each file is begun with one openat; its bytes reach the writer in two
// full batches, each written with one write.
INSTANTIATE_TEST_SUITE_P(Faults, cCHMParserWriterFaultTest,
                         testing::Values(ThreadFaultCase{"FileNotBegun", Fault::Begin, 3, "d\\s2.bin"},
                                         ThreadFaultCase{"WriteThrows", Fault::Write, 5, "d\\s2.bin"}),
                         [](const testing::TestParamInfo<ThreadFaultCase>& info) {
                           return std::string(info.param.label);
                         });

// Two streams that meet on disk, with four mebibytes between them in the
// container, so a shared copy would give them to different threads.
struct PlanCase {
  const char* label;
  std::vector<FakeElement> meeting;  // the first at container position 0, the other after the padding
  bool parallel;                     // the copy may be shared
};

std::vector<FakeElement> WithPadding(const std::vector<FakeElement>& meeting) {
  std::vector<FakeElement> children = meeting;
  for (int i = 1; i <= 4; ++i) children.push_back(GeneratedStream("pad" + std::to_string(i) + ".bin", 1u << 20, i));
  return children;
}

void PrintTo(const PlanCase& c, std::ostream* os) { *os << c.label; }

class ParallelCopyPlanTest : public testing::TestWithParam<PlanCase> {};

// Streams that meet on disk are copied on one thread, in container order,
// so the same one wins every time: the result is that of a copy that is
// never shared.
TEST_P(ParallelCopyPlanTest, StreamsThatMeetOnDiskAreCopiedInContainerOrder) {
  TempFolder tmp;
  test::FakeOptions options;
  options.readers = true;
  const auto root = Root(WithPadding(GetParam().meeting));

  cCHMParser one(FakeStorageService::Factory(root, options));
  one.blnCopyInParallel = false;
  test::RunWalk(one, kExtractAll, tmp / "one");
  cCHMParser parser(FakeStorageService::Factory(root, options));
  test::RunWalk(parser, kExtractAll, tmp / "out");

  EXPECT_EQ(parser.CopiedInParallel(), GetParam().parallel);
  EXPECT_TRUE(ReadTree(tmp.path() / "out") == ReadTree(tmp.path() / "one"));
  std::vector<std::string> lost, lostOne;
  for (const LostItem& item : parser.LostItems()) lost.push_back(LostItemLine(item));
  for (const LostItem& item : one.LostItems()) lostOne.push_back(LostItemLine(item));
  EXPECT_EQ(lost, lostOne);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ParallelCopyPlanTest,
    testing::Values(
        // Near misses: a name that begins another's folder name.
        PlanCase{"Apart", {Stream("a", "file"), Storage("ab", {Stream("c.htm", "in ab", 100)})}, true},
        PlanCase{"FileThenFolder", {Stream("a", "file"), Storage("a", {Stream("b.htm", "in a", 100)})}, false},
        PlanCase{"FolderThenFile", {Storage("a", {Stream("b.htm", "in a")}), Stream("a", "file", 100)}, false},
        PlanCase{"FileOnTheWayDeeper",
                 {Storage("a", {Stream("b", "file"), Storage("b", {Stream("c.htm", "in a/b", 100)})})},
                 false},
        PlanCase{"NamesEqualIgnoringCase", {Stream("Index.htm", "upper"), Stream("index.htm", "lower", 100)}, false},
        PlanCase{"FolderEqualIgnoringCase", {Storage("Dir", {Stream("x.htm", "in Dir")}), Stream("dir", "file", 100)},
                 false},
        PlanCase{"CyrillicNamesEqualIgnoringCase", {Stream("Файл.htm", "upper"), Stream("файл.htm", "lower", 100)},
                 false}),
    [](const testing::TestParamInfo<PlanCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace velmora::engine
