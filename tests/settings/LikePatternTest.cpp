#include <gtest/gtest.h>

#include "settings/LikePattern.h"

using velmora::settings::MatchesLikePattern;

namespace {

struct LikeCase {
  const char* name;
  const char* text;
  const char* pattern;
  bool matches;
};

class LikePatternTest : public ::testing::TestWithParam<LikeCase> {};

TEST_P(LikePatternTest, Matches) {
  EXPECT_EQ(MatchesLikePattern(GetParam().text, GetParam().pattern), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LikePatternTest,
    ::testing::Values(LikeCase{"exact", "shell", "shell", true}, LikeCase{"case_counts", "Shell", "shell", false},
                      LikeCase{"star_any_run", "chm.file", "chm*", true}, LikeCase{"star_empty_run", "chm", "chm*", true},
                      LikeCase{"star_inside_backtracks", "abcbd", "a*bd", true},
                      LikeCase{"star_needs_tail", "abc", "*d", false},
                      LikeCase{"question_one_char", "ab", "a?", true}, LikeCase{"question_not_none", "a", "a?", false},
                      LikeCase{"question_multibyte", "a中", "a?", true},
                      LikeCase{"hash_digit", "c7", "c#", true}, LikeCase{"hash_not_letter", "cx", "c#", false},
                      LikeCase{"list", "b", "[abc]", true}, LikeCase{"list_miss", "d", "[abc]", false},
                      LikeCase{"range", "m", "[a-z]", true}, LikeCase{"negated", "m", "[!a-z]", false},
                      LikeCase{"negated_hit", "M", "[!a-z]", true}, LikeCase{"literal_star", "*", "[*]", true},
                      LikeCase{"literal_star_miss", "x", "[*]", false}, LikeCase{"dash_at_end", "-", "[a-]", true},
                      LikeCase{"unclosed_bracket", "[a", "[a", false}, LikeCase{"empty_both", "", "", true},
                      LikeCase{"empty_text_star", "", "*", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
