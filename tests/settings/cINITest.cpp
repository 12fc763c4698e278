#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/profile/AtomicFile.h"
#include "platform/profile/ProfileApi.h"
#include "settings/cINI.h"
#include "tests/platform/profile/ScopedUserFolders.h"

namespace fs = std::filesystem;
using velmora::settings::cINI;

namespace {

class cINITest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = m_folders.Root() + "/Velmora.config";
    m_ini.SetPath(m_path);
    m_ini.SetSystem(false);
    m_ini.SetSection("Main");
    m_ini.SetKey("key");
  }

  void WriteFile(const std::string& content) { std::ofstream(m_path, std::ios::binary) << content; }
  std::string FileContent() const { return velmora::platform::ReadWholeFile(m_path).value_or("<missing>"); }

  velmora::test::ScopedUserFolders m_folders;
  std::string m_path;
  cINI m_ini;
};

TEST_F(cINITest, MissingFileGivesDefaultAndCreatesNothing) {
  m_ini.SetDefault("x");
  EXPECT_EQ(m_ini.value(), "x");
  EXPECT_EQ(m_ini.INISection(), "x");
  EXPECT_FALSE(fs::exists(m_path));
}

TEST_F(cINITest, MissingKeyWithEmptyDefaultGivesEmpty) {
  WriteFile("[Main]\nother=1\n");
  EXPECT_EQ(m_ini.value(), "");
}

TEST_F(cINITest, WriteCreatesFileAndSectionThenReadsBackIgnoringCase) {
  m_ini.SetValue("value");
  EXPECT_NE(m_ini.LastReturnCode(), 0);
  EXPECT_EQ(FileContent(), "[Main]\nkey=value\n");
  m_ini.SetSection("MAIN");
  m_ini.SetKey("Key");
  EXPECT_EQ(m_ini.value(), "value");
}

TEST_F(cINITest, NulsAreRemovedBeforeWriting) {
  m_ini.SetValue(std::string("a\0b\0c", 5));
  EXPECT_EQ(FileContent(), "[Main]\nkey=abc\n");
  EXPECT_EQ(m_ini.value(), "abc");
}

struct CacheCase {
  const char* name;
  std::int32_t size;
  const char* expected;
};

class cINICacheTest : public cINITest, public ::testing::WithParamInterface<CacheCase> {};

TEST_P(cINICacheTest, CutsToCacheSizeLessOne) {
  WriteFile("[Main]\nkey=abcdefghij\n");
  m_ini.SetCacheSize(GetParam().size);
  EXPECT_EQ(m_ini.value(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, cINICacheTest,
                         ::testing::Values(CacheCase{"size_8", 8, "abcdefg"}, CacheCase{"size_11_fits", 11, "abcdefghij"},
                                           CacheCase{"size_1", 1, ""}, CacheCase{"size_0", 0, ""},
                                           CacheCase{"negative", -5, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(cINITest, INISectionListsKeysWithNuls) {
  WriteFile("[Main]\na=1\nb=2\n[Other]\nc=3\n");
  EXPECT_EQ(m_ini.INISection(), std::string("a\0b\0", 4));
}

TEST_F(cINITest, SettingINISectionRemovesSectionLikeDeleteSection) {
  const std::string content = "[Main]\na=1\n\n[Other]\nc=3\n";
  WriteFile(content);
  m_ini.SetINISection("any text");
  EXPECT_NE(m_ini.LastReturnCode(), 0);
  const std::string afterSet = FileContent();
  EXPECT_EQ(afterSet, "[Other]\nc=3\n");

  WriteFile(content);
  m_ini.DeleteSection();
  EXPECT_EQ(FileContent(), afterSet);
}

TEST_F(cINITest, DeleteValueRemovesOnlyTheKey) {
  WriteFile("[Main]\nkey=1\nother=2\n");
  m_ini.DeleteValue();
  EXPECT_NE(m_ini.LastReturnCode(), 0);
  EXPECT_EQ(FileContent(), "[Main]\nother=2\n");
}

TEST_F(cINITest, FailedWriteShowsInLastReturnCodeAndReadsLeaveIt) {
  m_ini.SetPath(m_folders.Root() + "/missing/Velmora.config");
  m_ini.SetValue("v");
  EXPECT_EQ(m_ini.LastReturnCode(), 0);
  m_ini.SetPath(m_path);
  m_ini.SetValue("v");
  EXPECT_EQ(m_ini.LastReturnCode(), 1);
  m_ini.SetKey("absent");
  m_ini.value();
  m_ini.INISection();
  EXPECT_EQ(m_ini.LastReturnCode(), 1);
}

TEST_F(cINITest, SystemModeUsesUserProfileAndIgnoresPath) {
  m_ini.SetSystem(true);
  m_ini.SetValue("system");
  EXPECT_NE(m_ini.LastReturnCode(), 0);
  EXPECT_FALSE(fs::exists(m_path));
  EXPECT_EQ(velmora::platform::ReadWholeFile(velmora::platform::SystemProfilePath()), "[Main]\nkey=system\n");
  EXPECT_EQ(m_ini.value(), "system");
  m_ini.SetSystem(false);
  m_ini.SetDefault("private");
  EXPECT_EQ(m_ini.value(), "private");
}

}  // namespace
