#include <gtest/gtest.h>

#include "platform/profile/UserFolders.h"
#include "tests/platform/profile/ScopedUserFolders.h"

using namespace velmora::platform;

namespace {

struct FolderCase {
  const char* name;
  const char* xdgConfig;  // nullptr: unset
  const char* xdgData;
  const char* config;     // expected, below the temporary home ("~")
  const char* data;
};

class UserFoldersTest : public ::testing::TestWithParam<FolderCase> {
 protected:
  velmora::test::ScopedUserFolders m_folders;
};

std::string Expand(const std::string& text, const std::string& home) {
  return text.rfind("~", 0) == 0 ? home + text.substr(1) : text;
}

TEST_P(UserFoldersTest, FollowsXdgRules) {
  const FolderCase& c = GetParam();
  c.xdgConfig ? setenv("XDG_CONFIG_HOME", c.xdgConfig, 1) : unsetenv("XDG_CONFIG_HOME");
  c.xdgData ? setenv("XDG_DATA_HOME", c.xdgData, 1) : unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(UserConfigFolder(), Expand(c.config, m_folders.Home()));
  EXPECT_EQ(UserDataFolder(), Expand(c.data, m_folders.Home()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserFoldersTest,
    ::testing::Values(FolderCase{"unset_uses_home", nullptr, nullptr, "~/.config/Velmora", "~/.local/share"},
                      FolderCase{"absolute_values_used", "/cfg", "/dat", "/cfg/Velmora", "/dat"},
                      FolderCase{"relative_values_ignored", "cfg", "dat", "~/.config/Velmora", "~/.local/share"},
                      FolderCase{"empty_values_ignored", "", "", "~/.config/Velmora", "~/.local/share"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
