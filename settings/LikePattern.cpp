#include "settings/LikePattern.h"

#include <optional>
#include <utility>
#include <vector>

namespace velmora::settings {

namespace {

// Decodes UTF-8; a byte that does not start a valid sequence stands for
// itself, so any text can be matched.
std::u32string Decode(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t cp = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += static_cast<char32_t>(lead);
      ++i;
      continue;
    }
    out += cp;
    i += length;
  }
  return out;
}

struct Token {
  enum class Kind { Star, Any, Digit, Literal, List };
  explicit Token(Kind k, char32_t c = 0) : kind(k), literal(c) {}

  Kind kind;
  char32_t literal;
  std::vector<std::pair<char32_t, char32_t>> ranges;
  bool negated = false;

  bool Matches(char32_t c) const {
    switch (kind) {
      case Kind::Any: return true;
      case Kind::Digit: return c >= U'0' && c <= U'9';
      case Kind::Literal: return c == literal;
      case Kind::List: {
        bool inList = false;
        for (const auto& [low, high] : ranges) inList = inList || (c >= low && c <= high);
        return inList != negated;
      }
      case Kind::Star: return false;
    }
    return false;
  }
};

std::optional<std::vector<Token>> Tokenize(const std::u32string& pattern) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char32_t c = pattern[i];
    if (c == U'*') {
      tokens.emplace_back(Token::Kind::Star);
    } else if (c == U'?') {
      tokens.emplace_back(Token::Kind::Any);
    } else if (c == U'#') {
      tokens.emplace_back(Token::Kind::Digit);
    } else if (c != U'[') {
      tokens.emplace_back(Token::Kind::Literal, c);
    } else {
      const auto close = pattern.find(U']', i + 1);
      if (close == std::u32string::npos) return std::nullopt;
      Token list(Token::Kind::List);
      std::size_t k = i + 1;
      if (k < close && pattern[k] == U'!') {
        list.negated = true;
        ++k;
      }
      for (; k < close; ++k) {
        if (k + 2 < close && pattern[k + 1] == U'-') {
          list.ranges.emplace_back(pattern[k], pattern[k + 2]);
          k += 2;
        } else {
          list.ranges.emplace_back(pattern[k], pattern[k]);
        }
      }
      tokens.push_back(std::move(list));
      i = close;
    }
  }
  return tokens;
}

}  // namespace

bool MatchesLikePattern(const std::string& text, const std::string& pattern) {
  const auto tokens = Tokenize(Decode(pattern));
  if (!tokens) return false;
  const std::u32string chars = Decode(text);
  // Every token but "*" takes exactly one character, so backtracking to the
  // latest "*" is enough.
  std::size_t t = 0, c = 0;
  std::optional<std::size_t> starToken;
  std::size_t starChar = 0;
  while (c < chars.size()) {
    if (t < tokens->size() && (*tokens)[t].kind == Token::Kind::Star) {
      starToken = t++;
      starChar = c;
    } else if (t < tokens->size() && (*tokens)[t].Matches(chars[c])) {
      ++t;
      ++c;
    } else if (starToken) {
      t = *starToken + 1;
      c = ++starChar;
    } else {
      return false;
    }
  }
  while (t < tokens->size() && (*tokens)[t].kind == Token::Kind::Star) ++t;
  return t == tokens->size();
}

}  // namespace velmora::settings
