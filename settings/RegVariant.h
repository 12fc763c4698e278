#pragma once
// The value a registry entry is read as or written from: nothing, a text,
// a 32-bit number or an array of bytes.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace velmora::settings {

using RegVariant = std::variant<std::monostate, std::string, std::int32_t, std::vector<std::uint8_t>>;

}  // namespace velmora::settings
