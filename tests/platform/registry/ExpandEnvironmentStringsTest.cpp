#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/registry/ExpandEnvironmentStrings.h"

using velmora::platform::ExpandEnvironmentStrings;

namespace {

struct ExpandCase {
  const char* name;
  const char* text;
  const char* expected;
};

class ExpandTest : public ::testing::TestWithParam<ExpandCase> {
 protected:
  void SetUp() override {
    setenv("VELMORA_TEST_A", "alpha", 1);
    unsetenv("VELMORA_TEST_UNSET");
  }
  void TearDown() override { unsetenv("VELMORA_TEST_A"); }
};

TEST_P(ExpandTest, ReplacesSetVariables) {
  EXPECT_EQ(ExpandEnvironmentStrings(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandTest,
    ::testing::Values(ExpandCase{"no_reference", "plain text", "plain text"},
                      ExpandCase{"one_reference", "x%VELMORA_TEST_A%y", "xalphay"},
                      ExpandCase{"two_references", "%VELMORA_TEST_A%%VELMORA_TEST_A%", "alphaalpha"},
                      ExpandCase{"unset_kept", "%VELMORA_TEST_UNSET%", "%VELMORA_TEST_UNSET%"},
                      ExpandCase{"closing_percent_reopens", "%VELMORA_TEST_UNSET%VELMORA_TEST_A%",
                                 "%VELMORA_TEST_UNSETalpha"},
                      ExpandCase{"lone_percent", "100% sure", "100% sure"},
                      ExpandCase{"double_percent", "a%%b", "a%%b"},
                      ExpandCase{"unterminated", "%VELMORA_TEST_A", "%VELMORA_TEST_A"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
