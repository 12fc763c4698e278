#pragma once
// Walking UTF-8 one code point at a time. Page text is valid UTF-8 once the
// encoding module has converted it, but the index must not trust that: a
// byte that does not start a well-formed sequence stands for U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::help {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point starting at text[pos]; pos moves past it (by one byte for
// an ill-formed sequence). pos must be below text.size().
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

// Writes c's UTF-8 bytes (one to four; U+FFFD for what is no code point)
// to out; returns how many.
std::size_t EncodeUtf8(char32_t c, char* out);
void AppendUtf8(std::string& out, char32_t c);

// The start of the code point holding text[pos] (pos itself when it is not
// inside a sequence); for cutting text on a character boundary.
std::size_t CodePointStart(std::string_view text, std::size_t pos);

}  // namespace velmora::help
