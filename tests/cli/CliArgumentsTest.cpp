// Splitting a command's arguments into valued options and positionals.
#include <gtest/gtest.h>

#include "cli/CliArguments.h"

namespace {

using velmora::cli::CliArguments;
using Args = std::vector<std::string>;

TEST(CliArgumentsTest, OptionsMayComeBeforeOrAfterTheFile) {
  CliArguments arguments(Args{"-t", "4", "a.chm", "-o", "out"}, {"-o", "-t"});
  EXPECT_EQ(arguments.error(), "");
  EXPECT_EQ(arguments.positional(), Args{"a.chm"});
  EXPECT_EQ(arguments.value("-o"), "out");
  EXPECT_EQ(arguments.value("-t"), "4");
}

TEST(CliArgumentsTest, AbsentOptionHasNoValue) {
  CliArguments arguments(Args{"a.chm"}, {"-o"});
  EXPECT_FALSE(arguments.value("-o").has_value());
}

TEST(CliArgumentsTest, OptionValueMayLookLikeAnOption) {
  CliArguments arguments(Args{"-o", "-dir", "a.chm"}, {"-o"});
  EXPECT_EQ(arguments.error(), "");
  EXPECT_EQ(arguments.value("-o"), "-dir");
  EXPECT_EQ(arguments.positional(), Args{"a.chm"});
}

TEST(CliArgumentsTest, DoubleDashEndsOptions) {
  CliArguments arguments(Args{"--", "-x.chm", "-o"}, {"-o"});
  EXPECT_EQ(arguments.error(), "");
  EXPECT_EQ(arguments.positional(), (Args{"-x.chm", "-o"}));
}

TEST(CliArgumentsTest, FlagsStandAloneAndMayNotRepeat) {
  CliArguments arguments(Args{"--all", "-o", "--all", "q"}, {"-o"}, {"--all"});
  EXPECT_EQ(arguments.error(), "");
  EXPECT_TRUE(arguments.has("--all"));
  EXPECT_EQ(arguments.value("-o"), "--all");
  EXPECT_EQ(arguments.positional(), Args{"q"});
  EXPECT_EQ(CliArguments(Args{"--all", "--all"}, {}, {"--all"}).error(), "选项 --all 重复");
  EXPECT_FALSE(CliArguments(Args{"q"}, {}, {"--all"}).has("--all"));
}

TEST(CliArgumentsTest, LoneDashIsAPositional) {
  CliArguments arguments(Args{"-"}, {});
  EXPECT_EQ(arguments.positional(), Args{"-"});
}

struct ErrorCase {
  const char* name;
  Args args;
  const char* error;
};

class CliArgumentsErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CliArgumentsErrorTest, NamesWhatIsWrong) {
  CliArguments arguments(GetParam().args, {"-o", "-t"});
  EXPECT_EQ(arguments.error(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliArgumentsErrorTest,
    ::testing::Values(ErrorCase{"UnknownOption", {"a.chm", "-x"}, "未知选项 -x"},
                      ErrorCase{"MissingValue", {"a.chm", "-o"}, "选项 -o 缺少值"},
                      ErrorCase{"GivenTwice", {"-t", "1", "-t", "4"}, "选项 -t 重复"},
                      ErrorCase{"LongHelpIsUnknownHere", {"--help"}, "未知选项 --help"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

}  // namespace
