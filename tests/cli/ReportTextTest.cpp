// The texts that report a walk, shared by the window and velmora-cli.
#include <gtest/gtest.h>

#include <climits>

#include "engine/ExtractionLoss.h"
#include "engine/ReportText.h"

namespace {

using velmora::engine::cCHMItemInfo;

cCHMItemInfo Item(std::string name, std::string path, std::int32_t level, std::uint64_t size,
                  bool blnStorage = false) {
  cCHMItemInfo item;
  item.Name = std::move(name);
  item.Path = std::move(path);
  item.Level = level;
  item.ExactSize = size;
  item.Size = size > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(size);
  item.IsStorage = blnStorage;
  return item;
}

TEST(ReportTextTest, ParseSummaryPutsEachCounterInItsPlace) {
  EXPECT_EQ(velmora::engine::ParseSummaryText(8, 12, 3, 25, false),
            "解释完成，共25个内容，网页(12)，图片(8)，多媒体(3)，请导出文件。");
  EXPECT_EQ(velmora::engine::ParseSummaryText(0, 0, 0, 0, true),
            "解释完成，共0个内容，网页(0)，图片(0)，多媒体(0)，成功导出。");
}

// Only a walk that lost nothing says "成功导出".
TEST(ReportTextTest, ParseSummaryAfterLossesNeverClaimsSuccess) {
  EXPECT_EQ(velmora::engine::ParseSummaryText(0, 0, 0, 9, true, 3, 5),
            "解释完成，共9个内容，网页(0)，图片(0)，多媒体(0)，3个内容未能导出。");
  EXPECT_EQ(velmora::engine::ParseSummaryText(0, 0, 0, 9, true, 8, 0),
            "解释完成，共9个内容，网页(0)，图片(0)，多媒体(0)，未能导出任何内容。");
  EXPECT_EQ(velmora::engine::ParseSummaryText(0, 0, 0, 9, false, 8, 0),
            "解释完成，共9个内容，网页(0)，图片(0)，多媒体(0)，请导出文件。");
}

TEST(ReportTextTest, ExportSummaryEndsWithFullStopOrTheLostCount) {
  EXPECT_EQ(velmora::engine::ExportSummaryText(1, 2, 3, 2147483647),
            "反编译完成，共2147483647个内容，网页(2)，图片(1)，多媒体(3)。");
  EXPECT_EQ(velmora::engine::ExportSummaryText(0, 0, 0, 525, 523),
            "反编译完成，共525个内容，网页(0)，图片(0)，多媒体(0)，523个内容未能导出。");
}

// Up to 20 keys, one per line, then "……" when there are more, then the total.
TEST(ReportTextTest, LostItemsMessageListsAtMostTwentyKeys) {
  std::vector<std::string> keys;
  std::string listed;
  for (int i = 1; i <= 21; ++i) {
    keys.push_back("html\\p" + std::to_string(i) + ".htm");
    if (i <= 20) listed += keys.back() + "\n";
  }
  EXPECT_EQ(velmora::engine::LostItemsMessage({}), "");
  EXPECT_EQ(velmora::engine::LostItemsMessage({"\\a\x1b.htm"}), "以下内容未能导出：\n\\a\\x1B.htm\n共1个内容未能导出。");
  keys.pop_back();
  EXPECT_EQ(velmora::engine::LostItemsMessage(keys), "以下内容未能导出：\n" + listed + "共20个内容未能导出。");
  keys.push_back("html\\p21.htm");
  EXPECT_EQ(velmora::engine::LostItemsMessage(keys), "以下内容未能导出：\n" + listed + "……\n共21个内容未能导出。");
}

TEST(ReportTextTest, ControlCharactersAreShownAsHex) {
  using velmora::engine::EscapeControlChars;
  EXPECT_EQ(EscapeControlChars(std::string("a\0b\x1f\x7f\x80\xe6\xb7\xb1 ~", 11)), "a\\x00b\\x1F\\x7F\x80深 ~");
  EXPECT_EQ(EscapeControlChars("\x1b[2J\r\n"), "\\x1B[2J\\x0D\\x0A");
  EXPECT_EQ(velmora::engine::ProgressText("a\tb", 1, true), "正在反编译：a\\x09b，大小：1");
}

// Long names are searched a word at a time: a control character is found
// wherever it lies, and bytes that only look close to one (blank, "~",
// 0x80 and above) stay as they are.
TEST(ReportTextTest, ControlCharacterAnywhereInALongNameIsShownAsHex) {
  using velmora::engine::EscapeControlChars;
  const std::string base = "abcdefghijklmnopq";  // 17 bytes: two words and one more
  for (const char c : {'\x00', '\x1f', '\x7f'}) {
    const std::string hex = c == '\x7f' ? "\\x7F" : c == '\x1f' ? "\\x1F" : "\\x00";
    for (std::size_t at = 0; at < base.size(); ++at) {
      std::string name = base;
      name[at] = c;
      EXPECT_EQ(EscapeControlChars(name), base.substr(0, at) + hex + base.substr(at + 1)) << "at " << at;
    }
  }
  const std::string kept = " ~\x80\x9f\xa0\xfe\xff !\x7e\x20\xc0\xe0\xf0\x81\x90";
  EXPECT_EQ(EscapeControlChars(kept), kept);
}

TEST(ReportTextTest, ProgressLineNamesTheWalkKind) {
  EXPECT_EQ(velmora::engine::ProgressText("a.htm", 512, true), "正在反编译：a.htm，大小：512");
  EXPECT_EQ(velmora::engine::ProgressText("说明.txt", 0, false), "正在解释：说明.txt，大小：0");
}

TEST(ReportTextTest, RowIsIndentedTwoBlanksPerLevelBelowTheTop) {
  EXPECT_EQ(velmora::engine::ItemRowText(Item("index.htm", "", 1, 10)), "index.htm");
  EXPECT_EQ(velmora::engine::ItemRowText(Item("images", "html", 2, 0, true)), "  images");
  EXPECT_EQ(velmora::engine::ItemRowText(Item("logo.gif", "html\\images", 3, 5)), "    logo.gif");
  EXPECT_EQ(velmora::engine::ItemRowText(Item("odd", "", 0, 5)), "odd");
}

struct ListingCase {
  const char* name;
  cCHMItemInfo item;
  const char* line;
};

class ListingLineTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListingLineTest, MatchesTheListingFormat) {
  EXPECT_EQ(velmora::engine::ListingItemLine(GetParam().item), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ListingLineTest,
    ::testing::Values(
        ListingCase{"RootStream", Item("index.htm", "", 1, 2048), "文件：\\index.htm，大小：2048\r\n"},
        ListingCase{"RootStorage", Item("images", "", 1, 0, true), "文件：\\images，这是目录\r\n"},
        ListingCase{"NestedStream", Item("logo.gif", "images", 2, 512), "文件：images\\logo.gif，大小：512\r\n"},
        ListingCase{"DeepStorage", Item("深", "a\\b", 3, 0, true), "文件：a\\b\\深，这是目录\r\n"},
        ListingCase{"EmptyStream", Item("empty.htm", "", 1, 0), "文件：\\empty.htm，大小：0\r\n"},
        ListingCase{"LargestExactSize", Item("big.bin", "", 1, 2147483647), "文件：\\big.bin，大小：2147483647\r\n"},
        ListingCase{"SaturatedSizeShowsExactLength", Item("huge.bin", "", 1, 3221225472ULL),
                    "文件：\\huge.bin，大小：3221225472\r\n"}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

TEST(ReportTextTest, ListingHeaderKeepsThePathAsGiven) {
  EXPECT_EQ(velmora::engine::ListingHeaderLine("D:\\doc\\guide.chm"), "CHM文件：D:\\doc\\guide.chm\r\n");
  EXPECT_EQ(velmora::engine::ListingHeaderLine("./相对/a.chm"), "CHM文件：./相对/a.chm\r\n");
}

}  // namespace
