#include "engine/ExtractType.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace velmora::engine {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the digit run of text starting at pos.
std::size_t DigitsAt(const std::string& text, std::size_t pos) {
  std::size_t end = pos;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - pos;
}

// The number text starts with, read like a Basic Val: blanks first, then an
// optional sign, digits with an optional decimal point, then an optional
// exponent (E or D) that counts only when digits follow it.
double LeadingNumber(const std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';

  std::string digits;  // the number without its sign, in from_chars form
  std::size_t n = DigitsAt(text, pos);
  digits.append(text, pos, n);
  pos += n;
  if (pos < text.size() && text[pos] == '.') {
    std::size_t f = DigitsAt(text, pos + 1);
    digits += '.';
    digits.append(text, pos + 1, f);
    pos += 1 + f;
    n += f;
  }
  if (n == 0) return 0.0;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
    std::size_t at = pos + 1;
    std::string sign;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) sign = text[at++];
    std::size_t e = DigitsAt(text, at);
    if (e > 0) digits += "e" + sign + text.substr(at, e);
  }

  double value = 0.0;
  // A number too large or too small for a double is outside 1..16 either
  // way; 0 stands for both.
  if (std::from_chars(digits.data(), digits.data() + digits.size(), value).ec != std::errc()) return 0.0;
  return negative ? -value : value;
}

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value) {
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1;
}

}  // namespace

std::int32_t CommandLineExtractType(const std::string& strTypeText) {
  const double type = RoundHalfEven(LeadingNumber(strTypeText));
  if (!(type >= 1 && type <= 16)) return 1;
  return static_cast<std::int32_t>(type);
}

}  // namespace velmora::engine
