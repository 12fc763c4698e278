// Folding: what a query and a page have to agree on for a hit.
#include <gtest/gtest.h>

#include "engine/search/SearchQuery.h"
#include "engine/search/TextFold.h"

namespace {

using velmora::search::FoldText;
using velmora::search::ParseQuery;

struct FoldCase {
  const char* name;
  const char* text;
  const char* folded;
};

class TextFoldTest : public ::testing::TestWithParam<FoldCase> {};

TEST_P(TextFoldTest, Folds) { EXPECT_EQ(FoldText(GetParam().text), GetParam().folded); }

INSTANTIATE_TEST_SUITE_P(
    Forms, TextFoldTest,
    ::testing::Values(
        FoldCase{"LatinCase", "GetObject", "getobject"},
        FoldCase{"FullWidthAscii", "ＷＳｃｒｉｐｔ．Ｅｃｈｏ", "wscript.echo"},
        FoldCase{"CyrillicCase", "Справка", "справка"},
        FoldCase{"HalfWidthKatakana", "ﾌｧｲﾙ", "ファイル"},
        // Either form of a voiced kana folds to kana plus combining mark.
        FoldCase{"VoicedKanaBothWidths", "ｶﾞ", "カ\u3099"}, FoldCase{"VoicedKanaFullWidth", "ガ", "カ\u3099"},
        FoldCase{"BlanksCollapse", "a \t\u3000\u00a0 b", "a b"}, FoldCase{"Ligature", "ﬁle", "file"},
        FoldCase{"InvalidByte", "a\xff" "b", "a\uFFFDb"}, FoldCase{"ChineseUnchanged", "函数库", "函数库"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchQueryTest, SplitsOnBlanksAndKeepsQuotedPhrases) {
  EXPECT_EQ(ParseQuery("  Return   函数 "), (std::vector<std::string>{"return", "函数"}));
  EXPECT_EQ(ParseQuery("\"Return Value\" 库"), (std::vector<std::string>{"return value", "库"}));
  // Full-width quotes and the ideographic space work as their ASCII forms.
  EXPECT_EQ(ParseQuery("＂返回　值＂　库"), (std::vector<std::string>{"返回 值", "库"}));
  EXPECT_EQ(ParseQuery("\"unclosed phrase"), (std::vector<std::string>{"unclosed phrase"}));
  EXPECT_EQ(ParseQuery("a A a"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(ParseQuery(" \"\" \t").empty());
}

}  // namespace
