#include "engine/cAppendString.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <stdexcept>

namespace velmora::engine {
namespace {

TEST(cAppendStringTest, NewObjectIsEmpty) {
  cAppendString text;
  EXPECT_EQ(text.value(), "");
  EXPECT_EQ(text.capacity(), 0);
}

TEST(cAppendStringTest, GrowsToTwiceTheNeededLength) {
  cAppendString text;
  text.Append("ab");
  EXPECT_EQ(text.capacity(), 4);
  text.Append("cde");
  EXPECT_EQ(text.capacity(), 10);
  EXPECT_EQ(text.value(), "abcde");
  // Fits: no growth.
  text.Append("fghij");
  EXPECT_EQ(text.capacity(), 10);
  EXPECT_EQ(text.value(), "abcdefghij");
  text.Append("k");
  EXPECT_EQ(text.capacity(), 22);
  EXPECT_EQ(text.value(), "abcdefghijk");
}

TEST(cAppendStringTest, EmptyTextChangesNothing) {
  cAppendString text;
  text.Append("");
  EXPECT_EQ(text.capacity(), 0);
  text.Append("xy");
  text.Append("");
  EXPECT_EQ(text.value(), "xy");
  EXPECT_EQ(text.capacity(), 4);
}

TEST(cAppendStringTest, ClearStartsOver) {
  cAppendString text;
  text.Append("some text");
  text.Clear();
  EXPECT_EQ(text.value(), "");
  EXPECT_EQ(text.capacity(), 0);
  text.Append("new");
  EXPECT_EQ(text.value(), "new");
}

TEST(cAppendStringTest, ManyPiecesKeepTheirOrderAndBytes) {
  cAppendString text;
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    const std::string piece = std::to_string(i) + std::string(1, '\0') + "行\r\n";
    text.Append(piece);
    expected += piece;
  }
  EXPECT_EQ(text.value(), expected);
  EXPECT_EQ(text.length(), static_cast<std::int32_t>(expected.size()));
}

// A gigabyte of address space that is never touched, so the overflow
// checks can be given huge texts without using the memory.
class HugeText {
 public:
  explicit HugeText(std::size_t size) : m_size(size) {
    m_data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  }
  ~HugeText() {
    if (m_data != MAP_FAILED) ::munmap(m_data, m_size);
  }
  bool ok() const { return m_data != MAP_FAILED; }
  std::string_view view() const { return {static_cast<const char*>(m_data), m_size}; }

 private:
  void* m_data;
  std::size_t m_size;
};

TEST(cAppendStringTest, CapacityPast32BitsIsAnError) {
  // 2 * 2^30 does not fit in 32 signed bits.
  HugeText huge(std::size_t{1} << 30);
  ASSERT_TRUE(huge.ok());
  cAppendString text;
  EXPECT_THROW(text.Append(huge.view()), std::length_error);
  EXPECT_EQ(text.capacity(), 0);

  text.Append("x");
  EXPECT_THROW(text.Append(huge.view().substr(1)), std::length_error);
  EXPECT_EQ(text.value(), "x");
}

}  // namespace
}  // namespace velmora::engine
