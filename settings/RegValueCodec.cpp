#include "settings/RegValueCodec.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/registry/ExpandEnvironmentStrings.h"
#include "platform/registry/RegistryTypes.h"

namespace velmora::settings {

namespace {

using namespace platform;

std::string TextOf(const RegVariant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
  if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) return std::string(bytes->begin(), bytes->end());
  return {};
}

std::optional<std::int32_t> NumberOf(const RegVariant& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
  if (std::holds_alternative<std::monostate>(value)) return 0;
  const auto* text = std::get_if<std::string>(&value);
  if (text == nullptr) return std::nullopt;
  const auto first = text->find_first_not_of(" \t");
  const auto last = text->find_last_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const std::string digits = text->substr(first, last - first + 1);
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(digits.c_str(), &end);
  if (end != digits.c_str() + digits.size() || errno == ERANGE || !std::isfinite(parsed)) return std::nullopt;
  const double rounded = std::nearbyint(parsed);  // default rounding: half to even
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}

std::vector<std::uint8_t> FourBytes(std::int32_t number) {
  const auto bits = static_cast<std::uint32_t>(number);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits >> 16),
          static_cast<std::uint8_t>(bits >> 24)};
}

std::string TextBeforeNul(const std::vector<std::uint8_t>& data) {
  std::string text(data.begin(), data.end());
  const auto nul = text.find('\0');
  return nul == std::string::npos ? text : text.substr(0, nul);
}

}  // namespace

bool NeedsExpansion(const std::string& text) {
  const auto first = text.find('%');
  return first != std::string::npos && text.find('%', first + 2) != std::string::npos;
}

bool EncodeValue(const RegVariant& value, std::int32_t valueType, std::uint32_t& storedType,
                 std::vector<std::uint8_t>& data) {
  switch (valueType) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      const std::string text = TextOf(value);
      storedType = NeedsExpansion(text) ? REG_EXPAND_SZ : REG_SZ;
      data.assign(text.begin(), text.end());
      if (!text.empty()) data.push_back(0);
      return true;
    }
    case REG_BINARY: {
      if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        storedType = REG_BINARY;
        data = *bytes;
        return true;
      }
      const auto number = NumberOf(value);
      if (!number) return false;
      storedType = REG_NONE;
      data = FourBytes(*number);
      return true;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
      const auto number = NumberOf(value);
      if (!number) return false;
      storedType = REG_DWORD;
      data = FourBytes(*number);
      return true;
    }
    default:
      return false;
  }
}

std::int32_t LittleEndianNumber(const std::vector<std::uint8_t>& data) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) bits |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  return static_cast<std::int32_t>(bits);
}

RegVariant DecodeValue(std::uint32_t storedType, const std::vector<std::uint8_t>& data, bool binary) {
  switch (storedType) {
    case REG_SZ:
    case REG_MULTI_SZ:
      return TextBeforeNul(data);
    case REG_EXPAND_SZ:
      return ExpandEnvironmentStrings(TextBeforeNul(data));
    case REG_DWORD:
      return LittleEndianNumber(data);
    case REG_DWORD_BIG_ENDIAN: {
      std::vector<std::uint8_t> reversed(4, 0);
      for (std::size_t i = 0; i < 4 && i < data.size(); ++i) reversed[3 - i] = data[i];
      return LittleEndianNumber(reversed);
    }
    default:
      if (binary) return data;
      return LittleEndianNumber(data);
  }
}

}  // namespace velmora::settings
