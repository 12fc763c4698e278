#include "ui/search/KeywordPattern.h"

namespace velmora::ui {

KeywordPattern::KeywordPattern(std::u32string_view pattern) {
  for (std::size_t pos = 0; pos < pattern.size(); ++pos) {
    Token token;
    switch (pattern[pos]) {
      case U'?': token.Type = Token::Kind::AnyOne; break;
      case U'*': token.Type = Token::Kind::AnyRun; break;
      case U'#': token.Type = Token::Kind::Digit; break;
      case U'[':
        token.Type = Token::Kind::Set;
        ++pos;
        if (!ReadSet(pattern, pos, token)) {
          m_blnValid = false;
          m_tokens.clear();
          return;
        }
        break;
      default: token.Char = pattern[pos]; break;
    }
    m_tokens.push_back(std::move(token));
  }
}

bool KeywordPattern::ReadSet(std::u32string_view pattern, std::size_t& pos, Token& set) {
  if (pos < pattern.size() && pattern[pos] == U'!') {
    set.Negated = true;
    ++pos;
  }
  const std::size_t first = pos;
  while (pos < pattern.size()) {
    const char32_t c = pattern[pos];
    const bool atEnd = pos + 1 < pattern.size() && pattern[pos + 1] == U']';
    if (c == U']') {
      // A set needs at least one character; "[]" and "[!]" are not patterns.
      return pos > first;
    }
    if (pos + 2 < pattern.size() && pattern[pos + 1] == U'-' && pattern[pos + 2] != U']') {
      const char32_t last = pattern[pos + 2];
      if (last < c) return false;  // ranges are written in ascending order
      set.Ranges.push_back({c, last});
      pos += 3;
      continue;
    }
    // A dash stands for itself only first or last in the set; anywhere else
    // it would have to join a range and does not.
    if (c == U'-' && pos != first && !atEnd) return false;
    set.Ranges.push_back({c, c});
    ++pos;
  }
  return false;  // no closing "]"
}

bool KeywordPattern::Token::MatchesOne(char32_t c) const {
  switch (Type) {
    case Kind::Literal: return c == Char;
    case Kind::AnyOne: return true;
    case Kind::Digit: return c >= U'0' && c <= U'9';
    case Kind::Set: {
      bool inSet = false;
      for (const Range& range : Ranges) {
        if (c >= range.First && c <= range.Last) {
          inSet = true;
          break;
        }
      }
      return inSet != Negated;
    }
    case Kind::AnyRun: break;
  }
  return false;
}

bool KeywordPattern::Matches(std::u32string_view text) const {
  if (!m_blnValid) return false;
  // Every token but "*" takes exactly one character, so remembering only the
  // latest "*" and letting it take one more character on a mismatch finds a
  // match whenever there is one.
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t t = 0;
  std::size_t s = 0;
  std::size_t starToken = kNone;
  std::size_t starText = 0;
  while (s < text.size()) {
    if (t < m_tokens.size() && m_tokens[t].Type == Token::Kind::AnyRun) {
      starToken = t++;
      starText = s;
    } else if (t < m_tokens.size() && m_tokens[t].MatchesOne(text[s])) {
      ++t;
      ++s;
    } else if (starToken != kNone) {
      t = starToken + 1;
      s = ++starText;
    } else {
      return false;
    }
  }
  while (t < m_tokens.size() && m_tokens[t].Type == Token::Kind::AnyRun) ++t;
  return t == m_tokens.size();
}

}  // namespace velmora::ui
