#include "platform/storage/CaseFold.h"

#include <cstdint>
#include <cstring>

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

}  // namespace

void FoldCaseInto(std::string_view utf8, char* out) {
  const std::size_t size = utf8.size();
  std::size_t i = 0;
  // Eight ASCII bytes at a time: each byte from 'A' to 'Z' gets 0x20 added.
  // With every byte below 0x80 no sum below carries into the next byte.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, utf8.data() + i, 8);
    if (word & kHigh) break;
    const std::uint64_t atLeastA = word + (0x80 - 'A') * kOnes;
    const std::uint64_t aboveZ = word + (0x80 - 'Z' - 1) * kOnes;
    word |= ((atLeastA & ~aboveZ) & kHigh) >> 2;
    std::memcpy(out + i, &word, 8);
  }
  for (; i < size; ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out[i] = static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
      continue;
    }
    // Only well-formed two-byte sequences can hold a letter that folds.
    const bool twoByte = (byte & 0xE0) == 0xC0 && i + 1 < size &&
                         (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80;
    if (!twoByte) {
      out[i] = utf8[i];
      continue;
    }
    const char32_t c = (static_cast<char32_t>(byte & 0x1F) << 6) |
                       (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
    // An overlong form (below 0x80) keeps its bytes; every letter that folds
    // stays below 0x800, so it keeps two bytes.
    const char32_t folded = c < 0x80 ? c : LowerCodePoint(c);
    if (c < 0x80) {
      out[i] = utf8[i];
      out[i + 1] = utf8[i + 1];
    } else {
      out[i] = static_cast<char>(0xC0 | (folded >> 6));
      out[i + 1] = static_cast<char>(0x80 | (folded & 0x3F));
    }
    ++i;
  }
}

std::string FoldCase(std::string_view utf8) {
  std::string out(utf8.size(), '\0');
  FoldCaseInto(utf8, out.data());
  return out;
}

FoldedName::FoldedName(std::string_view utf8) {
  char* out = m_inline;
  if (utf8.size() > kInline) {
    m_heap.resize(utf8.size());
    out = m_heap.data();
  }
  FoldCaseInto(utf8, out);
  m_view = std::string_view(out, utf8.size());
}

}  // namespace velmora::platform
