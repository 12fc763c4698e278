// The keyword wildcard language, case by case. Each row: pattern, text, and
// whether the whole text fits.

#include <gtest/gtest.h>

#include <string>

#include "ui/search/KeywordPattern.h"

namespace velmora::ui {
namespace {

struct Row {
  const char* name;
  std::u32string pattern;
  std::u32string text;
  bool matches;
};

std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }

class KeywordPatternTable : public ::testing::TestWithParam<Row> {};

TEST_P(KeywordPatternTable, MatchesWholeText) {
  const Row& row = GetParam();
  EXPECT_EQ(KeywordPattern(row.pattern).Matches(row.text), row.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KeywordPatternTable,
    ::testing::Values(
        // Plain characters compare by code, the whole text must fit.
        Row{"literal_equal", U"a.htm", U"a.htm", true},
        Row{"literal_prefix_only", U"a.htm", U"a.html", false},
        Row{"literal_case_differs", U".htm", U".HTM", false},
        Row{"empty_pattern_empty_text", U"", U"", true},
        Row{"empty_pattern_some_text", U"", U"a", false},
        Row{"cjk_literal", U"*文件*", U"帮助文件.chm", true},
        // "?" takes exactly one character.
        Row{"question_one_char", U"?", U"x", true},
        Row{"question_not_empty", U"?", U"", false},
        Row{"question_not_two", U"?", U"xy", false},
        Row{"question_anywhere_needs_a_char", U"*?*", U"", false},
        Row{"question_anywhere_any_char", U"*?*", U"  ", true},
        Row{"question_outside_bmp_is_one_char", U"a?b", U"a\U0001F600b", true},
        // "*" takes any run, also none.
        Row{"star_empty", U"*", U"", true},
        Row{"star_anything", U"*", U"abc", true},
        Row{"star_inside", U"*.htm*", U"  index.htm", true},
        Row{"star_no_substring", U"*.htm*", U"c.gif", false},
        Row{"star_needs_backtracking", U"*ab*abc*", U"xabyababcz", true},
        Row{"star_backtracking_fails", U"*ab*abc*", U"xabyabab", false},
        Row{"star_suffix", U"*.chm", U"guide.chm.bak", false},
        Row{"stars_in_a_row", U"a**b", U"ab", true},
        // "#" takes one ASCII digit.
        Row{"hash_digit", U"#", U"7", true},
        Row{"hash_letter", U"#", U"a", false},
        Row{"hash_anywhere", U"*#*", U"page12.htm", true},
        Row{"hash_no_digit", U"*#*", U"index.htm", false},
        Row{"hash_fullwidth_digit_is_not_a_digit", U"#", U"\uFF11", false},
        // Sets and ranges.
        Row{"set_member", U"[abc]", U"b", true},
        Row{"set_non_member", U"[abc]", U"d", false},
        Row{"range_inside", U"[a-c]", U"b", true},
        Row{"range_upper_end", U"[a-c]", U"c", true},
        Row{"range_outside", U"[a-c]", U"d", false},
        Row{"range_single_char", U"[a-a]", U"a", true},
        Row{"range_and_members", U"[0-9x]", U"x", true},
        Row{"two_ranges", U"[a-cx-z]", U"y", true},
        Row{"range_anywhere", U"*[a-c]*", U"  zzb", true},
        Row{"set_takes_one_char", U"[a-c]", U"ab", false},
        // "!" right after "[" negates; elsewhere it is itself.
        Row{"negated_non_member", U"[!a]", U"b", true},
        Row{"negated_member", U"[!a]", U"a", false},
        Row{"negated_range", U"[!a-c]", U"b", false},
        Row{"negated_needs_a_char", U"[!a]", U"", false},
        Row{"bang_later_is_literal", U"[a!]", U"!", true},
        Row{"double_bang", U"[!!]", U"!", false},
        Row{"bang_outside_set", U"!", U"!", true},
        // "-" first or last in a set is itself.
        Row{"dash_first", U"[-a]", U"-", true},
        Row{"dash_last", U"[a-]", U"-", true},
        Row{"dash_last_keeps_member", U"[a-]", U"a", true},
        Row{"dash_after_bang", U"[!-]", U"-", false},
        Row{"dash_alone", U"[-]", U"-", true},
        // Brackets make the wildcard characters literal.
        Row{"bracketed_open_bracket", U"[[]", U"[", true},
        Row{"bracketed_star", U"[*]", U"*", true},
        Row{"bracketed_star_not_wild", U"[*]", U"x", false},
        Row{"bracketed_question", U"a[?]", U"a?", true},
        Row{"bracketed_question_not_wild", U"a[?]", U"ab", false},
        Row{"bracketed_hash", U"[#]1", U"#1", true},
        Row{"lone_close_bracket", U"a]", U"a]", true},
        Row{"bracket_pair_in_text", U"*[[]1]*", U"x[1]y", true},
        // Combinations.
        Row{"star_hash_set", U"*#[a-c]*", U"x9b", true},
        Row{"star_hash_set_wrong_order", U"*#[a-c]*", U"xb9", false},
        Row{"question_star_hash", U"?*#", U"a123", true},
        Row{"negated_set_with_star", U"*[!a-z]*", U"abc", false},
        Row{"negated_set_with_star_hit", U"*[!a-z]*", U"ab.c", true}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// Malformed patterns: never a match, never an exception.
class MalformedPattern : public ::testing::TestWithParam<Row> {};

TEST_P(MalformedPattern, MatchesNothing) {
  const Row& row = GetParam();
  const KeywordPattern pattern(row.pattern);
  EXPECT_FALSE(pattern.IsValid());
  EXPECT_FALSE(pattern.Matches(row.text));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MalformedPattern,
    ::testing::Values(
        Row{"unclosed_bracket", U"*[abc*", U"[abc", false},
        Row{"unclosed_at_end", U"*[*", U"[", false},
        Row{"unclosed_after_bang", U"[!", U"x", false},
        Row{"descending_range", U"*[z-a]*", U"m", false},
        Row{"descending_range_text_holds_pattern", U"[z-a]", U"[z-a]", false},
        Row{"empty_set", U"a[]", U"a", false},
        Row{"empty_negated_set", U"a[!]", U"ab", false},
        Row{"dash_between_ranges", U"[a-c-e]", U"d", false},
        Row{"close_bracket_first_is_empty_set", U"[]]", U"]", false}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora::ui
