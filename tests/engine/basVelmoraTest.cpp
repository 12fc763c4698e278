#include "engine/basVelmora.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "TestPaths.h"
#include "engine/ProductInfo.h"
#include "tests/engine/TempFolder.h"

namespace velmora::engine {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

struct TextCase {
  const char* label;
  std::string input;
  std::string expected;
};

std::string CaseName(const testing::TestParamInfo<TextCase>& info) { return info.param.label; }

class GetFileNameTest : public testing::TestWithParam<TextCase> {};

TEST_P(GetFileNameTest, ReturnsLastComponent) {
  EXPECT_EQ(basVelmora::GetFileName(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, GetFileNameTest,
                         testing::Values(TextCase{"ForwardSlashes", "C:/doc/a.chm", "a.chm"},
                                         TextCase{"Backslashes", "C:\\doc\\a.chm", "a.chm"},
                                         TextCase{"MixedSeparators", "/x/y\\z.htm", "z.htm"},
                                         TextCase{"NoSeparator", "a.chm", "a.chm"},
                                         TextCase{"TrailingSeparator", "/doc/", ""},
                                         TextCase{"Empty", "", ""}),
                         CaseName);

class GetFileExtensionTest : public testing::TestWithParam<TextCase> {};

TEST_P(GetFileExtensionTest, ReturnsLowerCasedExtension) {
  EXPECT_EQ(basVelmora::GetFileExtension(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, GetFileExtensionTest,
                         testing::Values(TextCase{"UpperCase", "Index.HTM", "htm"},
                                         TextCase{"LastDotWins", "archive.tar.GZ", "gz"},
                                         TextCase{"NoDot", "README", ""},
                                         TextCase{"LeadingDot", ".htaccess", "htaccess"},
                                         TextCase{"TrailingDot", "name.", ""},
                                         TextCase{"DoesNotStopAtSeparator", "dir.d/file", "d/file"},
                                         TextCase{"NonAsciiKept", "图片.PNG", "png"}),
                         CaseName);

class TrimNullTest : public testing::TestWithParam<TextCase> {};

TEST_P(TrimNullTest, CutsAtFirstNul) { EXPECT_EQ(basVelmora::TrimNull(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Texts, TrimNullTest,
                         testing::Values(TextCase{"NulInMiddle", std::string("ab\0cd", 5), "ab"},
                                         TextCase{"NulFirst", std::string("\0x", 2), ""},
                                         TextCase{"NoNul", "abc", "abc"},
                                         TextCase{"Empty", "", ""}),
                         CaseName);

TEST(basVelmoraTest, GetAppFolderIsTheFolderOfTheRunningProgram) {
  // The test programs are built into the build folder's root.
  EXPECT_EQ(fs::canonical(basVelmora::GetAppFolder()), fs::canonical(VELMORA_BINARY_DIR));
  EXPECT_NE(basVelmora::GetAppFolder().back(), '/');
}

TEST(basVelmoraTest, GetVersionStringHasFourNumbersWithZeroThird) {
  const std::string version = basVelmora::GetVersionString();
  EXPECT_TRUE(std::regex_match(version, std::regex(R"(\d+\.\d+\.0\.\d+)"))) << version;
}

TEST(basVelmoraTest, FileAndFolderTests) {
  TempFolder tmp;
  WriteFile(tmp / "file.txt", "x");
  fs::create_directory(tmp / "folder");

  EXPECT_TRUE(basVelmora::FileExists(tmp / "file.txt"));
  EXPECT_FALSE(basVelmora::FileExists(tmp / "folder"));
  EXPECT_FALSE(basVelmora::FileExists(tmp / "missing.txt"));
  EXPECT_FALSE(basVelmora::FileExists(""));
  // No wildcard expansion: a pattern names nothing.
  EXPECT_FALSE(basVelmora::FileExists(tmp / "*.txt"));

  EXPECT_TRUE(basVelmora::FolderExists(tmp / "folder"));
  EXPECT_TRUE(basVelmora::FolderExists(tmp / "folder/"));
  EXPECT_TRUE(basVelmora::FolderExists(tmp / "folder\\"));
  EXPECT_TRUE(basVelmora::FolderExists("/"));
  EXPECT_FALSE(basVelmora::FolderExists(tmp / "file.txt"));
  EXPECT_FALSE(basVelmora::FolderExists(tmp / "fold*"));
  EXPECT_FALSE(basVelmora::FolderExists(""));
}

TEST(basVelmoraTest, CreateFolderPathStopsAtLastSeparator) {
  TempFolder tmp;
  EXPECT_TRUE(basVelmora::CreateFolderPath(tmp / "x/y/z"));
  EXPECT_TRUE(fs::is_directory(tmp / "x/y"));
  EXPECT_FALSE(fs::exists(tmp / "x/y/z"));

  EXPECT_TRUE(basVelmora::CreateFolderPath(tmp / "x/y/z/"));
  EXPECT_TRUE(fs::is_directory(tmp / "x/y/z"));

  WriteFile(tmp / "blocker", "");
  EXPECT_FALSE(basVelmora::CreateFolderPath(tmp / "blocker/sub/file"));
}

TEST(basVelmoraTest, DeleteFileIfExists) {
  TempFolder tmp;
  WriteFile(tmp / "a.txt", "x");
  basVelmora::DeleteFileIfExists(tmp / "a.txt");
  EXPECT_FALSE(fs::exists(tmp / "a.txt"));
  EXPECT_NO_THROW(basVelmora::DeleteFileIfExists(tmp / "a.txt"));

  // A folder is not a file and stays.
  fs::create_directory(tmp / "dir");
  basVelmora::DeleteFileIfExists(tmp / "dir");
  EXPECT_TRUE(fs::is_directory(tmp / "dir"));

  // Files of /proc cannot be deleted, not even by root.
  EXPECT_THROW(basVelmora::DeleteFileIfExists("/proc/self/status"), fs::filesystem_error);
}

TEST(basVelmoraTest, WriteTextFileReplacesOrAppendsWithCrLf) {
  TempFolder tmp;
  const std::string file = tmp / "list.txt";
  WriteFile(file, "a much longer earlier content");
  basVelmora::WriteTextFile(file, "第一行", false);
  EXPECT_EQ(ReadFile(file), "第一行\r\n");
  basVelmora::WriteTextFile(file, "second", true);
  EXPECT_EQ(ReadFile(file), "第一行\r\nsecond\r\n");

  basVelmora::WriteTextFile(tmp / "new.txt", "created", true);
  EXPECT_EQ(ReadFile(tmp / "new.txt"), "created\r\n");

  EXPECT_THROW(basVelmora::WriteTextFile(tmp / "missing/list.txt", "x", false), std::runtime_error);
  fs::create_directory(tmp / "dir");
  EXPECT_THROW(basVelmora::WriteTextFile(tmp / "dir", "x", true), std::runtime_error);
}

TEST(basVelmoraTest, SaveBytesToFile) {
  TempFolder tmp;
  const std::string file = tmp / "data.bin";
  const std::string bytes("\x00\x01\xff\r\n", 5);

  WriteFile(file, "0123456789");
  EXPECT_TRUE(basVelmora::SaveBytesToFile(file, bytes, true));
  EXPECT_EQ(ReadFile(file), bytes);

  // Without overwrite the longer file keeps its tail.
  WriteFile(file, "0123456789");
  EXPECT_TRUE(basVelmora::SaveBytesToFile(file, bytes, false));
  EXPECT_EQ(ReadFile(file), bytes + "56789");

  EXPECT_TRUE(basVelmora::SaveBytesToFile(tmp / "created.bin", bytes, false));
  EXPECT_EQ(ReadFile(tmp / "created.bin"), bytes);

  EXPECT_FALSE(basVelmora::SaveBytesToFile(tmp / "missing/data.bin", bytes, true));
  fs::create_directory(tmp / "dir");
  EXPECT_FALSE(basVelmora::SaveBytesToFile(tmp / "dir", bytes, true));
}

// Runs the opener script given by VELMORA_OPENER, which records its
// arguments, and waits for them to appear.
class ShellOpenTest : public testing::Test {
 protected:
  void SetUp() override {
    m_record = m_tmp / "args.txt";
    const std::string script = m_tmp / "opener.sh";
    WriteFile(script, "#!/bin/sh\nprintf '%s|' \"$@\" > \"" + m_record + ".part\"\nmv \"" + m_record + ".part\" \"" +
                          m_record + "\"\n");
    ::chmod(script.c_str(), 0755);
    ::setenv("VELMORA_OPENER", script.c_str(), 1);
  }
  void TearDown() override { ::unsetenv("VELMORA_OPENER"); }

  std::string WaitForArguments() {
    for (int i = 0; i < 500 && !fs::exists(m_record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadFile(m_record);
  }

  TempFolder m_tmp;
  std::string m_record;
};

TEST_F(ShellOpenTest, PassesTheTargetAsOneUntouchedArgument) {
  const std::string target = m_tmp / "a b;$(touch pwned) `x` 'q\".htm";
  basVelmora::ShellOpen(target);
  EXPECT_EQ(WaitForArguments(), target + "|");
  EXPECT_FALSE(fs::exists("pwned"));
}

TEST_F(ShellOpenTest, ShowDonatePageOpensTheDonationPage) {
  basVelmora::ShowDonatePage();
  EXPECT_EQ(WaitForArguments(), std::string(kWebsiteAddress) + kDonatePage + "|");
}

}  // namespace
}  // namespace velmora::engine
