#pragma once
// A string builder for long texts assembled from many pieces: the buffer
// grows to twice the needed length whenever it overflows, so appending
// costs amortised constant time per byte.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velmora::engine {

class cAppendString {
 public:
  // Adds the text; nothing happens for an empty one. Throws
  // std::length_error when the used length or the capacity would pass
  // 2147483647 bytes.
  void Append(std::string_view strText);
  // The text built so far.
  std::string value() const;
  // Back to the state of a new object: nothing used, no buffer.
  void Clear();

  std::int32_t length() const { return m_lngUsed; }
  std::int32_t capacity() const { return m_lngCapacity; }

 private:
  std::int32_t m_lngUsed = 0;
  std::int32_t m_lngCapacity = 0;
  std::unique_ptr<char[]> m_strBuffer;
};

}  // namespace velmora::engine
