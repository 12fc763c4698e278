#include "engine/cAppendString.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace velmora::engine {

namespace {
constexpr const char* kTooLong = "cAppendString: text longer than 2147483647 bytes";
}  // namespace

void cAppendString::Append(std::string_view strText) {
  if (strText.empty()) return;
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (strText.size() > static_cast<std::size_t>(kMax)) throw std::length_error(kTooLong);
  const std::int64_t needed = static_cast<std::int64_t>(m_lngUsed) + static_cast<std::int64_t>(strText.size());
  if (needed > m_lngCapacity) {
    const std::int64_t capacity = 2 * needed;
    if (capacity > kMax) throw std::length_error(kTooLong);
    // Left uninitialised: only the used part is ever read.
    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(capacity)]);
    if (m_lngUsed > 0) std::memcpy(buffer.get(), m_strBuffer.get(), static_cast<std::size_t>(m_lngUsed));
    m_strBuffer = std::move(buffer);
    m_lngCapacity = static_cast<std::int32_t>(capacity);
  }
  std::memcpy(m_strBuffer.get() + m_lngUsed, strText.data(), strText.size());
  m_lngUsed = static_cast<std::int32_t>(needed);
}

std::string cAppendString::value() const {
  return m_lngUsed == 0 ? std::string() : std::string(m_strBuffer.get(), static_cast<std::size_t>(m_lngUsed));
}

void cAppendString::Clear() {
  m_lngUsed = 0;
  m_lngCapacity = 0;
  m_strBuffer.reset();
}

}  // namespace velmora::engine
