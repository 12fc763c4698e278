// The number rule for extract types given as text ("/type=", velmora-cli -t).
#include <gtest/gtest.h>

#include "engine/ExtractType.h"

namespace {

struct TypeCase {
  const char* name;
  const char* text;
  std::int32_t expected;
};

class ExtractTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(ExtractTypeTest, ReadsLeadingNumberRoundsHalfEvenAndFallsBackToEverything) {
  EXPECT_EQ(velmora::engine::CommandLineExtractType(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ExtractTypeTest,
    ::testing::Values(TypeCase{"Empty", "", 1}, TypeCase{"Pictures", "4", 4}, TypeCase{"PagesAndPictures", "12", 12},
                      TypeCase{"Highest", "16", 16}, TypeCase{"AboveSixteen", "17", 1}, TypeCase{"Zero", "0", 1},
                      TypeCase{"Negative", "-4", 1}, TypeCase{"PlusSign", "+8", 8}, TypeCase{"Letters", "abc", 1},
                      TypeCase{"LeadingBlanks", "  8", 8}, TypeCase{"LeadingTab", "\t8", 8},
                      TypeCase{"StopsAtLetter", "4abc", 4}, TypeCase{"StopsAtBlank", "4 /chm=", 4},
                      TypeCase{"BlankInsideNumber", "1 2", 1}, TypeCase{"HalfDownToEven", "2.5", 2},
                      TypeCase{"HalfUpToEven", "3.5", 4}, TypeCase{"FourAndHalf", "4.5", 4},
                      TypeCase{"AboveHalf", "4.51", 5}, TypeCase{"BelowHalf", "4.49", 4},
                      TypeCase{"HalfToZero", "0.5", 1}, TypeCase{"OneAndHalf", "1.5", 2},
                      TypeCase{"SixteenAndHalf", "16.5", 16}, TypeCase{"FifteenAndHalf", "15.5", 16},
                      TypeCase{"RoundsPastSixteen", "16.51", 1}, TypeCase{"TrailingPoint", "4.", 4},
                      TypeCase{"LeadingPoint", ".5e1", 5}, TypeCase{"Exponent", "1e1", 10},
                      TypeCase{"BasicDoubleExponent", "1D1", 10}, TypeCase{"NegativeExponent", "80e-1", 8},
                      TypeCase{"ExponentWithoutDigits", "4e", 4}, TypeCase{"ExponentSignOnly", "4e+x", 4},
                      TypeCase{"Overflow", "1e400", 1}, TypeCase{"Underflow", "1e-400", 1},
                      TypeCase{"TwentyDigits", "99999999999999999999", 1}, TypeCase{"HexIsNotRead", "0x10", 1},
                      TypeCase{"FullWidthDigits", "\xEF\xBC\x94", 1}, TypeCase{"SignAlone", "-", 1},
                      TypeCase{"PointAlone", ".", 1}),
    [](const ::testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.name); });

}  // namespace
