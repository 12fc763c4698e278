#include "engine/SafeRelativePath.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::engine {
namespace {

struct NameCase {
  const char* label;
  std::string stored;
  std::string expected;
};

class SafeRelativePathTest : public testing::TestWithParam<NameCase> {};

TEST_P(SafeRelativePathTest, MapsStoredName) {
  EXPECT_EQ(SafeRelativePath::Component(GetParam().stored), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeRelativePathTest,
    testing::Values(NameCase{"PlainNameUnchanged", "index.htm", "index.htm"},
                    NameCase{"ChineseUnchanged", "目录.htm", "目录.htm"},
                    NameCase{"SystemNameUnchanged", "#SYSTEM", "#SYSTEM"},
                    NameCase{"ThreeDotsUnchanged", "...", "..."},
                    NameCase{"DotDot", "..", "_.."},
                    NameCase{"Dot", ".", "_."},
                    NameCase{"Empty", "", "_"},
                    NameCase{"LeadingSlash", "/etc/passwd", "_etc_passwd"},
                    NameCase{"ParentTraversal", "../../evil.htm", ".._.._evil.htm"},
                    NameCase{"Backslash", "..\\x", ".._x"},
                    NameCase{"Nul", std::string("a\0b", 3), "a_b"},
                    NameCase{"ControlCharacters", "tab\there\nnew\x7f", "tab_here_new_"},
                    NameCase{"ExactlyMaxLength", std::string(255, 'x'), std::string(255, 'x')}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

bool IsValidUtf8(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

TEST(SafeRelativePathLongNames, ShortenedToLimitKeepingExtension) {
  const std::string name = std::string(300, 'a') + ".htm";
  const std::string mapped = SafeRelativePath::Component(name);
  EXPECT_EQ(mapped.size(), SafeRelativePath::kMaxComponentBytes);
  EXPECT_EQ(mapped.substr(0, 100), std::string(100, 'a'));
  EXPECT_EQ(mapped.substr(mapped.size() - 4), ".htm");
}

TEST(SafeRelativePathLongNames, DifferentLongNamesStayApart) {
  const std::string stem(300, 'a');
  EXPECT_NE(SafeRelativePath::Component(stem + "1.htm"), SafeRelativePath::Component(stem + "2.htm"));
  // Names that differ only in characters replaced by "_" stay apart as well.
  EXPECT_NE(SafeRelativePath::Component(stem + "/x"), SafeRelativePath::Component(stem + "\\x"));
}

TEST(SafeRelativePathLongNames, NeverCutsInsideAUtf8Character) {
  // Every start offset lands the cut on another byte of a 3-byte character.
  for (std::size_t lead = 0; lead < 3; ++lead) {
    std::string name(lead, 'x');
    for (int i = 0; i < 120; ++i) name += "汉";
    const std::string mapped = SafeRelativePath::Component(name);
    EXPECT_LE(mapped.size(), SafeRelativePath::kMaxComponentBytes);
    EXPECT_TRUE(IsValidUtf8(mapped)) << lead;
  }
}

TEST(SafeRelativePathLongNames, LongExtensionIsNotKept) {
  const std::string mapped = SafeRelativePath::Component("a." + std::string(400, 'e'));
  EXPECT_EQ(mapped.size(), SafeRelativePath::kMaxComponentBytes);
  EXPECT_EQ(mapped.find('.'), 1u);  // only the name's own dot, kept in the start
}

}  // namespace
}  // namespace velmora::engine
