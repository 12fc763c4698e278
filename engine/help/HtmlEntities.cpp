#include "engine/help/HtmlEntities.h"

#include <array>
#include <cstdint>

#include "engine/help/Utf8.h"

namespace velmora::help {

namespace {

// HTML 4's Latin-1 references, U+00A0 to U+00FF in order.
constexpr std::array<std::string_view, 96> kLatin1 = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedReference {
  std::string_view name;
  char32_t c;
};

// The rest of what help pages use.
constexpr std::array<NamedReference, 41> kOthers = {{
    {"amp", '&'},        {"lt", '<'},         {"gt", '>'},         {"quot", '"'},       {"apos", '\''},
    {"ensp", 0x2002},    {"emsp", 0x2003},    {"thinsp", 0x2009},  {"ndash", 0x2013},   {"mdash", 0x2014},
    {"lsquo", 0x2018},   {"rsquo", 0x2019},   {"sbquo", 0x201A},   {"ldquo", 0x201C},   {"rdquo", 0x201D},
    {"bdquo", 0x201E},   {"dagger", 0x2020},  {"Dagger", 0x2021},  {"bull", 0x2022},    {"hellip", 0x2026},
    {"permil", 0x2030},  {"prime", 0x2032},   {"lsaquo", 0x2039},  {"rsaquo", 0x203A},  {"euro", 0x20AC},
    {"trade", 0x2122},   {"larr", 0x2190},    {"uarr", 0x2191},    {"rarr", 0x2192},    {"darr", 0x2193},
    {"harr", 0x2194},    {"rArr", 0x21D2},    {"hArr", 0x21D4},    {"zwnj", 0x200C},    {"OElig", 0x152},
    {"oelig", 0x153},    {"Scaron", 0x160},   {"scaron", 0x161},   {"Yuml", 0x178},     {"Dstrok", 0x110},
    {"dstrok", 0x111},
}};

constexpr std::size_t kLongestName = 8;

bool IsDigit(char c, bool hex) {
  return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

bool DecodeNumber(std::string_view text, std::size_t pos, char32_t& c, std::size_t& length) {
  std::size_t i = pos + 2;  // past "&#"
  const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  const std::size_t digitsStart = i;
  std::uint32_t value = 0;
  bool overflow = false;
  for (; i < text.size() && IsDigit(text[i], hex); ++i) {
    const char d = text[i];
    const std::uint32_t digit = d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10;
    value = value * (hex ? 16 : 10) + digit;
    if (value > 0x10FFFF) overflow = true, value = 0x110000;
  }
  if (i == digitsStart) return false;
  if (i < text.size() && text[i] == ';') ++i;
  length = i - pos;
  c = overflow || value == 0 || (value >= 0xD800 && value <= 0xDFFF) ? kReplacementCharacter : value;
  return true;
}

}  // namespace

bool DecodeCharacterReference(std::string_view text, std::size_t pos, char32_t& c, std::size_t& length) {
  if (pos + 1 < text.size() && text[pos + 1] == '#') return DecodeNumber(text, pos, c, length);
  const std::size_t semicolon = text.substr(pos + 1, kLongestName + 1).find(';');
  if (semicolon == std::string_view::npos || semicolon == 0) return false;
  const std::string_view name = text.substr(pos + 1, semicolon);
  length = semicolon + 2;
  for (std::size_t i = 0; i < kLatin1.size(); ++i) {
    if (kLatin1[i] == name) {
      c = 0xA0 + static_cast<char32_t>(i);
      return true;
    }
  }
  for (const auto& reference : kOthers) {
    if (reference.name == name) {
      c = reference.c;
      return true;
    }
  }
  return false;
}

}  // namespace velmora::help
