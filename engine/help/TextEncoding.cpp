#include "engine/help/TextEncoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "engine/help/AsciiCase.h"

namespace velmora::help {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// An open iconv descriptor, closed when it goes.
class Converter {
 public:
  Converter(std::string_view from, std::string_view to)
      : m_cd(iconv_open(std::string(to).c_str(), std::string(from).c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  // Converts text; on an invalid or incomplete sequence either stops
  // (false) or, with blnReplace, writes U+FFFD for its first byte and
  // goes on after it.
  bool Convert(std::string_view text, bool blnReplace, std::string& out) {
    out.assign(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::size_t done = 0;
    while (true) {
      char* dst = out.data() + done;
      std::size_t outLeft = out.size() - done;
      // With no input left, the call flushes the shift state.
      const std::size_t rc = iconv(m_cd, inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr, &dst, &outLeft);
      done = out.size() - outLeft;
      if (rc != static_cast<std::size_t>(-1)) {
        if (inLeft == 0) break;
        continue;
      }
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      if (!blnReplace || inLeft == 0) return false;
      out.replace(done, 0, kReplacement);
      done += 3;
      if (out.size() - done < 16) out.resize(out.size() * 2);
      ++in;
      --inLeft;
      iconv(m_cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    }
    out.resize(done);
    return true;
  }

 private:
  iconv_t m_cd;
};

// The encoding a declared label means, as browsers read labels: Latin-1
// and ASCII labels mean windows-1252, GB2312 means GBK, Shift_JIS means
// Microsoft's code page 932, and so on. Others are passed on as written.
std::string CharsetForLabel(std::string_view label) {
  struct Alias {
    const char* label;
    const char* charset;
  };
  static constexpr Alias kAliases[] = {
      {"us-ascii", "CP1252"},     {"ascii", "CP1252"},       {"iso-8859-1", "CP1252"},
      {"iso8859-1", "CP1252"},    {"latin1", "CP1252"},      {"iso_8859-1", "CP1252"},
      {"windows-1252", "CP1252"}, {"gb2312", "GBK"},         {"gb_2312-80", "GBK"},
      {"x-gbk", "GBK"},           {"gbk", "GBK"},            {"cp936", "GBK"},
      {"shift_jis", "CP932"},     {"shift-jis", "CP932"},    {"sjis", "CP932"},
      {"x-sjis", "CP932"},        {"ms_kanji", "CP932"},     {"windows-31j", "CP932"},
      {"big5", "BIG5"},           {"x-x-big5", "BIG5"},      {"euc-kr", "CP949"},
      {"ks_c_5601-1987", "CP949"}, {"iso-8859-9", "CP1254"}, {"tis-620", "CP874"},
      {"iso-8859-11", "CP874"},   {"utf8", "UTF-8"},         {"utf-8", "UTF-8"},
      {"unicode", "UTF-16LE"},    {"utf-16", "UTF-16LE"},
  };
  const std::string lower = LowerAscii(label);
  for (const auto& alias : kAliases) {
    if (lower == alias.label) return alias.charset;
  }
  std::string upper(label);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return upper;
}

bool IconvKnows(const std::string& charset) { return Converter(charset, "UTF-8").ok(); }

bool IsLabelCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
}

// The value after "name" (and blanks, "=", blanks, an optional quote) in a
// lower-cased tag text; empty when the name is not followed by "=".
std::string LabelAfter(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    std::size_t i = at + name.size();
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n')) ++i;
    if (i >= tag.size() || tag[i] != '=') continue;
    ++i;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r' || tag[i] == '\n' ||
                              tag[i] == '"' || tag[i] == '\'')) {
      ++i;
    }
    std::size_t end = i;
    while (end < tag.size() && IsLabelCharacter(tag[end])) ++end;
    if (end > i) return std::string(tag.substr(i, end - i));
  }
  return {};
}

// The label a page declares: its XML declaration's encoding, else the
// first <meta> that names a charset.
std::string DeclaredLabel(std::string_view head) {
  const std::string lower = LowerAscii(head);
  std::size_t start = lower.find_first_not_of(" \t\r\n");
  if (start != std::string::npos && lower.compare(start, 5, "<?xml") == 0) {
    const std::size_t end = lower.find("?>", start);
    const std::string label = LabelAfter(std::string_view(lower).substr(start, end - start), "encoding");
    if (!label.empty()) return label;
  }
  for (std::size_t at = lower.find("<meta"); at != std::string::npos; at = lower.find("<meta", at + 5)) {
    const std::size_t end = lower.find('>', at);
    const std::string label = LabelAfter(std::string_view(lower).substr(at, end - at), "charset");
    if (!label.empty()) return label;
  }
  return {};
}

}  // namespace

std::string CodePageForLanguage(std::uint32_t lcid) {
  const std::uint32_t language = lcid & 0xFFFF;
  switch (language & 0x3FF) {  // the primary language
    case 0x04:  // Chinese: PRC, Singapore and neutral simplified; the rest traditional
      return language == 0x0804 || language == 0x1004 || language == 0x0004 || language == 0x7804 ? "GBK"
                                                                                                   : "BIG5";
    case 0x11: return "CP932";
    case 0x12: return "CP949";
    case 0x1E: return "CP874";
    case 0x2A: return "CP1258";
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F: case 0x40: case 0x44: case 0x50:
      return "CP1251";
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1B: case 0x1C: case 0x24: case 0x42: return "CP1250";
    case 0x1A:  // Croatian, Bosnian and Serbian: Cyrillic variants use 1251
      switch (language) {
        case 0x0C1A: case 0x1C1A: case 0x201A: case 0x281A: case 0x301A: return "CP1251";
        default: return "CP1250";
      }
    case 0x2C: case 0x43:  // Azeri and Uzbek: Latin 1254, Cyrillic 1251
      return (language & 0xFC00) == 0x0800 ? "CP1251" : "CP1254";
    case 0x08: return "CP1253";
    case 0x1F: return "CP1254";
    case 0x0D: case 0x3D: return "CP1255";
    case 0x01: case 0x20: case 0x29: return "CP1256";
    case 0x25: case 0x26: case 0x27: return "CP1257";
    default: return "CP1252";
  }
}

std::string_view BomCharset(std::string_view bytes) {
  if (bytes.substr(0, 3) == kUtf8Bom) return "UTF-8";
  if (bytes.substr(0, 2) == "\xFF\xFE") return "UTF-16LE";
  if (bytes.substr(0, 2) == "\xFE\xFF") return "UTF-16BE";
  return {};
}

bool IsValidUtf8(std::string_view bytes, bool blnMayBeCut) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char lead = p[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // overlong
      if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // overlong
      if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k >= n) return blnMayBeCut;
      const unsigned char c = p[i + k];
      if (k == 1 ? (c < low || c > high) : (c & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::string ToUtf8(std::string_view bytes, std::string_view charset) {
  Converter converter(charset, "UTF-8");
  Converter fallback("UTF-8", "UTF-8");
  std::string out;
  (converter.ok() ? converter : fallback).Convert(bytes, true, out);
  if (std::string_view(out).substr(0, 3) == kUtf8Bom) out.erase(0, 3);
  return out;
}

std::string DecodeText(std::string_view bytes, std::string_view codePage) {
  const std::string_view bom = BomCharset(bytes);
  if (!bom.empty()) return ToUtf8(bytes, bom);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return ToUtf8(bytes, codePage);
}

std::string PageCharset(std::string_view head, std::string_view codePage) {
  const std::string_view bom = BomCharset(head);
  if (!bom.empty()) return std::string(bom);
  if (IsValidUtf8(head, true) &&
      std::any_of(head.begin(), head.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
    return "UTF-8";
  }
  const std::string label = DeclaredLabel(head);
  if (!label.empty()) {
    const std::string charset = CharsetForLabel(label);
    // UTF-8 the bytes are not, or UTF-16 without a BOM (its tags would not
    // read as ASCII), is a declaration the bytes contradict. Here the head
    // is either ASCII alone or not UTF-8.
    if (charset == "UTF-8") return IsValidUtf8(head, true) ? charset : std::string(codePage);
    if (charset.rfind("UTF-16", 0) != 0 && IconvKnows(charset)) return charset;
  }
  return std::string(codePage);
}

std::optional<std::string> ConvertText(std::string_view text, std::string_view from, std::string_view to) {
  Converter converter(from, to);
  std::string out;
  if (!converter.ok() || !converter.Convert(text, false, out)) return std::nullopt;
  return out;
}

}  // namespace velmora::help
