#pragma once
// The wildcard language of the search dialog's keywords, matched against the
// whole of a text:
//   ?        any one character
//   *        any run of characters, also none
//   #        any one digit 0-9
//   [set]    any one character of the set; "a-c" is an ascending range, a "!"
//            right after "[" negates the set, a "-" first or last in the set
//            and a "!" anywhere else stand for themselves, "[" inside a set is
//            itself
//   other    itself (so a lone "]" matches "]")
// Characters compare by code; callers that want case-blind matching lower
// both sides first. No Qt in here: the matcher is plain C++.
//
// A pattern that is not well formed (a "[" without its "]", a descending or
// incomplete range, an empty set "[]") matches nothing. Neither constructing
// nor matching ever throws for any input.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::ui {

class KeywordPattern {
 public:
  explicit KeywordPattern(std::u32string_view pattern);

  // False for a malformed pattern; such a pattern matches no text.
  bool IsValid() const { return m_blnValid; }

  // True when the whole text fits the pattern.
  bool Matches(std::u32string_view text) const;

 private:
  struct Range {
    char32_t First;
    char32_t Last;
  };
  struct Token {
    enum class Kind { Literal, AnyOne, AnyRun, Digit, Set };
    Kind Type = Kind::Literal;
    char32_t Char = 0;            // Literal
    bool Negated = false;         // Set
    std::vector<Range> Ranges;    // Set
    bool MatchesOne(char32_t c) const;
  };

  // Reads the set starting after its "[" at pos; returns false when the set
  // is malformed, otherwise leaves pos on its closing "]".
  static bool ReadSet(std::u32string_view pattern, std::size_t& pos, Token& set);

  std::vector<Token> m_tokens;
  bool m_blnValid = true;
};

}  // namespace velmora::ui
