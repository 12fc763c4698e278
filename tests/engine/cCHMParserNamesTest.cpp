// a) Stored names are untrusted: every write stays inside the output folder,
// and the records keep the names as stored.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/SafeRelativePath.h"
#include "engine/cCHMParser.h"
#include "tests/engine/ParserHarness.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/fake/FakeStorageService.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::FakeElement;
using test::FakeStorageService;
using test::ReadTree;
using test::Root;
using test::RunWalk;
using test::Storage;
using test::Stream;
using test::TempFolder;
using Tree = std::map<std::string, std::string>;

struct HostileCase {
  const char* label;
  FakeElement tree;
  Tree files;  // what lands in the output folder
};

std::vector<HostileCase> HostileCases() {
  const std::string longName = std::string(300, 'n') + ".htm";
  return {
      {"DotDotStream", Root({Stream("..", "x")}), {{"_..", "x"}}},
      {"DotStream", Root({Stream(".", "x")}), {{"_.", "x"}}},
      {"EmptyName", Root({Stream("", "x")}), {{"_", "x"}}},
      {"TraversalInName", Root({Stream("../../escaped.htm", "x")}), {{".._.._escaped.htm", "x"}}},
      {"AbsoluteName", Root({Stream("/tmp/escaped.htm", "x")}), {{"_tmp_escaped.htm", "x"}}},
      {"BackslashTraversal", Root({Stream("..\\..\\escaped.htm", "x")}), {{".._.._escaped.htm", "x"}}},
      {"NulInName", Root({Stream(std::string("a\0/../b", 7), "x")}), {{"a__.._b", "x"}}},
      {"ControlCharacters", Root({Stream("line\nbreak\r.htm", "x")}), {{"line_break_.htm", "x"}}},
      {"DotDotStorage", Root({Storage("..", {Storage("..", {Stream("up.htm", "x")})})}),
       {{"_../", ""}, {"_../_../", ""}, {"_../_../up.htm", "x"}}},
      {"EmptyStorage", Root({Storage("", {Stream("in.htm", "x")})}), {{"_/", ""}, {"_/in.htm", "x"}}},
      {"SlashInStorageName", Root({Storage("a/../../b", {Stream("in.htm", "x")})}),
       {{"a_.._.._b/", ""}, {"a_.._.._b/in.htm", "x"}}},
      {"LongName", Root({Stream(longName, "x")}),
       {{SafeRelativePath::Component(longName), "x"}}},
  };
}

class HostileNameTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileNameTest, WritesInsideTheOutputFolderOnly) {
  TempFolder tmp;
  fs::create_directories(tmp / "a/b/out");
  cCHMParser parser(FakeStorageService::Factory(GetParam().tree));
  const auto r = RunWalk(parser, kExtractAll, tmp / "a/b/out");
  EXPECT_TRUE(r.result);
  Tree expected;
  expected["a/"] = "";
  expected["a/b/"] = "";
  expected["a/b/out/"] = "";
  for (const auto& [path, bytes] : GetParam().files) expected["a/b/out/" + path] = bytes;
  EXPECT_EQ(ReadTree(tmp.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileNameTest, testing::ValuesIn(HostileCases()),
                         [](const testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.label); });

TEST(cCHMParserNamesTest, RecordsKeepTheStoredNames) {
  const std::string nul("a\0b", 3);
  cCHMParser parser(FakeStorageService::Factory(Root({Storage("..", {Stream("../x", "1"), Stream(nul, "2")})})));
  const auto r = RunWalk(parser, kExtractNone);
  ASSERT_EQ(r.items.size(), 3u);
  EXPECT_EQ(r.items[0].Name, "..");
  EXPECT_EQ(r.items[1].Name, "../x");
  EXPECT_EQ(r.items[1].Path, "..");
  EXPECT_EQ(r.items[2].Name, nul);
}

TEST(cCHMParserNamesTest, RecordKeysUseStoredNames) {
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(Root({Storage("..", {Stream("../x.htm", "secret")})})));
  cCHMItemCollection items;
  std::int32_t pic = 0, html = 0, movie = 0, total = 0;
  ASSERT_TRUE(parser.ParseCHM("x.chm", tmp / "preview.htm", kExtractSingle, {"..\\../x.htm"}, items, pic, html,
                              movie, total));
  EXPECT_EQ(test::ReadFile(tmp / "preview.htm"), "secret");
}

// Keys of types 2 and 32 ignore case as the storage layer does, beyond
// ASCII: "\ÜBER.htm" is "\über.htm", "Д\Ж.HTM" is "д\ж.htm".
TEST(cCHMParserNamesTest, KeysFoldCaseLikeTheStorageLayer) {
  const FakeElement root = Root({Stream("\xC3\xBC" "ber.htm", "umlaut", 1),
                                 Storage("\xD0\xB4", {Stream("\xD0\xB6.htm", "cyrillic", 2)}),
                                 Stream("plain.htm", "plain", 3)});
  TempFolder tmp;
  cCHMParser parser(FakeStorageService::Factory(root));
  RunWalk(parser, kExtractListed, tmp / "listed", {"\\\xC3\x9C" "BER.HTM", "\xD0\x94\\\xD0\x96.HTM"});
  EXPECT_EQ(ReadTree(tmp.path() / "listed"),
            (Tree{{"\xC3\xBC" "ber.htm", "umlaut"}, {"\xD0\xB4/", ""}, {"\xD0\xB4/\xD0\xB6.htm", "cyrillic"}}));
  RunWalk(parser, kExtractSingle, tmp / "single.htm", {"\xD0\x94\\\xD0\x96.htm"});
  EXPECT_EQ(test::ReadFile(tmp / "single.htm"), "cyrillic");
}

}  // namespace
}  // namespace velmora::engine
