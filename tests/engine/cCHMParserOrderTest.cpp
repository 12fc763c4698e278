// Streams are written in container order; the result on disk is the one a
// write in walk order gives, duplicates and failures included.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::FakeCall;
using test::FakeElement;
using test::FakeRecorder;
using test::FakeStorageService;
using test::ReadFile;
using test::ReadTree;
using test::Root;
using test::RunWalk;
using test::Storage;
using test::Stream;
using test::TempFolder;
using Tree = std::map<std::string, std::string>;

// Streams that map to one disk path: "x/y" and "x\y" both become "x_y".
TEST(cCHMParserOrderTest, LaterStreamInWalkOrderWinsAPath) {
  TempFolder tmp;
  // The later stream comes first in the container.
  cCHMParser parser(FakeStorageService::Factory(Root({Stream("x/y", "first", 2), Stream("x\\y", "second", 1)})));
  RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_EQ(ReadFile(tmp / "out/x_y"), "second");
}

TEST(cCHMParserOrderTest, EarlierStreamStaysWhenTheLaterOneFails) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(
      Root({Stream("x/y", "first", 1), Stream("x\\y", "second", 2).Failing(FakeCall::CopyTo, 3)})));
  RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_EQ(ReadTree(tmp.path() / "out"), (Tree{{"x_y", "first"}}));
}

// An empty stream is written like any other, so it wins its path as well.
TEST(cCHMParserOrderTest, LaterEmptyStreamWinsAPath) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(Root({Stream("x/y", "first", 2), Stream("x\\y", "", 1)})));
  RunWalk(parser, kExtractAll, tmp / "out");
  EXPECT_EQ(ReadTree(tmp.path() / "out"), (Tree{{"x_y", ""}}));
}

// Several storages, long and short streams, duplicates of one disk path,
// a failing copy, an empty stream and one long stream; orderKey = walk
// position.
FakeElement MixedTree(std::uint64_t bigLength) {
  std::vector<FakeElement> root;
  std::uint64_t key = 0;
  for (int s = 0; s < 4; ++s) {
    std::vector<FakeElement> children;
    for (int i = 0; i < 8; ++i) {
      const std::string name = "f" + std::to_string(i) + (i % 3 ? ".htm" : ".gif");
      children.push_back(Stream(name, std::string(1 + (s * 37 + i * 101) % 700, static_cast<char>('A' + i)), key++));
    }
    children.push_back(Stream("dup/name", "first of s" + std::to_string(s), key++));
    children.push_back(Stream("dup\\name", "second of s" + std::to_string(s), key++));
    children.push_back(Stream("dup_name", "third of s" + std::to_string(s), key++).Failing(FakeCall::CopyTo, s * 3));
    children.push_back(Stream("empty.htm", "", key++));
    root.push_back(Storage("s" + std::to_string(s), std::move(children)));
  }
  root.push_back(test::GeneratedStream("big.avi", bigLength, key++));
  root.push_back(Stream("index.htm", "root page", key++));
  return Root(std::move(root));
}

void ShuffleOrderKeys(FakeElement& e, std::mt19937& rng) {
  e.orderKey = rng() % 16;  // many equal keys: ties keep walk order
  for (auto& child : e.children) ShuffleOrderKeys(child, rng);
}

std::vector<std::uint64_t> KeysInCopyOrder(const FakeElement& root, const std::vector<std::string>& copyOrder) {
  std::map<std::string, std::uint64_t> keys;
  for (const auto& storage : root.children) {
    keys[storage.name] = storage.orderKey;
    for (const auto& child : storage.children) keys[storage.name + "/" + child.name] = child.orderKey;
  }
  std::vector<std::uint64_t> result;
  for (const auto& path : copyOrder) result.push_back(keys.at(path));
  return result;
}

TEST(cCHMParserOrderTest, ContainerOrderGivesTheTreeOfWalkOrder) {
  TempFolder tmp;
  const FakeElement walkOrdered = MixedTree(1 << 20);
  auto walkRecorder = std::make_shared<FakeRecorder>();
  cCHMParser reference(FakeStorageService::Factory(walkOrdered, {}, walkRecorder));
  const auto expectedWalk = RunWalk(reference, kExtractAll, tmp / "walk");
  const Tree expected = ReadTree(tmp.path() / "walk");
  ASSERT_EQ(expected.at("s2/dup_name"), "second of s2");
  ASSERT_EQ(expected.at("s0/empty.htm"), "");

  for (unsigned seed = 1; seed <= 5; ++seed) {
    SCOPED_TRACE(seed);
    FakeElement shuffled = walkOrdered;
    std::mt19937 rng(seed);
    ShuffleOrderKeys(shuffled, rng);
    auto recorder = std::make_shared<FakeRecorder>();
    cCHMParser parser(FakeStorageService::Factory(shuffled, {}, recorder));
    const std::string out = tmp / ("shuffled" + std::to_string(seed));
    const auto r = RunWalk(parser, kExtractAll, out);
    EXPECT_EQ(ReadTree(out), expected);
    EXPECT_EQ(r.events, expectedWalk.events);
    EXPECT_EQ(test::Describe(r.items), test::Describe(expectedWalk.items));
    const auto keys = KeysInCopyOrder(shuffled, recorder->copyOrder);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_GE(keys.size(), 30u);
    EXPECT_EQ(recorder->liveObjects, 0);
  }
}

TEST(cCHMParserOrderTest, WriteProgressRisesToTheTotal) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(MixedTree(9 << 20)));
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  parser.WriteProgress = [&calls](std::uint64_t done, std::uint64_t total) { calls.emplace_back(done, total); };
  RunWalk(parser, kExtractAll, tmp / "out");
  ASSERT_FALSE(calls.empty());
  const std::uint64_t total = calls.front().second;
  std::uint64_t previous = 0;
  for (const auto& [done, callTotal] : calls) {
    EXPECT_EQ(callTotal, total);
    EXPECT_GE(done, previous);
    previous = done;
  }
  EXPECT_EQ(calls.back().first, total);
  // One call per non-empty stream, plus calls inside the 9 MiB stream.
  EXPECT_GE(calls.size(), 4u * 11 + 2 + 2);
}

}  // namespace
}  // namespace velmora::engine
