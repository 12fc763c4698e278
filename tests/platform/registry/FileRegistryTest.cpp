#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/profile/AtomicFile.h"
#include "platform/registry/FileRegistry.h"
#include "tests/platform/profile/ScopedUserFolders.h"

namespace fs = std::filesystem;
using namespace velmora::platform;

namespace {

class FileRegistryTest : public ::testing::Test {
 protected:
  HKey Create(const std::string& path, std::uint32_t access = KEY_WRITE_INTENT) {
    HKey key = 0;
    EXPECT_EQ(m_registry.RegCreateKeyEx(HKEY_CLASSES_ROOT, path, access, key), ERROR_SUCCESS) << path;
    return key;
  }

  RegResult Open(const std::string& path, std::uint32_t access = KEY_QUERY_VALUE) {
    HKey key = 0;
    const RegResult result = m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, path, access, key);
    if (result == ERROR_SUCCESS) m_registry.RegCloseKey(key);
    return result;
  }

  void Set(HKey key, const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    ASSERT_EQ(m_registry.RegSetValueEx(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())),
              ERROR_SUCCESS);
  }

  std::vector<std::uint8_t> Query(HKey key, const std::string& name, std::uint32_t& type) {
    std::uint32_t size = 0;
    EXPECT_EQ(m_registry.RegQueryValueEx(key, name, &type, nullptr, &size), ERROR_SUCCESS);
    std::vector<std::uint8_t> data(size + 1);
    EXPECT_EQ(m_registry.RegQueryValueEx(key, name, &type, data.data(), &size), ERROR_SUCCESS);
    data.resize(size);
    return data;
  }

  velmora::test::ScopedUserFolders m_folders;
  FileRegistry m_registry;
};

TEST_F(FileRegistryTest, StoreLivesInUserConfigFolderAndReadingCreatesNothing) {
  EXPECT_EQ(m_registry.StorePath(), m_folders.ConfigHome() + "/Velmora/registry.txt");
  EXPECT_EQ(Open("chm.file"), ERROR_FILE_NOT_FOUND);
  std::string name;
  EXPECT_EQ(m_registry.RegEnumKey(HKEY_CLASSES_ROOT, 0, name), ERROR_NO_MORE_ITEMS);
  // Deleting what is not there changes nothing, so nothing is created.
  EXPECT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, "chm.file"), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(fs::exists(m_folders.ConfigHome()));
}

TEST_F(FileRegistryTest, CreateMakesEveryMissingKeyAndOpensExisting) {
  const HKey first = Create("chm.file\\shell\\Velmora");
  EXPECT_EQ(Open("chm.file"), ERROR_SUCCESS);
  EXPECT_EQ(Open("CHM.FILE\\Shell"), ERROR_SUCCESS);
  EXPECT_EQ(Open("chm.file\\shell\\velmora\\"), ERROR_SUCCESS);
  const HKey second = Create("chm.file\\shell\\Velmora");
  EXPECT_NE(first, second);
  EXPECT_EQ(m_registry.RegCloseKey(first), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.RegCloseKey(second), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.RegCloseKey(second), ERROR_INVALID_HANDLE);
}

TEST_F(FileRegistryTest, RootsAreSeparate) {
  HKey key = 0;
  ASSERT_EQ(m_registry.RegCreateKeyEx(HKEY_CURRENT_USER, "Software", KEY_WRITE_INTENT, key), ERROR_SUCCESS);
  EXPECT_EQ(Open("Software"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(m_registry.RegOpenKeyEx(0x80000004u, "", KEY_QUERY_VALUE, key), ERROR_INVALID_HANDLE);
}

struct PathCase {
  const char* name;
  std::string path;
  RegResult expected;
};

class RegistryPathTest : public FileRegistryTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(RegistryPathTest, CreateChecksPath) {
  HKey key = 0;
  EXPECT_EQ(m_registry.RegCreateKeyEx(HKEY_CLASSES_ROOT, GetParam().path, KEY_WRITE_INTENT, key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryPathTest,
                         ::testing::Values(PathCase{"plain", "a\\b", ERROR_SUCCESS},
                                           PathCase{"trailing_backslash", "a\\b\\", ERROR_SUCCESS},
                                           PathCase{"leading_backslash", "\\a", ERROR_BAD_PATHNAME},
                                           PathCase{"empty_name_inside", "a\\\\b", ERROR_BAD_PATHNAME},
                                           PathCase{"name_of_255_bytes", std::string(255, 'n'), ERROR_SUCCESS},
                                           PathCase{"name_of_256_bytes", std::string(256, 'n'), ERROR_INVALID_PARAMETER},
                                           PathCase{"control_character", "a\nb", ERROR_INVALID_PARAMETER}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
  const char* name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
};

class RegistryValueTest : public FileRegistryTest, public ::testing::WithParamInterface<ValueCase> {};

// Every type comes back with exactly its bytes, also from a second registry
// object reading the same store (as another process would).
TEST_P(RegistryValueTest, RoundTripsThroughStore) {
  const ValueCase& c = GetParam();
  const HKey key = Create("values");
  Set(key, "value \"name\"\\\n", c.type, c.data);
  FileRegistry other;
  HKey reopened = 0;
  ASSERT_EQ(other.RegOpenKeyEx(HKEY_CLASSES_ROOT, "values", KEY_QUERY_VALUE, reopened), ERROR_SUCCESS);
  std::uint32_t type = 99;
  std::uint32_t size = 0;
  ASSERT_EQ(other.RegQueryValueEx(reopened, "VALUE \"NAME\"\\\n", &type, nullptr, &size), ERROR_SUCCESS);
  std::vector<std::uint8_t> data(size);
  if (size > 0) {
    ASSERT_EQ(other.RegQueryValueEx(reopened, "value \"name\"\\\n", &type, data.data(), &size), ERROR_SUCCESS);
  }
  EXPECT_EQ(type, c.type);
  EXPECT_EQ(data, c.data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryValueTest,
    ::testing::Values(ValueCase{"sz", REG_SZ, {'a', 'b', 0}}, ValueCase{"empty_sz", REG_SZ, {}},
                      ValueCase{"expand_sz", REG_EXPAND_SZ, {'%', 'H', '%', 0}},
                      ValueCase{"binary", REG_BINARY, {0, 0xFF, 0x0A, 0x5B}},
                      ValueCase{"dword", REG_DWORD, {1, 2, 3, 4}},
                      ValueCase{"dword_big_endian", REG_DWORD_BIG_ENDIAN, {4, 3, 2, 1}},
                      ValueCase{"multi_sz", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}},
                      ValueCase{"none", REG_NONE, {7, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileRegistryTest, QueryWithSmallBufferAsksForMore) {
  const HKey key = Create("k");
  Set(key, "", REG_SZ, {'a', 'b', 'c', 0});
  Set(key, "empty", REG_SZ, {});
  std::uint8_t byte = 0;
  std::uint32_t size = 0;
  std::uint32_t type = 0;
  EXPECT_EQ(m_registry.RegQueryValueEx(key, "", &type, &byte, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(type, REG_SZ);
  size = 0;
  EXPECT_EQ(m_registry.RegQueryValueEx(key, "empty", &type, &byte, &size), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.RegQueryValueEx(key, "missing", &type, &byte, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileRegistryTest, OverwriteKeepsNameSpellingAndOrder) {
  const HKey key = Create("k");
  Set(key, "First", REG_SZ, {'1', 0});
  Set(key, "second", REG_SZ, {'2', 0});
  Set(key, "FIRST", REG_DWORD, {9, 0, 0, 0});
  std::string name;
  std::uint32_t type = 0;
  ASSERT_EQ(m_registry.RegEnumValue(key, 0, name, type), ERROR_SUCCESS);
  EXPECT_EQ(name, "First");
  EXPECT_EQ(type, REG_DWORD);
  ASSERT_EQ(m_registry.RegEnumValue(key, 1, name, type), ERROR_SUCCESS);
  EXPECT_EQ(name, "second");
  EXPECT_EQ(m_registry.RegEnumValue(key, 2, name, type), ERROR_NO_MORE_ITEMS);
}

TEST_F(FileRegistryTest, SubKeysEnumerateSortedIgnoringCase) {
  for (const char* name : {"b", "C", "a"}) m_registry.RegCloseKey(Create(std::string("p\\") + name));
  HKey parent = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "p", KEY_ENUMERATE_SUB_KEYS, parent), ERROR_SUCCESS);
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; m_registry.RegEnumKey(parent, i, name) == ERROR_SUCCESS; ++i) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "C"}));
}

TEST_F(FileRegistryTest, QueryInfoGivesCountsAndLongestNames) {
  const HKey key = Create("info\\child");
  m_registry.RegCloseKey(Create("info\\longer child"));
  HKey info = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "info", KEY_WRITE_INTENT, info), ERROR_SUCCESS);
  Set(info, "name", REG_BINARY, {1, 2, 3});
  Set(info, "longest name", REG_SZ, {0});
  RegKeyInfo result;
  ASSERT_EQ(m_registry.RegQueryInfoKey(info, result), ERROR_SUCCESS);
  EXPECT_EQ(result.subKeys, 2u);
  EXPECT_EQ(result.maxSubKeyLength, 12u);
  EXPECT_EQ(result.values, 2u);
  EXPECT_EQ(result.maxValueNameLength, 12u);
  EXPECT_EQ(result.maxValueLength, 3u);
  m_registry.RegCloseKey(key);
}

TEST_F(FileRegistryTest, HandleChecksItsAccessRights) {
  Create("k");
  HKey queryOnly = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "k", KEY_QUERY_VALUE, queryOnly), ERROR_SUCCESS);
  const std::uint8_t byte = 1;
  std::string name;
  HKey child = 0;
  EXPECT_EQ(m_registry.RegSetValueEx(queryOnly, "v", REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
  EXPECT_EQ(m_registry.RegEnumKey(queryOnly, 0, name), ERROR_ACCESS_DENIED);
  EXPECT_EQ(m_registry.RegCreateKeyEx(queryOnly, "child", KEY_QUERY_VALUE, child), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Open("k\\child"), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileRegistryTest, DeleteOnlyKeysWithoutSubKeys) {
  Create("a\\b\\c");
  EXPECT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, "a\\b"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, "a\\b\\missing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, ""), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, "A\\B\\C"), ERROR_SUCCESS);
  EXPECT_EQ(Open("a\\b\\c"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, "a\\b"), ERROR_SUCCESS);
  EXPECT_EQ(Open("a"), ERROR_SUCCESS);
}

TEST_F(FileRegistryTest, HandleOfDeletedKeyReportsIt) {
  const HKey key = Create("gone");
  ASSERT_EQ(m_registry.RegDeleteKey(HKEY_CLASSES_ROOT, "gone"), ERROR_SUCCESS);
  std::uint32_t size = 0;
  const std::uint8_t byte = 1;
  EXPECT_EQ(m_registry.RegQueryValueEx(key, "", nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(m_registry.RegSetValueEx(key, "", REG_BINARY, &byte, 1), ERROR_KEY_DELETED);
  EXPECT_EQ(Open("gone"), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileRegistryTest, DeleteValue) {
  const HKey key = Create("k");
  Set(key, "v", REG_SZ, {0});
  EXPECT_EQ(m_registry.RegDeleteValue(key, "V"), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.RegDeleteValue(key, "v"), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileRegistryTest, DamagedStoreIsNeverOverwritten) {
  Create("k");
  const std::string damaged = "Velmora registry 1\n[HKEY_CLASSES_ROOT\\k]\nnot a value\n";
  ASSERT_TRUE(WriteFileAtomically(m_registry.StorePath(), damaged));
  EXPECT_EQ(Open("k"), ERROR_BADDB);
  HKey key = 0;
  EXPECT_EQ(m_registry.RegCreateKeyEx(HKEY_CLASSES_ROOT, "other", KEY_WRITE_INTENT, key), ERROR_BADDB);
  EXPECT_EQ(ReadWholeFile(m_registry.StorePath()), damaged);
}

TEST_F(FileRegistryTest, SaveAndRestoreKeyTree) {
  const HKey source = Create("source\\child");
  Set(source, "v", REG_DWORD, {1, 0, 0, 0});
  HKey top = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "source", KEY_WRITE_INTENT, top), ERROR_SUCCESS);
  Set(top, "", REG_SZ, {'t', 0});
  const std::string file = m_folders.Root() + "/saved.key";
  ASSERT_EQ(m_registry.RegSaveKey(top, file), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.RegSaveKey(top, file), ERROR_ALREADY_EXISTS);

  const HKey target = Create("target\\old");
  HKey restored = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "target", KEY_WRITE_INTENT, restored), ERROR_SUCCESS);
  ASSERT_EQ(m_registry.RegRestoreKey(restored, file, REG_FORCE_RESTORE), ERROR_SUCCESS);
  EXPECT_EQ(Open("target\\old"), ERROR_FILE_NOT_FOUND);
  HKey child = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "target\\child", KEY_QUERY_VALUE, child), ERROR_SUCCESS);
  std::uint32_t type = 0;
  EXPECT_EQ(Query(child, "v", type), (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(Query(restored, "", type), (std::vector<std::uint8_t>{'t', 0}));
  m_registry.RegCloseKey(target);
}

TEST_F(FileRegistryTest, RestoreRejectsMissingOrDamagedFile) {
  const HKey key = Create("k");
  const std::string file = m_folders.Root() + "/bad.key";
  EXPECT_EQ(m_registry.RegRestoreKey(key, file, REG_FORCE_RESTORE), ERROR_FILE_NOT_FOUND);
  std::ofstream(file) << "something else\n";
  EXPECT_EQ(m_registry.RegRestoreKey(key, file, REG_FORCE_RESTORE), ERROR_BADDB);
  EXPECT_EQ(Open("k"), ERROR_SUCCESS);
}

TEST_F(FileRegistryTest, KnownPrivilegesOnly) {
  EXPECT_EQ(m_registry.EnablePrivilege("SeBackupPrivilege"), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.EnablePrivilege("serestoreprivilege"), ERROR_SUCCESS);
  EXPECT_EQ(m_registry.EnablePrivilege("SeMadeUpPrivilege"), ERROR_NO_SUCH_PRIVILEGE);
}

// Two processes adding values at the same time: the lock makes every
// read-change-save whole, so no write is lost.
TEST_F(FileRegistryTest, ConcurrentProcessesLoseNoWrite) {
  constexpr int kWrites = 40;
  m_registry.RegCloseKey(Create("shared"));
  std::vector<pid_t> children;
  for (int process = 0; process < 2; ++process) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      FileRegistry registry;
      HKey key = 0;
      int failures = registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "shared", KEY_SET_VALUE, key) != 0;
      for (int i = 0; i < kWrites; ++i) {
        const std::string name = std::to_string(process) + "-" + std::to_string(i);
        failures += registry.RegSetValueEx(key, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(name.c_str()),
                                           static_cast<std::uint32_t>(name.size() + 1)) != 0;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  HKey key = 0;
  ASSERT_EQ(m_registry.RegOpenKeyEx(HKEY_CLASSES_ROOT, "shared", KEY_QUERY_VALUE, key), ERROR_SUCCESS);
  RegKeyInfo info;
  ASSERT_EQ(m_registry.RegQueryInfoKey(key, info), ERROR_SUCCESS);
  EXPECT_EQ(info.values, 2u * kWrites);
}

}  // namespace
