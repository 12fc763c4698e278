#include "engine/search/TextFold.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <vector>

#include "engine/help/Utf8.h"

namespace velmora::search {

using help::NextCodePoint;
using help::EncodeUtf8;
using help::kReplacementCharacter;

namespace {

const icu::Normalizer2& FoldNormalizer() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* normalizer = icu::Normalizer2::getNFKCCasefoldInstance(status);
  return *normalizer;
}

const icu::Normalizer2& DecomposingNormalizer() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* normalizer = icu::Normalizer2::getNFDInstance(status);
  return *normalizer;
}

// A kana with a (semi-)voiced sound mark is split into the kana and the
// combining mark: the half-width "ｶﾞ" folds code point by code point to
// "カ" and the combining mark, so "ガ" has to become the same.
void AppendKanaSplit(char32_t c, std::u32string& out) {
  icu::UnicodeString decomposition;
  if (c >= 0x3040 && c <= 0x30FF && DecomposingNormalizer().getDecomposition(static_cast<UChar32>(c), decomposition) &&
      decomposition.length() == 2 && (decomposition[1] == 0x3099 || decomposition[1] == 0x309A)) {
    out += static_cast<char32_t>(decomposition[0]);
    out += static_cast<char32_t>(decomposition[1]);
    return;
  }
  out += c;
}

// ICU's NFKC case folding of one code point, blanks made spaces.
std::u32string FoldWithIcu(char32_t c) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::UnicodeString folded = FoldNormalizer().normalize(icu::UnicodeString(static_cast<UChar32>(c)), status);
  std::u32string result;
  if (U_FAILURE(status)) return result.assign(1, c);
  for (int32_t i = 0; i < folded.length();) {
    const UChar32 out = folded.char32At(i);
    if (u_isUWhiteSpace(out) || out == '\t' || out == '\n' || out == '\r' || out == '\f' || out == '\v') {
      result += U' ';
    } else {
      AppendKanaSplit(static_cast<char32_t>(out), result);
    }
    i += U16_LENGTH(out);
  }
  return result;
}

// The foldings of the Basic Multilingual Plane, worked out once: an entry is
// the folded code point itself, or kPooled with the place of a folding
// that is not one code point long (several, or none) in the pool.
class BmpFoldTable {
 public:
  BmpFoldTable() : m_entries(0x10000) {
    for (char32_t c = 0; c < 0x10000; ++c) {
      const std::u32string folded = c >= 0xD800 && c <= 0xDFFF ? std::u32string(1, kReplacementCharacter)
                                                                : FoldWithIcu(c);
      if (folded.size() == 1) {
        m_entries[c] = folded[0];
      } else {
        m_entries[c] = kPooled | static_cast<std::uint32_t>(m_pool.size() << 5) |
                       static_cast<std::uint32_t>(folded.size());
        m_pool += folded;
      }
    }
  }

  std::size_t fold(char32_t c, char32_t* out) const {
    const std::uint32_t entry = m_entries[c];
    if (!(entry & kPooled)) {
      out[0] = entry;
      return 1;
    }
    const std::size_t length = entry & 0x1F;
    const std::size_t offset = (entry & ~kPooled) >> 5;
    m_pool.copy(out, length, offset);
    return length;
  }

 private:
  static constexpr std::uint32_t kPooled = 0x80000000u;
  std::vector<std::uint32_t> m_entries;
  std::u32string m_pool;
};

}  // namespace

std::size_t FoldStream::FoldCodePoint(char32_t c, char32_t* out) {
  if (c < 0x80) {
    out[0] = FoldAscii(c);
    return 1;
  }
  static const BmpFoldTable table;
  if (c < 0x10000) return table.fold(c, out);
  const std::u32string folded = FoldWithIcu(c);
  const std::size_t length = folded.size() < kMaxFoldLength ? folded.size() : kMaxFoldLength;
  folded.copy(out, length);
  return length;
}

int FoldingVersion() {
  UVersionInfo version;
  u_getUnicodeVersion(version);
  return version[0] * 100 + version[1];
}

std::string FoldText(std::string_view text) {
  std::string folded;
  FoldTextInto(text, folded);
  return folded;
}

void FoldTextInto(std::string_view text, std::string& folded) {
  // Written into place: the check of a query folds every page it is
  // offered, and most of their bytes are ASCII, which folds to one byte.
  folded.resize(text.size() + 8);
  std::size_t length = 0;
  bool lastWasSpace = false;
  const auto put = [&](char32_t c) {
    const bool space = c == U' ';
    if (space && lastWasSpace) return;
    lastWasSpace = space;
    if (folded.size() - length < 4) folded.resize(folded.size() * 2);
    if (c < 0x80) {
      folded[length++] = static_cast<char>(c);
    } else {
      length += EncodeUtf8(c, &folded[length]);
    }
  };
  for (std::size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
      put(FoldStream::FoldAscii(byte));
      ++pos;
      continue;
    }
    char32_t buffer[FoldStream::kMaxFoldLength];
    const std::size_t count = FoldStream::FoldCodePoint(NextCodePoint(text, pos), buffer);
    for (std::size_t i = 0; i < count; ++i) put(buffer[i]);
  }
  folded.resize(length);
}

}  // namespace velmora::search
