// The texts that report a walk, shared by the window and velmora-cli.
#include <gtest/gtest.h>

#include <climits>

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

TEST(ReportTextTest, ExportSummaryEndsWithFullStop) {
  EXPECT_EQ(velmora::engine::ExportSummaryText(1, 2, 3, 2147483647),
            "反编译完成，共2147483647个内容，网页(2)，图片(1)，多媒体(3)。");
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
