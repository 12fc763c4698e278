#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/profile/AtomicFile.h"
#include "platform/profile/ProfileApi.h"
#include "tests/platform/profile/ScopedUserFolders.h"

namespace fs = std::filesystem;
using namespace velmora::platform;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return m_folders.Root() + "/" + name; }

  std::string Write(const std::string& content, const std::string& name = "test.ini") const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  static std::string Content(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }

  // The buffer's first `returned` bytes, as GetPrivateProfileString left them.
  static std::string Read(const char* section, const char* key, const char* fallback, std::uint32_t size,
                          const std::string& path) {
    std::string buffer(size, ' ');
    const auto returned = GetPrivateProfileString(section, key, fallback, buffer.data(), size, path);
    EXPECT_LT(returned, size);
    EXPECT_EQ(buffer[returned], '\0');
    return buffer.substr(0, returned);
  }

  velmora::test::ScopedUserFolders m_folders;
};

struct ReadCase {
  const char* name;
  const char* content;
  const char* section;
  const char* key;
  const char* fallback;
  std::uint32_t size;
  std::string expected;
};

class ProfileReadTest : public ProfileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, ReturnsValueOrDefault) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(Read(c.section, c.key, c.fallback, c.size, Write(c.content)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReadTest,
    ::testing::Values(
        ReadCase{"exact", "[Main]\nkey=value\n", "Main", "key", "x", 1024, "value"},
        ReadCase{"section_case_ignored", "[Main]\nkey=value\n", "mAIN", "key", "x", 1024, "value"},
        ReadCase{"key_case_ignored", "[Main]\nKey=value\n", "Main", "KEY", "x", 1024, "value"},
        ReadCase{"blanks_around_key_and_value", "[ Main ]\n  key  =  two words  \n", "Main", "key", "x", 1024,
                 "two words"},
        ReadCase{"double_quotes_removed", "[Main]\nkey=\" padded \"\n", "Main", "key", "x", 1024, " padded "},
        ReadCase{"single_quotes_removed", "[Main]\nkey='v'\n", "Main", "key", "x", 1024, "v"},
        ReadCase{"unmatched_quote_kept", "[Main]\nkey=\"v\n", "Main", "key", "x", 1024, "\"v"},
        ReadCase{"missing_key_gives_default", "[Main]\nkey=value\n", "Main", "other", "x", 1024, "x"},
        ReadCase{"missing_section_gives_default", "[Main]\nkey=value\n", "Other", "key", "x", 1024, "x"},
        ReadCase{"key_of_other_section_not_seen", "[A]\nkey=1\n[B]\nother=2\n", "B", "key", "x", 1024, "x"},
        ReadCase{"null_default_is_empty", "[Main]\n", "Main", "key", nullptr, 1024, ""},
        ReadCase{"trailing_blanks_of_default_dropped", "", "Main", "key", "x  ", 1024, "x"},
        ReadCase{"cache_size_8_cuts_to_7", "[Main]\nkey=abcdefghij\n", "Main", "key", "", 8, "abcdefg"},
        ReadCase{"default_cut_too", "", "Main", "key", "abcdefghij", 4, "abc"},
        ReadCase{"cut_not_inside_utf8_character", "[Main]\nkey=a\xE4\xB8\xAD\n", "Main", "key", "", 3, "a"},
        ReadCase{"utf8_names_and_values", "[设置]\n路径=目录\n", "设置", "路径", "", 1024, "目录"},
        ReadCase{"crlf_lines", "[Main]\r\nkey=value\r\n", "Main", "key", "x", 1024, "value"},
        ReadCase{"comment_line_ignored", "[Main]\n;key=hidden\n", "Main", "key", "x", 1024, "x"},
        ReadCase{"first_of_duplicate_keys", "[Main]\nkey=1\nkey=2\n", "Main", "key", "x", 1024, "1"},
        ReadCase{"duplicate_sections_read_as_one", "[Main]\na=1\n[Other]\n[main]\nb=2\n", "Main", "b", "x", 1024,
                 "2"},
        ReadCase{"byte_order_mark_skipped", "\xEF\xBB\xBF[Main]\nkey=value\n", "Main", "key", "x", 1024, "value"},
        ReadCase{"empty_value", "[Main]\nkey=\n", "Main", "key", "x", 1024, ""},
        ReadCase{"key_list", "[Main]\na=1\n; note\nb=2\n", "Main", nullptr, "", 1024, std::string("a\0b\0", 4)},
        ReadCase{"key_list_of_empty_section_gives_default", "[Main]\n", "Main", nullptr, "x", 1024, "x"},
        ReadCase{"section_list", "[A]\n[b]\n[a]\n", nullptr, nullptr, "", 1024, std::string("A\0b\0", 4)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, KeyListHoldsNulSeparators) {
  const std::string path = Write("[Main]\na=1\nb=2\n");
  std::string buffer(1024, ' ');
  ASSERT_EQ(GetPrivateProfileString("Main", nullptr, "", buffer.data(), 1024, path), 4u);
  EXPECT_EQ(buffer.substr(0, 5), std::string("a\0b\0\0", 5));
}

TEST_F(ProfileTest, KeyListTooLongEndsWithTwoNuls) {
  const std::string path = Write("[Main]\nalpha=1\nbeta=2\n");
  std::string buffer(8, ' ');
  ASSERT_EQ(GetPrivateProfileString("Main", nullptr, "", buffer.data(), 8, path), 6u);
  EXPECT_EQ(buffer, std::string("alpha\0\0\0", 8));
}

TEST_F(ProfileTest, MissingFileGivesDefaultAndCreatesNothing) {
  const std::string path = PathOf("absent/none.ini");
  EXPECT_EQ(Read("Main", "key", "x", 1024, path), "x");
  EXPECT_EQ(Read("Main", nullptr, "x", 1024, path), "x");
  EXPECT_FALSE(fs::exists(PathOf("absent")));
}

TEST_F(ProfileTest, NullBufferOrZeroSizeGivesZero) {
  const std::string path = Write("[Main]\nkey=value\n");
  char byte = 'q';
  EXPECT_EQ(GetPrivateProfileString("Main", "key", "", nullptr, 10, path), 0u);
  EXPECT_EQ(GetPrivateProfileString("Main", "key", "", &byte, 0, path), 0u);
  EXPECT_EQ(byte, 'q');
}

struct WriteCase {
  const char* name;
  const char* before;  // nullptr: no file
  const char* section;
  const char* key;
  const char* text;
  const char* after;   // nullptr: no file afterwards
};

class ProfileWriteTest : public ProfileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyWhatItConcerns) {
  const WriteCase& c = GetParam();
  const std::string path = c.before ? Write(c.before) : PathOf("test.ini");
  EXPECT_TRUE(WritePrivateProfileString(c.section, c.key, c.text, path));
  if (c.after == nullptr) {
    EXPECT_FALSE(fs::exists(path));
  } else {
    EXPECT_EQ(Content(path), c.after);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"creates_file_and_section", nullptr, "Main", "key", "value", "[Main]\nkey=value\n"},
        WriteCase{"adds_section_after_blank_line", "[A]\na=1\n", "B", "b", "2", "[A]\na=1\n\n[B]\nb=2\n"},
        WriteCase{"replaces_value_keeping_key_spelling", "[Main]\nKey = old\nz=1\n", "MAIN", "key", "new",
                  "[Main]\nKey=new\nz=1\n"},
        WriteCase{"adds_key_before_blank_separator", "[A]\na=1\n\n[B]\nb=2\n", "A", "c", "3",
                  "[A]\na=1\nc=3\n\n[B]\nb=2\n"},
        WriteCase{"keeps_comments_crlf_and_bom", "\xEF\xBB\xBF; top\r\n[A]\r\na=1\r\n", "A", "a", "2",
                  "\xEF\xBB\xBF; top\r\n[A]\r\na=2\r\n"},
        WriteCase{"empty_text_is_a_value", "[A]\na=1\n", "A", "a", "", "[A]\na=\n"},
        WriteCase{"null_text_deletes_key", "[A]\na=1\nb=2\n", "a", "A", nullptr, "[A]\nb=2\n"},
        WriteCase{"null_key_deletes_section", "[A]\na=1\n\n[B]\nb=2\n[a]\nc=3\n", "A", nullptr, "ignored",
                  "[B]\nb=2\n"},
        WriteCase{"deleting_absent_key_creates_nothing", nullptr, "A", "a", nullptr, nullptr},
        WriteCase{"deleting_absent_section_creates_nothing", nullptr, "A", nullptr, nullptr, nullptr},
        WriteCase{"deleting_absent_key_leaves_file", "[A]\n a = 1 \n", "A", "b", nullptr, "[A]\n a = 1 \n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  const char* section;
  const char* key;
  const char* text;
};

class ProfileRefusedWriteTest : public ProfileTest, public ::testing::WithParamInterface<RefusedCase> {};

// Text that would change the file's structure is refused rather than
// written as stray keys or sections.
TEST_P(ProfileRefusedWriteTest, FailsAndLeavesFile) {
  const RefusedCase& c = GetParam();
  const std::string path = Write("[A]\na=1\n");
  EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.text, path));
  EXPECT_EQ(Content(path), "[A]\na=1\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRefusedWriteTest,
                         ::testing::Values(RefusedCase{"null_section", nullptr, "a", "v"},
                                           RefusedCase{"line_break_in_text", "A", "a", "1\nb=2"},
                                           RefusedCase{"line_break_in_key", "A", "a\r", "v"},
                                           RefusedCase{"equals_in_key", "A", "b=c", "v"},
                                           RefusedCase{"bracket_in_section", "A]x", "a", "v"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(WritePrivateProfileString("A", "a", "1", PathOf("absent/test.ini")));
  EXPECT_FALSE(fs::exists(PathOf("absent")));
}

TEST_F(ProfileTest, WriteReplacesFileAtomically) {
  const std::string path = Write("[A]\na=1\n");
  chmod(path.c_str(), 0640);
  // A reader that opened the old file keeps seeing it whole: the new content
  // arrives as a different file renamed over the name.
  std::ifstream reader(path, std::ios::binary);
  struct stat before {};
  stat(path.c_str(), &before);

  ASSERT_TRUE(WritePrivateProfileString("A", "a", "2", path));

  struct stat after {};
  stat(path.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);
  EXPECT_EQ(after.st_mode & 0777, 0640u);
  std::string old((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
  EXPECT_EQ(old, "[A]\na=1\n");
  EXPECT_EQ(Content(path), "[A]\na=2\n");
  for (const auto& entry : fs::directory_iterator(m_folders.Root())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos) << entry.path();
  }
}

TEST_F(ProfileTest, WriteThroughSymlinkReplacesTarget) {
  const std::string target = Write("[A]\na=1\n", "target.ini");
  const std::string link = PathOf("link.ini");
  fs::create_symlink(target, link);
  ASSERT_TRUE(WritePrivateProfileString("A", "a", "2", link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Content(target), "[A]\na=2\n");
}

TEST_F(ProfileTest, SystemProfileLivesInUserConfigFolder) {
  EXPECT_EQ(SystemProfilePath(), m_folders.ConfigHome() + "/Velmora/win.ini");
  std::string buffer(64, ' ');
  EXPECT_EQ(GetProfileString("Main", "key", "x", buffer.data(), 64), 1u);
  EXPECT_FALSE(fs::exists(m_folders.ConfigHome()));

  ASSERT_TRUE(WriteProfileString("Main", "key", "value"));
  EXPECT_EQ(Content(SystemProfilePath()), "[Main]\nkey=value\n");
  EXPECT_EQ(GetProfileString("main", "KEY", "x", buffer.data(), 64), 5u);
  EXPECT_EQ(buffer.substr(0, 5), "value");
}

}  // namespace
