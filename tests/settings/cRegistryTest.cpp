#include <gtest/gtest.h>

#include <filesystem>

#include "settings/RegValueCodec.h"
#include "settings/cRegistry.h"
#include "tests/platform/profile/ScopedUserFolders.h"
#include "tests/settings/RecordingRegistry.h"

namespace fs = std::filesystem;
using namespace velmora::platform;
using namespace velmora::settings;

namespace {

using Bytes = std::vector<std::uint8_t>;

class cRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_registry.SetClassKey(HKEY_CURRENT_USER);
    m_registry.SetSectionKey("Software\\Velmora");
  }

  // The stored type and bytes of a value, straight from the registry.
  bool Stored(const std::string& section, const std::string& name, std::uint32_t& type, Bytes& data) {
    HKey key = 0;
    if (m_service.RegOpenKeyEx(HKEY_CURRENT_USER, section, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return false;
    std::uint32_t size = 0;
    bool ok = m_service.RegQueryValueEx(key, name, &type, nullptr, &size) == ERROR_SUCCESS;
    data.assign(size, 0);
    if (ok && size > 0) ok = m_service.RegQueryValueEx(key, name, &type, data.data(), &size) == ERROR_SUCCESS;
    m_service.RegCloseKey(key);
    return ok;
  }

  void Create(const std::string& path) {
    cRegistry registry;
    registry.SetClassKey(HKEY_CURRENT_USER);
    registry.SetSectionKey(path);
    ASSERT_TRUE(registry.CreateKey()) << path;
  }

  bool Exists(const std::string& path) {
    cRegistry registry;
    registry.SetClassKey(HKEY_CURRENT_USER);
    registry.SetSectionKey(path);
    return registry.KeyExists();
  }

  velmora::test::ScopedUserFolders m_folders;
  velmora::test::RecordingRegistry m_service;
  cRegistry m_registry;
};

struct WriteCase {
  const char* name;
  std::int32_t valueType;
  RegVariant written;
  std::uint32_t storedType;
  Bytes storedData;
  RegVariant readBack;
};

class cRegistryWriteTest : public cRegistryTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(cRegistryWriteTest, StoresTypeAndBytesAndReadsBack) {
  const WriteCase& c = GetParam();
  m_registry.SetValueKey("v");
  m_registry.SetValueType(c.valueType);
  m_registry.SetValue(c.written);
  std::uint32_t type = 99;
  Bytes data;
  ASSERT_TRUE(Stored("Software\\Velmora", "v", type, data));
  EXPECT_EQ(type, c.storedType);
  EXPECT_EQ(data, c.storedData);
  m_registry.SetBinary(true);
  m_registry.SetValueType(0);
  EXPECT_EQ(m_registry.value(), c.readBack);
  EXPECT_EQ(m_registry.ValueType(), static_cast<std::int32_t>(c.storedType));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, cRegistryWriteTest,
    ::testing::Values(
        WriteCase{"sz", REG_SZ, std::string("abc"), REG_SZ, {'a', 'b', 'c', 0}, std::string("abc")},
        WriteCase{"empty_sz_has_no_bytes", REG_SZ, std::string(), REG_SZ, {}, std::string()},
        WriteCase{"utf8_sz", REG_SZ, std::string("解压"), REG_SZ, {0xE8, 0xA7, 0xA3, 0xE5, 0x8E, 0x8B, 0}, std::string("解压")},
        WriteCase{"number_as_sz", REG_SZ, std::int32_t{42}, REG_SZ, {'4', '2', 0}, std::string("42")},
        WriteCase{"expand_type_without_percent_is_sz", REG_EXPAND_SZ, std::string("plain"), REG_SZ,
                  {'p', 'l', 'a', 'i', 'n', 0}, std::string("plain")},
        WriteCase{"percent_pair_is_expand_sz", REG_SZ, std::string("%NOT_SET_VAR%"), REG_EXPAND_SZ,
                  {'%', 'N', 'O', 'T', '_', 'S', 'E', 'T', '_', 'V', 'A', 'R', '%', 0}, std::string("%NOT_SET_VAR%")},
        WriteCase{"binary_bytes", REG_BINARY, Bytes{1, 2, 0, 255}, REG_BINARY, {1, 2, 0, 255}, Bytes{1, 2, 0, 255}},
        WriteCase{"binary_number_is_type_0", REG_BINARY, std::string("258"), REG_NONE, {2, 1, 0, 0}, Bytes{2, 1, 0, 0}},
        WriteCase{"dword_number", REG_DWORD, std::int32_t{0x01020304}, REG_DWORD, {4, 3, 2, 1}, std::int32_t{0x01020304}},
        WriteCase{"dword_negative", REG_DWORD, std::int32_t{-1}, REG_DWORD, {255, 255, 255, 255}, std::int32_t{-1}},
        WriteCase{"dword_from_text_rounds_half_even", REG_DWORD, std::string(" 2.5 "), REG_DWORD, {2, 0, 0, 0},
                  std::int32_t{2}},
        WriteCase{"dword_from_text_3_5", REG_DWORD, std::string("3.5"), REG_DWORD, {4, 0, 0, 0}, std::int32_t{4}},
        WriteCase{"big_endian_code_stores_dword", REG_DWORD_BIG_ENDIAN, std::int32_t{7}, REG_DWORD, {7, 0, 0, 0},
                  std::int32_t{7}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  std::int32_t valueType;
  RegVariant written;
};

class cRegistryRefusedWriteTest : public cRegistryTest, public ::testing::WithParamInterface<RefusedCase> {};

// Nothing is written, but the key is created as for every write.
TEST_P(cRegistryRefusedWriteTest, WritesNothing) {
  m_registry.SetValueKey("v");
  m_registry.SetValueType(GetParam().valueType);
  m_registry.SetValue(GetParam().written);
  EXPECT_TRUE(m_registry.KeyExists());
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_FALSE(Stored("Software\\Velmora", "v", type, data));
}

INSTANTIATE_TEST_SUITE_P(Cases, cRegistryRefusedWriteTest,
                         ::testing::Values(RefusedCase{"unknown_type", 6, std::string("x")},
                                           RefusedCase{"multi_sz_type", REG_MULTI_SZ, std::string("x")},
                                           RefusedCase{"dword_from_non_number", REG_DWORD, std::string("12abc")},
                                           RefusedCase{"dword_out_of_range", REG_DWORD, std::string("3000000000")},
                                           RefusedCase{"dword_from_bytes", REG_DWORD, Bytes{1, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PercentCase {
  const char* name;
  const char* text;
  bool expand;
};

class PercentRuleTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentRuleTest, SecondPercentTwoCharactersOn) { EXPECT_EQ(NeedsExpansion(GetParam().text), GetParam().expand); }

INSTANTIATE_TEST_SUITE_P(Cases, PercentRuleTest,
                         ::testing::Values(PercentCase{"none", "plain", false}, PercentCase{"single", "%1", false},
                                           PercentCase{"adjacent_pair", "a%%b", false},
                                           PercentCase{"one_between", "%a%", true},
                                           PercentCase{"command_without_percent_folder", "\"/opt/v/velmora\" /chm=\"%1\"", false},
                                           PercentCase{"command_with_percent_folder", "\"/opt/100%/velmora\" /chm=\"%1\"", true},
                                           PercentCase{"multibyte_between", "%中%", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(cRegistryTest, ReadingExpandableTextExpandsEnvironment) {
  setenv("VELMORA_TEST_FOLDER", "/expanded", 1);
  m_registry.SetValueKey("path");
  m_registry.SetValueType(REG_SZ);
  m_registry.SetValue(std::string("%VELMORA_TEST_FOLDER%/x"));
  EXPECT_EQ(m_registry.value(), RegVariant(std::string("/expanded/x")));
  EXPECT_EQ(m_registry.ValueType(), static_cast<std::int32_t>(REG_EXPAND_SZ));
  unsetenv("VELMORA_TEST_FOLDER");
}

struct ReadCase {
  const char* name;
  std::uint32_t type;
  Bytes data;
  bool binary;
  RegVariant expected;
};

class cRegistryReadTest : public cRegistryTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(cRegistryReadTest, DecodesStoredType) {
  const ReadCase& c = GetParam();
  HKey key = 0;
  ASSERT_EQ(m_service.RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Velmora", KEY_WRITE_INTENT, key), ERROR_SUCCESS);
  ASSERT_EQ(m_service.RegSetValueEx(key, "v", c.type, c.data.data(), static_cast<std::uint32_t>(c.data.size())), 0);
  m_service.RegCloseKey(key);
  m_registry.SetValueKey("v");
  m_registry.SetBinary(c.binary);
  EXPECT_EQ(m_registry.value(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, cRegistryReadTest,
    ::testing::Values(ReadCase{"multi_sz_gives_first_string", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, false, std::string("a")},
                      ReadCase{"sz_cut_at_nul", REG_SZ, {'a', 0, 'b'}, false, std::string("a")},
                      ReadCase{"big_endian_reversed", REG_DWORD_BIG_ENDIAN, {0, 0, 1, 2}, false, std::int32_t{0x0102}},
                      ReadCase{"binary_without_flag_is_number", REG_BINARY, {5, 0, 0, 0, 9}, false, std::int32_t{5}},
                      ReadCase{"binary_with_flag_is_bytes", REG_BINARY, {5, 0, 0, 0, 9}, true, Bytes{5, 0, 0, 0, 9}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(cRegistryTest, UnreadableValueGivesDefault) {
  m_registry.SetDefault(std::string("fallback"));
  m_registry.SetValueKey("missing");
  m_registry.SetValueType(REG_DWORD);
  EXPECT_EQ(m_registry.value(), RegVariant(std::string("fallback")));
  EXPECT_EQ(m_registry.ValueType(), static_cast<std::int32_t>(REG_DWORD));
  Create("Software\\Velmora");
  EXPECT_EQ(m_registry.value(), RegVariant(std::string("fallback")));
}

TEST_F(cRegistryTest, ValueExistsOnlyWithData) {
  m_registry.SetValueType(REG_SZ);
  m_registry.SetValue(HKEY_CURRENT_USER, "Software\\Velmora", "full", std::string("x"));
  m_registry.SetValue(HKEY_CURRENT_USER, "Software\\Velmora", "empty", std::string());
  m_registry.SetValueKey("full");
  EXPECT_TRUE(m_registry.ValueExists());
  m_registry.SetValueKey("empty");
  EXPECT_FALSE(m_registry.ValueExists());
  m_registry.SetValueKey("missing");
  EXPECT_FALSE(m_registry.ValueExists());
}

TEST_F(cRegistryTest, RemoveValueDeletesOneValue) {
  m_registry.SetValueType(REG_SZ);
  m_registry.SetValue(HKEY_CURRENT_USER, "Software\\Velmora", "a", std::string("1"));
  m_registry.SetValue(HKEY_CURRENT_USER, "Software\\Velmora", "b", std::string("2"));
  EXPECT_TRUE(m_registry.RemoveValue(HKEY_CURRENT_USER, "Software\\Velmora", "a"));
  EXPECT_FALSE(m_registry.RemoveValue(HKEY_CURRENT_USER, "Software\\Velmora", "a"));
  std::vector<std::string> names;
  std::int32_t count = -1;
  EXPECT_TRUE(m_registry.EnumerateValues(names, count));
  EXPECT_EQ(names, std::vector<std::string>{"b"});
  EXPECT_EQ(count, 1);
}

TEST_F(cRegistryTest, DeleteKeysRemovesDeepestFirst) {
  for (const char* path : {"T\\a\\x\\deep", "T\\a\\y", "T\\b"}) Create(path);
  m_service.deleteCalls.clear();
  m_registry.DeleteKeys(HKEY_CURRENT_USER, "T");
  EXPECT_EQ(m_service.deleteCalls,
            (std::vector<std::string>{"T\\a\\x\\deep", "T\\a\\x", "T\\a\\y", "T\\a", "T\\b", "T"}));
  EXPECT_FALSE(Exists("T"));
}

TEST_F(cRegistryTest, DeleteKeysOfUnopenableKeyMakesOneAttempt) {
  Create("T\\a");
  m_service.unopenable.insert("T");
  m_service.deleteCalls.clear();
  m_registry.DeleteKeys(HKEY_CURRENT_USER, "T");
  EXPECT_EQ(m_service.deleteCalls, std::vector<std::string>{"T"});
  EXPECT_TRUE(Exists("T\\a"));  // a key with sub-keys cannot be deleted directly
}

TEST_F(cRegistryTest, DeleteKeysGoesOnAfterFailingSubTree) {
  for (const char* path : {"T\\a\\x", "T\\b"}) Create(path);
  m_service.unopenable.insert("T\\a");
  m_registry.DeleteKeys(HKEY_CURRENT_USER, "T");
  EXPECT_TRUE(Exists("T\\a\\x"));
  EXPECT_FALSE(Exists("T\\b"));
  EXPECT_EQ(m_service.deleteCalls.back(), "T");
}

TEST_F(cRegistryTest, DeleteKeysOfMissingKeyOrEmptyPathChangesNothing) {
  Create("Keep");
  m_registry.DeleteKeys(HKEY_CURRENT_USER, "Missing");
  EXPECT_EQ(m_service.deleteCalls, std::vector<std::string>{"Missing"});
  m_registry.DeleteKeys(HKEY_CURRENT_USER, "");
  EXPECT_TRUE(Exists("Keep"));
}

TEST_F(cRegistryTest, DeleteKeyDeletesOnlyLeaves) {
  Create("Software\\Velmora\\child");
  EXPECT_FALSE(m_registry.DeleteKey());
  m_registry.SetSectionKey("Software\\Velmora\\child");
  EXPECT_TRUE(m_registry.DeleteKey());
  EXPECT_FALSE(m_registry.KeyExists());
}

TEST_F(cRegistryTest, EnumerationsFillExactlyCountEntries) {
  for (const char* path : {"E\\b", "E\\a", "E\\c1", "E\\c2", "E\\cx"}) Create(path);
  std::vector<std::string> names{"stale"};
  std::int32_t count = -1;
  ASSERT_TRUE(m_registry.EnumerateSectionsEx(HKEY_CURRENT_USER, "E", names, count));
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c1", "c2", "cx"}));
  EXPECT_EQ(count, 5);

  ASSERT_TRUE(m_registry.EnumerateSectionsPattern("E", "c#", names, count));
  EXPECT_EQ(names, (std::vector<std::string>{"c1", "c2"}));
  EXPECT_EQ(count, 2);

  m_registry.SetSectionKey("E\\a");
  ASSERT_TRUE(m_registry.EnumerateSections(names, count));
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(count, 0);

  ASSERT_TRUE(m_registry.EnumerateSectionsEx(HKEY_CURRENT_USER, "Missing", names, count));
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(count, 0);
}

TEST_F(cRegistryTest, EnumerateValuesSkipsDefaultAndBlankNames) {
  m_registry.SetValueType(REG_SZ);
  for (const char* name : {"", "first", "  ", "second"}) {
    m_registry.SetValue(HKEY_CURRENT_USER, "V", name, std::string("x"));
  }
  std::vector<std::string> names;
  std::int32_t count = 0;
  ASSERT_TRUE(m_registry.EnumerateValuesEx(HKEY_CURRENT_USER, "V", names, count));
  EXPECT_EQ(names, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(count, 2);
  ASSERT_TRUE(m_registry.EnumerateValuesEx(HKEY_CURRENT_USER, "Missing", names, count));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(names.empty());
}

TEST_F(cRegistryTest, SaveKeyAndRestoreKeyThroughFile) {
  m_registry.SetValueType(REG_DWORD);
  m_registry.SetValue(HKEY_CURRENT_USER, "Src\\sub", "n", std::int32_t{5});
  const std::string file = m_folders.Root() + "/src.key";
  ASSERT_TRUE(m_registry.SaveKey("Src", file, HKEY_CURRENT_USER));
  EXPECT_FALSE(m_registry.SaveKey("Src", file, HKEY_CURRENT_USER));  // never overwrites a file

  Create("Dst");
  ASSERT_TRUE(m_registry.RestoreKey("Dst", file, HKEY_CURRENT_USER));
  m_registry.SetSectionKey("Dst\\sub");
  m_registry.SetValueKey("n");
  EXPECT_EQ(m_registry.value(), RegVariant(std::int32_t{5}));
  EXPECT_FALSE(m_registry.RestoreKey("Missing", file, HKEY_CURRENT_USER));
}

TEST_F(cRegistryTest, SaveKeyNeedsThePrivilege) {
  Create("Src");
  m_service.refusePrivileges = true;
  const std::string file = m_folders.Root() + "/src.key";
  EXPECT_FALSE(m_registry.SaveKey("Src", file, HKEY_CURRENT_USER));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(m_registry.RestoreKey("Src", file, HKEY_CURRENT_USER));
}

}  // namespace
