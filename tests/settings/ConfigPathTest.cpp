#include <gtest/gtest.h>

#include <filesystem>

#include "engine/basVelmora.h"
#include "settings/ConfigPath.h"
#include "tests/platform/profile/ScopedUserFolders.h"

using namespace velmora::settings;

namespace {

class ConfigPathTest : public ::testing::Test {
 protected:
  velmora::test::ScopedUserFolders m_folders;
};

TEST_F(ConfigPathTest, WritableProgramFolderHoldsTheFile) {
  EXPECT_EQ(ConfigPathFor(m_folders.Home()), m_folders.Home() + "/Velmora.config");
}

TEST_F(ConfigPathTest, UnusableProgramFolderFallsBackToUserConfig) {
  const std::string fallback = m_folders.ConfigHome() + "/Velmora/Velmora.config";
  EXPECT_EQ(ConfigPathFor(m_folders.Root() + "/missing"), fallback);
  EXPECT_EQ(ConfigPathFor(""), fallback);
  EXPECT_FALSE(std::filesystem::exists(m_folders.ConfigHome()));
}

TEST_F(ConfigPathTest, DefaultUsesTheProgramFolder) {
  EXPECT_EQ(DefaultConfigPath(), ConfigPathFor(velmora::engine::basVelmora::GetAppFolder()));
}

}  // namespace
