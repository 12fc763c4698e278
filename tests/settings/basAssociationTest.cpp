#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/profile/AtomicFile.h"
#include "settings/DesktopVerb.h"
#include "settings/basAssociation.h"
#include "settings/cRegistry.h"
#include "tests/platform/profile/ScopedUserFolders.h"
#include "tests/settings/RecordingRegistry.h"

namespace fs = std::filesystem;
using namespace velmora::platform;
using namespace velmora::settings;

namespace {

class AssociationTest : public ::testing::Test {
 protected:
  cRegistry At(const std::string& path) {
    cRegistry registry;
    registry.SetClassKey(HKEY_CLASSES_ROOT);
    registry.SetSectionKey(path);
    return registry;
  }

  std::vector<std::string> SubKeys(const std::string& path) {
    std::vector<std::string> names;
    std::int32_t count = 0;
    cRegistry().EnumerateSectionsEx(HKEY_CLASSES_ROOT, path, names, count);
    return names;
  }

  // Names of every value of the key (the default one included) with type.
  std::vector<std::pair<std::string, std::uint32_t>> Values(const std::string& path) {
    std::vector<std::pair<std::string, std::uint32_t>> values;
    HKey key = 0;
    if (m_service.RegOpenKeyEx(HKEY_CLASSES_ROOT, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return values;
    std::string name;
    std::uint32_t type = 0;
    for (std::uint32_t i = 0; m_service.RegEnumValue(key, i, name, type) == ERROR_SUCCESS; ++i) {
      values.emplace_back(name, type);
    }
    m_service.RegCloseKey(key);
    return values;
  }

  RegVariant DefaultValue(const std::string& path) { return At(path).value(); }

  static std::vector<std::string> VerbFiles() {
    return {ServiceMenuPath(), NemoActionPath(), NautilusScriptPath(kContextMenuCaption)};
  }

  void ExpectRegistered() {
    EXPECT_EQ(SubKeys("chm.file"), std::vector<std::string>{"shell"});
    EXPECT_EQ(SubKeys("chm.file\\shell"), std::vector<std::string>{"Velmora"});
    EXPECT_EQ(SubKeys("chm.file\\shell\\Velmora"), std::vector<std::string>{"Command"});
    EXPECT_TRUE(SubKeys("chm.file\\shell\\Velmora\\Command").empty());
    using Values_t = std::vector<std::pair<std::string, std::uint32_t>>;
    EXPECT_EQ(Values("chm.file\\shell\\Velmora"), (Values_t{{"", REG_SZ}}));
    EXPECT_EQ(Values("chm.file\\shell\\Velmora\\Command"), (Values_t{{"", REG_SZ}}));
    EXPECT_EQ(DefaultValue("chm.file\\shell\\Velmora"), RegVariant(std::string("用Velmora解压到当前目录")));
    EXPECT_EQ(DefaultValue("chm.file\\shell\\Velmora\\Command"),
              RegVariant("\"" + GetExePath() + "\" /chm=\"%1\""));
    for (const std::string& path : VerbFiles()) EXPECT_TRUE(fs::exists(path)) << path;
  }

  void ExpectUnregistered() {
    EXPECT_FALSE(At("chm.file\\shell\\Velmora").KeyExists());
    for (const std::string& path : VerbFiles()) EXPECT_FALSE(fs::exists(path)) << path;
  }

  velmora::test::ScopedUserFolders m_folders;
  velmora::test::RecordingRegistry m_service;
};

TEST_F(AssociationTest, RegisterWritesTheTwoValues) {
  EXPECT_FALSE(IsContextMenuRegistered());
  RegisterContextMenu("chm.file", true);
  ExpectRegistered();
  EXPECT_TRUE(IsContextMenuRegistered());
}

TEST_F(AssociationTest, RegisteringTwiceCreatesNoKeysTheSecondTime) {
  RegisterContextMenu("chm.file", true);
  m_service.createCalls.clear();
  RegisterContextMenu("chm.file", true);
  ExpectRegistered();
  // Only the value writes open their keys; CreateKey is not called again.
  EXPECT_EQ(m_service.createCalls,
            (std::vector<std::string>{"chm.file\\shell\\Velmora", "chm.file\\shell\\Velmora\\Command"}));
}

TEST_F(AssociationTest, UnregisterRemovesVerbAndKeepsShellKey) {
  RegisterContextMenu("chm.file", true);
  RegisterContextMenu("chm.file", false);
  ExpectUnregistered();
  EXPECT_TRUE(At("chm.file\\shell").KeyExists());
  EXPECT_FALSE(IsContextMenuRegistered());
}

TEST_F(AssociationTest, UnregisteringWhatIsNotThereCreatesNothing) {
  RegisterContextMenu("chm.file", false);
  ExpectUnregistered();
  EXPECT_FALSE(fs::exists(m_folders.ConfigHome()));
  EXPECT_FALSE(fs::exists(m_folders.DataHome()));
}

// The switch as the main window drives it: the check mark is inverted
// first, then read back and applied.
class SwitchTwiceTest : public AssociationTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SwitchTwiceTest, ClickingTwiceRestoresTheStart) {
  if (GetParam()) RegisterContextMenu("chm.file", true);
  bool checked = IsContextMenuRegistered();
  ASSERT_EQ(checked, GetParam());
  for (int click = 0; click < 2; ++click) {
    checked = !checked;
    ApplyContextMenuSwitch(checked);
    EXPECT_EQ(IsContextMenuRegistered(), checked);
  }
  EXPECT_EQ(checked, GetParam());
  if (GetParam()) {
    ExpectRegistered();
  } else {
    ExpectUnregistered();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SwitchTwiceTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "from_registered" : "from_unregistered"; });

TEST_F(AssociationTest, DesktopFilesCarryTheVerb) {
  RegisterContextMenu("chm.file", true);
  const std::string exec = DesktopExecValue(GetExePath());
  EXPECT_EQ(ReadWholeFile(ServiceMenuPath()),
            "[Desktop Entry]\n"
            "Type=Service\n"
            "MimeType=application/vnd.ms-htmlhelp;application/x-chm;\n"
            "Actions=velmoraExtractHere;\n"
            "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
            "\n"
            "[Desktop Action velmoraExtractHere]\n"
            "Name=用Velmora解压到当前目录\n"
            "Exec=" + exec + "\n");
  EXPECT_EQ(ServiceMenuPath(), m_folders.DataHome() + "/kio/servicemenus/velmora-extract-here.desktop");
  EXPECT_EQ(NemoActionPath(), m_folders.DataHome() + "/nemo/actions/velmora-extract-here.nemo_action");
  EXPECT_EQ(NautilusScriptPath(kContextMenuCaption),
            m_folders.DataHome() + "/nautilus/scripts/用Velmora解压到当前目录");
  // Dolphin and GNOME Files run only executable files.
  for (const std::string& path : {ServiceMenuPath(), NautilusScriptPath(kContextMenuCaption)}) {
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u) << path;
  }
}

// The Nemo action and the GNOME Files script start the program with
// "/chm=" and the file's full path, whatever blanks, quotes or dollars the
// program's path and the file's path hold.
TEST_F(AssociationTest, ShellVerbsPassTheFullPath) {
  const fs::path folder = m_folders.DataHome() + "/bin dir $x 'q'";
  fs::create_directories(folder);
  const std::string fakeProgram = (folder / "velmora").string();
  const std::string record = m_folders.DataHome() + "/args.txt";
  {
    std::ofstream script(fakeProgram);
    script << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << record << "'\n";
  }
  fs::permissions(fakeProgram, fs::perms::owner_all);
  ASSERT_TRUE(WriteDesktopVerb(kContextMenuCaption, fakeProgram));
  const std::string chmFolder = m_folders.DataHome() + "/帮助 文件";
  fs::create_directories(chmFolder);
  // GNOME Files runs the script in the folder shown, with names relative to it.
  const std::string command = "cd '" + chmFolder + "' && '" + NautilusScriptPath(kContextMenuCaption) +
                              "' 'a b.chm' '" + chmFolder + "/$c.chm'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadWholeFile(record), "/chm=" + chmFolder + "/a b.chm\n/chm=" + chmFolder + "/$c.chm\n");
  const std::string action = ReadWholeFile(NemoActionPath()).value_or("");
  std::string quoted;
  for (const char c : fakeProgram) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  EXPECT_NE(action.find("Exec='" + quoted + "' /chm=%F\n"), std::string::npos) << action;
  EXPECT_NE(action.find("Mimetypes=application/vnd.ms-htmlhelp;application/x-chm;\n"), std::string::npos);
  EXPECT_NE(action.find("Quote=double\n"), std::string::npos);
}

TEST_F(AssociationTest, AnEarlierApplicationEntryIsRemoved) {
  const std::string legacy = m_folders.DataHome() + "/applications/velmora-extract-here.desktop";
  fs::create_directories(fs::path(legacy).parent_path());
  std::ofstream(legacy) << "[Desktop Entry]\n";
  RegisterContextMenu("chm.file", true);
  EXPECT_FALSE(fs::exists(legacy));
  std::ofstream(legacy) << "[Desktop Entry]\n";
  RegisterContextMenu("chm.file", false);
  EXPECT_FALSE(fs::exists(legacy));
}

struct ExecCase {
  const char* name;
  const char* path;
  const char* exec;
};

class DesktopExecTest : public ::testing::TestWithParam<ExecCase> {};

TEST_P(DesktopExecTest, QuotesAndEscapesPath) { EXPECT_EQ(DesktopExecValue(GetParam().path), GetParam().exec); }

INSTANTIATE_TEST_SUITE_P(
    Cases, DesktopExecTest,
    ::testing::Values(ExecCase{"plain", "/usr/bin/velmora", "\"/usr/bin/velmora\" /chm=%f"},
                      ExecCase{"blank", "/opt/my app/velmora", "\"/opt/my app/velmora\" /chm=%f"},
                      ExecCase{"percent_doubled", "/opt/100%/velmora", "\"/opt/100%%/velmora\" /chm=%f"},
                      ExecCase{"quote_dollar_backtick", "/o\"$`/v", "\"/o\\\\\"\\\\$\\\\`/v\" /chm=%f"},
                      ExecCase{"backslash", "/o\\v", "\"/o\\\\\\\\v\" /chm=%f"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AssociationTest, CommandFolderWithPercentIsStoredExpandable) {
  for (const auto& [exe, type] : {std::pair<std::string, std::uint32_t>{"/opt/100%/velmora", REG_EXPAND_SZ},
                                  std::pair<std::string, std::uint32_t>{"/opt/v/velmora", REG_SZ}}) {
    cRegistry registry = At("chm.file\\shell\\Velmora\\Command");
    registry.SetValueType(REG_SZ);
    registry.SetValue(ContextMenuCommand(exe));
    EXPECT_EQ(Values("chm.file\\shell\\Velmora\\Command"), (std::vector<std::pair<std::string, std::uint32_t>>{{"", type}}))
        << exe;
  }
}

TEST(ExePath, IsTheRunningExecutable) {
  const std::string path = GetExePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_EQ(fs::path(path).filename(), "test_settings");
  EXPECT_TRUE(fs::is_regular_file(path));
}

struct WindowsCase {
  const char* name;
  const char* folder;
  const char* file;
  const char* expected;
};

class WindowsExePathTest : public ::testing::TestWithParam<WindowsCase> {};

TEST_P(WindowsExePathTest, OneBackslashAndExe) {
  EXPECT_EQ(WindowsExePath(GetParam().folder, GetParam().file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsExePathTest,
    ::testing::Values(WindowsCase{"folder", "C:\\Tools", "Velmora.exe", "C:\\Tools\\Velmora.exe"},
                      WindowsCase{"drive_root", "C:\\", "Velmora.exe", "C:\\Velmora.exe"},
                      WindowsCase{"other_extension", "C:\\Tools", "Velmora.scr", "C:\\Tools\\Velmora.exe"},
                      WindowsCase{"no_extension", "C:\\Tools", "Velmora", "C:\\Tools\\Velmora.exe"},
                      WindowsCase{"dotted_name", "C:\\Tools", "Velmora.v2.EXE", "C:\\Tools\\Velmora.v2.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
