#pragma once
// The form in which page text and queries are compared. Each code point is
// replaced by its NFKC case folding (full-width ASCII becomes ASCII,
// half-width katakana full-width, letters lower case, "ﬁ" two letters, a
// soft hyphen nothing), a kana with a voiced sound mark is split into the
// kana and the combining mark (as its half-width form folds), every blank becomes a space and a run of spaces
// one space. Folding code point by code point keeps substrings substrings:
// when a query occurs in a text, its folded form occurs in the folded text.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::search {

// Folds a text one code point at a time and hands out the folded code
// points; remembers whether the last one given out was a space.
class FoldStream {
 public:
  template <typename Emit>
  void push(char32_t c, Emit&& emit) {
    if (c < 0x80) {
      // Most of the text of most pages: no table look-up.
      const char32_t folded = FoldAscii(c);
      const bool space = folded == U' ';
      if (space && m_lastWasSpace) return;
      m_lastWasSpace = space;
      emit(folded);
      return;
    }
    char32_t buffer[kMaxFoldLength];
    const std::size_t n = FoldCodePoint(c, buffer);
    for (std::size_t i = 0; i < n; ++i) {
      const bool space = buffer[i] == U' ';
      if (space && m_lastWasSpace) continue;
      m_lastWasSpace = space;
      emit(buffer[i]);
    }
  }

  // The longest folding of one code point (U+FDFA gives 18).
  static constexpr std::size_t kMaxFoldLength = 32;
  // Writes the folding of c to out; returns how many code points it has.
  static std::size_t FoldCodePoint(char32_t c, char32_t* out);
  static char32_t FoldAscii(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
    if (c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') return U' ';
    return c;
  }

 private:
  bool m_lastWasSpace = false;
};

// Changes when folding may: the Unicode version of the ICU linked, as
// major * 100 + minor. An index built with other foldings is built again.
int FoldingVersion();

// The folded form of UTF-8 text, as UTF-8.
std::string FoldText(std::string_view text);
// The same into out, whose memory is used again (when folding many pages).
void FoldTextInto(std::string_view text, std::string& out);

}  // namespace velmora::search
