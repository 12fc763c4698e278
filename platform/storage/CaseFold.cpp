#include "platform/storage/CaseFold.h"

namespace velmora::platform {
namespace {

char32_t LowerCodePoint(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;      // Latin-1 capitals
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek capitals
  if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic А..Я
  if (c >= 0x400 && c <= 0x40F) return c + 80;                // Cyrillic Ѐ..Џ
  return c;
}

// Folding keeps a two-byte code point within the two-byte range.
void AppendTwoByteUtf8(std::string& out, char32_t c) {
  out += static_cast<char>(0xC0 | (c >> 6));
  out += static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out += static_cast<char>(LowerCodePoint(byte));
      continue;
    }
    // Only well-formed two-byte sequences can hold a letter that folds.
    const bool twoByte = (byte & 0xE0) == 0xC0 && i + 1 < utf8.size() &&
                         (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80;
    if (!twoByte) {
      out += utf8[i];
      continue;
    }
    const char32_t c = (static_cast<char32_t>(byte & 0x1F) << 6) |
                       (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
    if (c < 0x80) {  // overlong form: keep the bytes as they are
      out.append(utf8.substr(i, 2));
    } else {
      AppendTwoByteUtf8(out, LowerCodePoint(c));
    }
    ++i;
  }
  return out;
}

}  // namespace velmora::platform
