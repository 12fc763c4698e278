// The walker's writer thread and its disk side: which file wins a target,
// files across batches, dropped files and what an early end leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/DiskFileWriter.h"
#include "engine/FileWriterThread.h"
#include "tests/engine/TempFolder.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ReadTree;
using test::TempFolder;
using test::WriteFile;
using Tree = std::map<std::string, std::string>;

// Hands bytes over in pieces of step bytes, as a decompressor does.
void AppendInPieces(FileWriterThread& writer, const std::string& bytes, std::size_t step) {
  for (std::size_t at = 0; at < bytes.size(); at += step) {
    writer.Append(bytes.data() + at, std::min(step, bytes.size() - at));
  }
}

// Bytes that differ from one position to the next, so a lost or repeated
// piece shows.
std::string Pattern(std::size_t length) {
  std::string bytes(length, '\0');
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7919) & 0xFF);
  return bytes;
}

struct FileSpec {
  std::string target;  // relative to the output folder
  std::size_t rank;
  std::string bytes;
  bool complete;
};

struct RankCase {
  const char* label;
  std::vector<FileSpec> files;  // in the order they are handed over
  Tree expected;
};

class FileWriterRankTest : public testing::TestWithParam<RankCase> {};

TEST_P(FileWriterRankTest, LastSuccessfulFileByRankRemains) {
  TempFolder tmp;
  {
    FileWriterThread writer(tmp / "out");
    for (const auto& file : GetParam().files) {
      writer.Begin(file.target, file.rank);
      AppendInPieces(writer, file.bytes, 3);
      writer.End(file.complete);
    }
    writer.Finish();
  }
  EXPECT_EQ(ReadTree(tmp.path() / "out"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FileWriterRankTest,
    testing::Values(
        RankCase{"HigherRankFirstIsNotReplacedByALowerOne",
                 {{"a.htm", 5, "five", true}, {"a.htm", 2, "two", true}},
                 {{"a.htm", "five"}}},
        RankCase{"HigherRankLaterReplacesALowerOne",
                 {{"a.htm", 2, "two", true}, {"a.htm", 5, "five", true}},
                 {{"a.htm", "five"}}},
        RankCase{"FailedHigherRankLeavesTheLowerOne",
                 {{"a.htm", 5, "five", false}, {"a.htm", 2, "two", true}},
                 {{"a.htm", "two"}}},
        RankCase{"FailedHigherRankAfterwardsKeepsTheLowerOne",
                 {{"a.htm", 2, "two", true}, {"a.htm", 5, "fi", false}},
                 {{"a.htm", "two"}}},
        RankCase{"SkippedFileMakesNoFolder",
                 {{"d/a.htm", 5, "five", true}, {"d/a.htm", 2, "two", true}, {"e/a.htm", 1, "x", false}},
                 {{"d/", ""}, {"d/a.htm", "five"}}},
        RankCase{"FailedFileInNewFoldersLeavesNoFolder",
                 {{"x/y/z.htm", 1, "partial", false}, {"top.htm", 2, "top", true}},
                 {{"top.htm", "top"}}},
        RankCase{"EmptyCompleteFileIsWritten", {{"empty.txt", 1, "", true}}, {{"empty.txt", ""}}}),
    [](const testing::TestParamInfo<RankCase>& info) { return std::string(info.param.label); });

// Files larger than a batch, and larger than all batches together, so the
// producer has to wait for batches to come back.
class FileWriterSizeTest : public testing::TestWithParam<std::size_t> {};

TEST_P(FileWriterSizeTest, FileArrivesWholeAndInOrder) {
  TempFolder tmp;
  const std::string bytes = Pattern(GetParam());
  {
    FileWriterThread writer(tmp.path().string());
    writer.Begin("before.htm", 0);
    writer.Append("b", 1);
    writer.End(true);
    writer.Begin("sub/big.bin", 1);
    AppendInPieces(writer, bytes, 32768 + 17);
    writer.End(true);
    writer.Begin("after.htm", 2);
    writer.Append("a", 1);
    writer.End(true);
    writer.Finish();
  }
  EXPECT_EQ(ReadFile(tmp / "sub/big.bin"), bytes);
  EXPECT_EQ(ReadFile(tmp / "before.htm"), "b");
  EXPECT_EQ(ReadFile(tmp / "after.htm"), "a");
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, FileWriterSizeTest,
    testing::Values(FileWriterThread::kBatchBytes - 1, FileWriterThread::kBatchBytes,
                    FileWriterThread::kBatchBytes + 1,
                    FileWriterThread::kBatches * FileWriterThread::kBatchBytes * 2 + 12345),
    [](const testing::TestParamInfo<std::size_t>& info) { return "Bytes" + std::to_string(info.param); });

TEST(FileWriterThreadTest, MoreFilesThanABatchHasSteps) {
  TempFolder tmp;
  // Three steps per file: half as many files as steps fill a batch's
  // steps long before its bytes.
  const std::size_t count = FileWriterThread::kBatchSteps / 2;
  {
    FileWriterThread writer(tmp.path().string());
    for (std::size_t i = 0; i < count; ++i) {
      writer.Begin("f/" + std::to_string(i % 7) + "/" + std::to_string(i), i);
      const std::string text = std::to_string(i);
      writer.Append(text.data(), text.size());
      writer.End(true);
    }
    writer.Finish();
  }
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(tmp.path())) files += entry.is_regular_file();
  EXPECT_EQ(files, count);
  EXPECT_EQ(ReadFile(tmp / "f/5/2000"), "2000");
}

TEST(FileWriterThreadTest, FileDroppedAfterSeveralBatchesLeavesNothing) {
  TempFolder tmp;
  WriteFile(tmp / "keep.bin", "earlier");
  {
    FileWriterThread writer(tmp.path().string());
    writer.Begin("keep.bin", 0);
    AppendInPieces(writer, Pattern(3 * FileWriterThread::kBatchBytes), 4096);
    writer.End(false);
    writer.Begin("new/folder/x.bin", 1);
    AppendInPieces(writer, Pattern(3 * FileWriterThread::kBatchBytes), 4096);
    writer.End(false);
    writer.Finish();
  }
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"keep.bin", "earlier"}}));
}

// What a walker that leaves by an exception gets: the ended files are
// written, the open one is not, and the thread is gone with the object.
TEST(FileWriterThreadTest, DestroyedWithAnOpenFileWritesOnlyTheEndedOnes) {
  TempFolder tmp;
  {
    FileWriterThread writer(tmp.path().string());
    writer.Begin("done.htm", 0);
    writer.Append("done", 4);
    writer.End(true);
    writer.Begin("open/folder/big.bin", 1);
    AppendInPieces(writer, Pattern(2 * FileWriterThread::kBatchBytes + 5), 4096);
  }
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"done.htm", "done"}}));
}

TEST(FileWriterThreadTest, BytesOutsideAFileAreIgnored) {
  TempFolder tmp;
  {
    FileWriterThread writer(tmp.path().string());
    writer.Append("stray", 5);
    writer.Begin("a.htm", 0);
    writer.Append("a", 1);
    writer.End(true);
    writer.Append("late", 4);
    writer.End(true);
    writer.Finish();
  }
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"a.htm", "a"}}));
}

TEST(FileWriterThreadTest, BeginWithoutEndDropsTheOpenFile) {
  TempFolder tmp;
  {
    FileWriterThread writer(tmp.path().string());
    writer.Begin("dir/first.htm", 0);
    writer.Append("first", 5);
    writer.Begin("second.htm", 1);
    writer.Append("second", 6);
    writer.End(true);
    writer.Finish();
  }
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"second.htm", "second"}}));
}

struct FolderFailureCase {
  const char* label;
  std::string target;  // relative to the temporary folder, which holds the file "blocker"
};

class DiskFileWriterFolderTest : public testing::TestWithParam<FolderFailureCase> {};

TEST_P(DiskFileWriterFolderTest, FailsAndLeavesNoNewFolder) {
  TempFolder tmp;
  WriteFile(tmp / "blocker", "a file");
  DiskFileWriter disk(tmp.path().string());
  EXPECT_FALSE(disk.Begin(GetParam().target));
  EXPECT_FALSE(disk.IsOpen());
  EXPECT_FALSE(disk.Write("x", 1));
  EXPECT_FALSE(disk.End(true));
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"blocker", "a file"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Targets, DiskFileWriterFolderTest,
    testing::Values(FolderFailureCase{"FileInPlaceOfTheFolder", "blocker/x.htm"},
                    FolderFailureCase{"FileInPlaceOfAParent", "blocker/deeper/x.htm"},
                    // new1 is made before the name that is too long fails.
                    FolderFailureCase{"NameTooLongBelowANewFolder", "new1/" + std::string(300, 'n') + "/x.htm"}),
    [](const testing::TestParamInfo<FolderFailureCase>& info) { return std::string(info.param.label); });

TEST(DiskFileWriterTest, DroppedFileRemovesOnlyTheFoldersMadeForIt) {
  TempFolder tmp;
  fs::create_directories(tmp / "old");
  DiskFileWriter disk(tmp.path().string());
  ASSERT_TRUE(disk.Begin("old/new1/new2/x.htm"));
  ASSERT_TRUE(disk.Write("xyz", 3));
  EXPECT_FALSE(disk.End(false));
  EXPECT_EQ(ReadTree(tmp.path()), (Tree{{"old/", ""}}));
}

TEST(DiskFileWriterTest, DestroyedWithAnOpenFileLeavesNothing) {
  TempFolder tmp;
  {
    DiskFileWriter disk(tmp.path().string());
    ASSERT_TRUE(disk.Begin("n/x.htm"));
    ASSERT_TRUE(disk.Write("x", 1));
  }
  EXPECT_TRUE(ReadTree(tmp.path()).empty());
}

}  // namespace
}  // namespace velmora::engine
