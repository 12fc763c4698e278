#pragma once
// Conversion between the values cRegistry reads and writes and the typed
// bytes kept in the registry.

#include <cstdint>
#include <string>
#include <vector>

#include "settings/RegVariant.h"

namespace velmora::settings {

// True when text holds a "%" and another "%" stands at least two
// characters after it: such text is stored as REG_EXPAND_SZ.
bool NeedsExpansion(const std::string& text);

// The bytes to store for value written as valueType:
// - REG_SZ, REG_EXPAND_SZ: the text and a NUL (nothing at all for an empty
//   text), stored as REG_EXPAND_SZ exactly when NeedsExpansion, else REG_SZ;
// - REG_BINARY: a byte array as is; anything else as a 32-bit number,
//   4 bytes with type REG_NONE;
// - REG_DWORD, REG_DWORD_BIG_ENDIAN: the number, 4 bytes least significant
//   first, type REG_DWORD.
// Numbers come from texts by conversion and rounding half to even. False
// (nothing to write) for any other type and for a value that is no number
// or does not fit 32 bits.
bool EncodeValue(const RegVariant& value, std::int32_t valueType, std::uint32_t& storedType,
                 std::vector<std::uint8_t>& data);

// The value read from stored bytes: texts cut at their first NUL
// (REG_EXPAND_SZ with environment references expanded), REG_DWORD and
// REG_DWORD_BIG_ENDIAN as numbers, other types as the bytes when binary is
// true, else their first 4 bytes as a number.
RegVariant DecodeValue(std::uint32_t storedType, const std::vector<std::uint8_t>& data, bool binary);

// The 32-bit number in the first 4 bytes, least significant first; missing
// bytes count as 0.
std::int32_t LittleEndianNumber(const std::vector<std::uint8_t>& data);

}  // namespace velmora::settings
