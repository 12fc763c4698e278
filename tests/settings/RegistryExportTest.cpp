#include <gtest/gtest.h>

#include <fstream>

#include "platform/profile/AtomicFile.h"
#include "settings/RegistryExport.h"
#include "settings/cRegistry.h"
#include "tests/platform/profile/ScopedUserFolders.h"
#include "tests/settings/RecordingRegistry.h"

using namespace velmora::platform;
using namespace velmora::settings;

namespace {

using Bytes = std::vector<std::uint8_t>;

class RegistryExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bytes bin;
    for (std::uint8_t i = 0; i < 45; ++i) bin.push_back(i);
    const std::string text = "C:\\dir \"q\"";
    const std::string expand = "%PATH%\\x";
    Put("Exp", "", REG_SZ, Bytes(text.begin(), text.end() + 1));
    Put("Exp", "num", REG_DWORD, {42, 0, 0, 0});
    Put("Exp", "bin", REG_BINARY, bin);
    Put("Exp", "exp", REG_EXPAND_SZ, Bytes(expand.begin(), expand.end() + 1));
    Put("Exp\\Sub", "m", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
    m_registry.SetClassKey(HKEY_CURRENT_USER);
    m_registry.SetSectionKey("Exp");
    m_file = m_folders.Root() + "/export.reg";
  }

  void Put(const std::string& path, const std::string& name, std::uint32_t type, const Bytes& data) {
    HKey key = 0;
    ASSERT_EQ(m_service.RegCreateKeyEx(HKEY_CURRENT_USER, path, KEY_WRITE_INTENT, key), ERROR_SUCCESS);
    ASSERT_EQ(m_service.RegSetValueEx(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())), 0);
    m_service.RegCloseKey(key);
  }

  // The stored type and bytes, or type 99 when the value cannot be read.
  std::pair<std::uint32_t, Bytes> Stored(const std::string& path, const std::string& name) {
    HKey key = 0;
    std::uint32_t type = 99;
    std::uint32_t size = 0;
    if (m_service.RegOpenKeyEx(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return {99, {}};
    if (m_service.RegQueryValueEx(key, name, &type, nullptr, &size) != ERROR_SUCCESS) type = 99;
    Bytes data(size);
    if (size > 0) m_service.RegQueryValueEx(key, name, &type, data.data(), &size);
    m_service.RegCloseKey(key);
    return {type, data};
  }

  std::string Content() const { return ReadWholeFile(m_file).value_or("<missing>"); }

  static constexpr const char* kKeyExport =
      "[HKEY_CURRENT_USER\\Exp]\r\n"
      "\"\"=\"C:\\\\dir \\\"q\\\"\"\r\n"
      "\"num\"=dword:0000002a\r\n"
      "\"bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,\\\r\n"
      "  14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,\\\r\n"
      "  28,29,2a,2b,2c\r\n"
      "\"exp\"=\"%PATH%\\\\x\"\r\n"
      "[HKEY_CURRENT_USER\\Exp\\Sub]\r\n"
      "\"m\"=hex:61,00,62,00,00\r\n";

  velmora::test::ScopedUserFolders m_folders;
  velmora::test::RecordingRegistry m_service;
  cRegistry m_registry;
  std::string m_file;
};

TEST_F(RegistryExportTest, BackupCurrentKeyWritesRegedit4TextByteForByte) {
  ASSERT_TRUE(m_registry.BackupCurrentKey(m_file, false));
  EXPECT_EQ(Content(), std::string("REGEDIT4\r\n\r\n") + kKeyExport);
}

TEST_F(RegistryExportTest, AppendingToExistingFileAddsNoHeader) {
  ASSERT_TRUE(m_registry.BackupCurrentKey(m_file, false));
  m_registry.SetValueKey("num");
  ASSERT_TRUE(m_registry.BackupCurrentValue(m_file, true));
  EXPECT_EQ(Content(), std::string("REGEDIT4\r\n\r\n") + kKeyExport +
                           "[HKEY_CURRENT_USER\\Exp]\r\n\"num\"=dword:0000002a\r\n");
}

TEST_F(RegistryExportTest, AppendingToMissingFileStartsWithHeader) {
  m_registry.SetValueKey("");
  ASSERT_TRUE(m_registry.BackupCurrentValue(m_file, true));
  EXPECT_EQ(Content(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Exp]\r\n\"\"=\"C:\\\\dir \\\"q\\\"\"\r\n");
}

TEST_F(RegistryExportTest, WithoutAppendTheFileIsReplaced) {
  std::ofstream(m_file) << "old content that is longer than the new one, much longer indeed\n";
  m_registry.SetSectionKey("Exp\\Sub");
  ASSERT_TRUE(m_registry.BackupCurrentKey(m_file, false));
  EXPECT_EQ(Content(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Exp\\Sub]\r\n\"m\"=hex:61,00,62,00,00\r\n");
}

TEST_F(RegistryExportTest, FailuresLeaveTheFileAlone) {
  std::ofstream(m_file) << "keep";
  EXPECT_FALSE(m_registry.BackupRegistry(HKEY_CURRENT_USER, "Exp", "", true, "", false));
  EXPECT_FALSE(m_registry.BackupRegistry(HKEY_CURRENT_USER, "Missing", "", true, m_file, false));
  EXPECT_FALSE(m_registry.BackupRegistry(HKEY_CURRENT_USER, "Exp", "missing", false, m_file, false));
  EXPECT_EQ(Content(), "keep");
}

struct LineCase {
  const char* name;
  std::uint32_t type;
  Bytes data;
  const char* expected;
};

class ExportValueLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ExportValueLineTest, FormatsData) {
  EXPECT_EQ(ExportValueLine("v", GetParam().type, GetParam().data), std::string("\"v\"=") + GetParam().expected + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportValueLineTest,
    ::testing::Values(
        LineCase{"empty_text", REG_SZ, {}, "\"\""},
        LineCase{"text_cut_at_nul", REG_SZ, {'a', 0, 'b', 0}, "\"a\""},
        LineCase{"dword_all_bits", REG_DWORD, {255, 255, 255, 255}, "dword:ffffffff"},
        LineCase{"empty_binary", REG_BINARY, {}, "hex:"},
        LineCase{"big_endian_as_bytes", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, "hex:00,00,00,01"},
        LineCase{"type_0_as_bytes", REG_NONE, {0xAB}, "hex:ab"},
        LineCase{"exactly_20_bytes_no_break", REG_BINARY, Bytes(20, 0xFF),
                 "hex:ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff,ff"},
        LineCase{"21_bytes_break_once", REG_BINARY, Bytes(21, 1),
                 "hex:01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,01,\\\r\n  01"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryExportTest, WholeRegistryExportImportsBack) {
  Put("Other", "n", REG_DWORD, {1, 0, 0, 0});
  const std::string file = m_folders.Root() + "/all.reg";
  ASSERT_TRUE(m_registry.BackupWholeRegistry(file));
  const std::string text = ReadWholeFile(file).value_or("");
  EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT]\r\n[HKEY_CURRENT_USER]\r\n", 0), 0u) << text;
  EXPECT_NE(text.find(kKeyExport), std::string::npos);

  m_registry.DeleteKeys(HKEY_CURRENT_USER, "Exp");
  m_registry.DeleteKeys(HKEY_CURRENT_USER, "Other");
  ASSERT_EQ(Stored("Exp", "num").first, 99u);
  ASSERT_TRUE(m_registry.ImportRegistry(file));

  const std::string expected = "C:\\dir \"q\"";
  EXPECT_EQ(Stored("Exp", ""), std::make_pair(REG_SZ, Bytes(expected.begin(), expected.end() + 1)));
  EXPECT_EQ(Stored("Exp", "num"), std::make_pair(REG_DWORD, Bytes{42, 0, 0, 0}));
  EXPECT_EQ(Stored("Exp", "bin").second.size(), 45u);
  EXPECT_EQ(Stored("Exp\\Sub", "m"), std::make_pair(REG_BINARY, Bytes{'a', 0, 'b', 0, 0}));
  EXPECT_EQ(Stored("Other", "n"), std::make_pair(REG_DWORD, Bytes{1, 0, 0, 0}));
}

TEST_F(RegistryExportTest, ImportAppliesEveryKindOfLine) {
  Put("Old\\Child", "x", REG_SZ, {'x', 0});
  Put("Exp", "gone", REG_SZ, {'g', 0});
  const std::string file = m_folders.Root() + "/in.reg";
  std::ofstream(file, std::ios::binary) << "Windows Registry Editor Version 5.00\r\n"
                                           "\r\n"
                                           "; a comment\r\n"
                                           "[-HKEY_CURRENT_USER\\Old]\r\n"
                                           "[HKEY_CURRENT_USER\\Exp]\r\n"
                                           "@=\"default\"\r\n"
                                           "\"gone\"=-\r\n"
                                           "\"e\"=hex(2):25,00\r\n"
                                           "\"d\"=dword:FFFFFFFE\r\n"
                                           "\"long\"=hex:01,02,\\\r\n"
                                           "  03\r\n";
  ASSERT_TRUE(m_registry.ImportRegistry(file));
  EXPECT_EQ(Stored("Old", "").first, 99u);
  EXPECT_EQ(Stored("Exp", ""), std::make_pair(REG_SZ, Bytes{'d', 'e', 'f', 'a', 'u', 'l', 't', 0}));
  EXPECT_EQ(Stored("Exp", "gone").first, 99u);
  EXPECT_EQ(Stored("Exp", "e"), std::make_pair(REG_EXPAND_SZ, Bytes{'%', 0}));
  EXPECT_EQ(Stored("Exp", "d"), std::make_pair(REG_DWORD, Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Stored("Exp", "long"), std::make_pair(REG_BINARY, Bytes{1, 2, 3}));
}

struct BadImportCase {
  const char* name;
  const char* text;
};

class BadImportTest : public RegistryExportTest, public ::testing::WithParamInterface<BadImportCase> {};

TEST_P(BadImportTest, StopsAtTheBadLine) {
  const std::string file = m_folders.Root() + "/bad.reg";
  std::ofstream(file, std::ios::binary) << GetParam().text;
  EXPECT_FALSE(m_registry.ImportRegistry(file));
  EXPECT_EQ(Stored("New", "v").first, 99u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadImportTest,
    ::testing::Values(BadImportCase{"no_header", "[HKEY_CURRENT_USER\\New]\n\"v\"=\"x\"\n"},
                      BadImportCase{"unknown_root", "REGEDIT4\n[HKEY_NOWHERE\\New]\n\"v\"=\"x\"\n"},
                      BadImportCase{"value_before_key", "REGEDIT4\n\"v\"=\"x\"\n[HKEY_CURRENT_USER\\New]\n"},
                      BadImportCase{"bad_hex", "REGEDIT4\n[HKEY_CURRENT_USER\\New]\n\"w\"=hex:zz\n\"v\"=\"x\"\n"},
                      BadImportCase{"bad_dword", "REGEDIT4\n[HKEY_CURRENT_USER\\New]\n\"w\"=dword:123456789\n\"v\"=\"x\"\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryExportTest, ImportOfMissingFileFails) { EXPECT_FALSE(m_registry.ImportRegistry(m_file)); }

}  // namespace
