// c) Streams of 2 GiB and more are written in full. Writes two gigabytes,
// so it runs with the slow tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::FakeOptions;
using test::FakeStorageService;
using test::Root;
using test::RunWalk;
using test::TempFolder;

TEST(LargeStreamTest, StreamsOf2GiBAndMoreAreWrittenInFull) {
  TempFolder tmp;
  const std::uint64_t length = (std::uint64_t{1} << 31) + 3;
  FakeOptions options;
  options.chunkSize = 1 << 20;
  cCHMParser parser(FakeStorageService::Factory(Root({test::GeneratedStream("big.avi", length)}), options));
  std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
  parser.WriteProgress = [&progress](std::uint64_t done, std::uint64_t total) { progress.emplace_back(done, total); };
  const auto r = RunWalk(parser, kExtractMultimedia, tmp / "out");
  ASSERT_EQ(r.items.size(), 1u);
  EXPECT_EQ(r.items[0].Size, 2147483647);
  const std::string file = tmp / "out/big.avi";
  ASSERT_EQ(fs::file_size(file), length);
  // Spot checks around the 2 GiB boundary and at both ends.
  std::ifstream in(file, std::ios::binary);
  for (std::uint64_t pos : {std::uint64_t{0}, std::uint64_t{1} << 31, length - 1, (std::uint64_t{1} << 31) - 1}) {
    in.seekg(static_cast<std::streamoff>(pos));
    EXPECT_EQ(in.get(), static_cast<unsigned char>(test::GeneratedByte(pos))) << pos;
  }
  // The host got a turn every few megabytes, not only at the end.
  EXPECT_GT(progress.size(), 100u);
  EXPECT_EQ(progress.back(), std::make_pair(length, length));
}

}  // namespace
}  // namespace velmora::engine
