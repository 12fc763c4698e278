#include "platform/registry/FileRegistry.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/profile/AtomicFile.h"
#include "platform/profile/UserFolders.h"
#include "platform/registry/RegistryLock.h"

namespace velmora::platform {

namespace {

constexpr const char* kPrivilegeNames[] = {
    "SeAssignPrimaryTokenPrivilege", "SeAuditPrivilege", "SeBackupPrivilege", "SeChangeNotifyPrivilege",
    "SeCreateGlobalPrivilege", "SeCreatePagefilePrivilege", "SeCreatePermanentPrivilege",
    "SeCreateSymbolicLinkPrivilege", "SeCreateTokenPrivilege", "SeDebugPrivilege",
    "SeDelegateSessionUserImpersonatePrivilege", "SeEnableDelegationPrivilege", "SeImpersonatePrivilege",
    "SeIncreaseBasePriorityPrivilege", "SeIncreaseQuotaPrivilege", "SeIncreaseWorkingSetPrivilege",
    "SeLoadDriverPrivilege", "SeLockMemoryPrivilege", "SeMachineAccountPrivilege", "SeManageVolumePrivilege",
    "SeProfileSingleProcessPrivilege", "SeRelabelPrivilege", "SeRemoteShutdownPrivilege", "SeRestorePrivilege",
    "SeSecurityPrivilege", "SeShutdownPrivilege", "SeSyncAgentPrivilege", "SeSystemEnvironmentPrivilege",
    "SeSystemProfilePrivilege", "SeSystemtimePrivilege", "SeTakeOwnershipPrivilege", "SeTcbPrivilege",
    "SeTimeZonePrivilege", "SeTrustedCredManAccessPrivilege", "SeUndockPrivilege",
    "SeUnsolicitedInputPrivilege"};

std::vector<std::string> Joined(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> names = a;
  names.insert(names.end(), b.begin(), b.end());
  return names;
}

std::uint32_t Length(std::size_t size) { return static_cast<std::uint32_t>(size); }

}  // namespace

FileRegistry::FileRegistry(std::string folder) : m_folder(std::move(folder)) {}

std::string FileRegistry::StorePath() const {
  return (m_folder.empty() ? UserConfigFolder() : m_folder) + "/registry.txt";
}

std::string FileRegistry::LockPath() const {
  return (m_folder.empty() ? UserConfigFolder() : m_folder) + "/registry.lock";
}

RegResult FileRegistry::Locate(HKey key, const std::string& subKey, std::uint32_t needed, Location& where) {
  if (const RegResult split = RegistryKey::SplitPath(subKey, where.sub); split != ERROR_SUCCESS) return split;
  if (RegistryTree::IsRoot(key)) {
    where.root = key;
    return ERROR_SUCCESS;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  const auto it = m_handles.find(key);
  if (it == m_handles.end()) return ERROR_INVALID_HANDLE;
  if ((it->second.access & needed) != needed) return ERROR_ACCESS_DENIED;
  where.root = it->second.root;
  where.base = it->second.names;
  where.fromHandle = true;
  return ERROR_SUCCESS;
}

RegResult FileRegistry::Resolve(RegistryTree& tree, const Location& where, RegistryKey*& found) {
  found = tree.Find(where.root, where.base);
  if (found == nullptr) return where.fromHandle ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
  for (const auto& name : where.sub) {
    found = found->FindSubKey(name);
    if (found == nullptr) return ERROR_FILE_NOT_FOUND;
  }
  return ERROR_SUCCESS;
}

RegResult FileRegistry::Load(RegistryTree& tree) const {
  const std::string path = StorePath();
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    tree = RegistryTree();
    return ERROR_SUCCESS;
  }
  const auto text = ReadWholeFile(path);
  if (!text) return ERROR_BADDB;
  auto parsed = RegistryTree::Parse(*text);
  if (!parsed) return ERROR_BADDB;
  tree = std::move(*parsed);
  return ERROR_SUCCESS;
}

template <typename Change>
RegResult FileRegistry::Modify(Change&& change) {
  // Without a store, a change that changes nothing (deleting what is not
  // there) is answered without creating the folder or the lock file.
  std::error_code error;
  if (!std::filesystem::exists(StorePath(), error)) {
    RegistryTree empty;
    bool modified = false;
    const RegResult result = change(empty, modified);
    if (!modified) return result;
  }
  RegistryLock lock(LockPath());
  if (!lock.Held()) return ERROR_LOCK_FAILED;
  RegistryTree tree;
  if (const RegResult loaded = Load(tree); loaded != ERROR_SUCCESS) return loaded;
  bool modified = false;
  const RegResult result = change(tree, modified);
  if (result == ERROR_SUCCESS && modified && !WriteFileAtomically(StorePath(), tree.Serialize())) {
    return ERROR_WRITE_FAULT;
  }
  return result;
}

template <typename Read>
RegResult FileRegistry::Inspect(const Location& where, Read&& read) const {
  RegistryTree tree;
  if (const RegResult loaded = Load(tree); loaded != ERROR_SUCCESS) return loaded;
  RegistryKey* key = nullptr;
  if (const RegResult found = Resolve(tree, where, key); found != ERROR_SUCCESS) return found;
  return read(static_cast<const RegistryKey&>(*key));
}

HKey FileRegistry::AddHandle(const Location& where, std::uint32_t access) {
  std::lock_guard<std::mutex> guard(m_mutex);
  const HKey handle = m_next++;
  m_handles[handle] = Handle{where.root, Joined(where.base, where.sub), access};
  return handle;
}

RegResult FileRegistry::RegOpenKeyEx(HKey key, const std::string& subKey, std::uint32_t access, HKey& result) {
  Location where;
  if (const RegResult located = Locate(key, subKey, 0, where); located != ERROR_SUCCESS) return located;
  const RegResult found = Inspect(where, [](const RegistryKey&) { return ERROR_SUCCESS; });
  if (found == ERROR_SUCCESS) result = AddHandle(where, access);
  return found;
}

RegResult FileRegistry::RegCreateKeyEx(HKey key, const std::string& subKey, std::uint32_t access, HKey& result) {
  Location where;
  if (const RegResult located = Locate(key, subKey, 0, where); located != ERROR_SUCCESS) return located;
  std::uint32_t parentAccess = KEY_CREATE_SUB_KEY;
  if (where.fromHandle) {
    std::lock_guard<std::mutex> guard(m_mutex);
    parentAccess = m_handles[key].access;
  }
  const RegResult created = Modify([&](RegistryTree& tree, bool& modified) {
    Location base = where;
    base.sub.clear();
    RegistryKey* current = nullptr;
    if (const RegResult found = Resolve(tree, base, current); found != ERROR_SUCCESS) return found;
    for (const auto& name : where.sub) {
      if (RegistryKey* next = current->FindSubKey(name)) {
        current = next;
        continue;
      }
      if ((parentAccess & KEY_CREATE_SUB_KEY) == 0) return ERROR_ACCESS_DENIED;
      current = &current->AddSubKey(name);
      modified = true;
    }
    return ERROR_SUCCESS;
  });
  if (created == ERROR_SUCCESS) result = AddHandle(where, access);
  return created;
}

RegResult FileRegistry::RegCloseKey(HKey key) {
  if (RegistryTree::IsRoot(key)) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_handles.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

RegResult FileRegistry::RegDeleteKey(HKey key, const std::string& subKey) {
  Location where;
  if (const RegResult located = Locate(key, subKey, 0, where); located != ERROR_SUCCESS) return located;
  if (where.sub.empty()) return ERROR_INVALID_PARAMETER;
  return Modify([&](RegistryTree& tree, bool& modified) {
    Location parentAt = where;
    const std::string name = parentAt.sub.back();
    parentAt.sub.pop_back();
    RegistryKey* parent = nullptr;
    if (const RegResult found = Resolve(tree, parentAt, parent); found != ERROR_SUCCESS) return found;
    const RegistryKey* target = parent->FindSubKey(name);
    if (target == nullptr) return ERROR_FILE_NOT_FOUND;
    if (!target->SubKeys().empty()) return ERROR_ACCESS_DENIED;
    modified = parent->RemoveSubKey(name);
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::RegSetValueEx(HKey key, const std::string& name, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t size) {
  if (size > 0 && data == nullptr) return ERROR_INVALID_PARAMETER;
  Location where;
  if (const RegResult located = Locate(key, "", KEY_SET_VALUE, where); located != ERROR_SUCCESS) return located;
  return Modify([&](RegistryTree& tree, bool& modified) {
    RegistryKey* target = nullptr;
    if (const RegResult found = Resolve(tree, where, target); found != ERROR_SUCCESS) return found;
    target->SetValue(name, type, std::vector<std::uint8_t>(data, data + size));
    modified = true;
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::RegQueryValueEx(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                        std::uint32_t* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  Location where;
  if (const RegResult located = Locate(key, "", KEY_QUERY_VALUE, where); located != ERROR_SUCCESS) return located;
  return Inspect(where, [&](const RegistryKey& target) {
    const RegistryValue* value = target.FindValue(name);
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    const std::uint32_t needed = Length(value->data.size());
    if (data == nullptr) {
      if (size != nullptr) *size = needed;
      return ERROR_SUCCESS;
    }
    const bool fits = *size >= needed;
    *size = needed;
    if (!fits) return ERROR_MORE_DATA;
    std::copy(value->data.begin(), value->data.end(), data);
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::RegDeleteValue(HKey key, const std::string& name) {
  Location where;
  if (const RegResult located = Locate(key, "", KEY_SET_VALUE, where); located != ERROR_SUCCESS) return located;
  return Modify([&](RegistryTree& tree, bool& modified) {
    RegistryKey* target = nullptr;
    if (const RegResult found = Resolve(tree, where, target); found != ERROR_SUCCESS) return found;
    modified = target->RemoveValue(name);
    return modified ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

RegResult FileRegistry::RegEnumKey(HKey key, std::uint32_t index, std::string& name) {
  Location where;
  if (const RegResult located = Locate(key, "", KEY_ENUMERATE_SUB_KEYS, where); located != ERROR_SUCCESS) {
    return located;
  }
  return Inspect(where, [&](const RegistryKey& target) {
    if (index >= target.SubKeys().size()) return ERROR_NO_MORE_ITEMS;
    name = target.SubKeys()[index].Name();
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::RegEnumValue(HKey key, std::uint32_t index, std::string& name, std::uint32_t& type) {
  Location where;
  if (const RegResult located = Locate(key, "", KEY_QUERY_VALUE, where); located != ERROR_SUCCESS) return located;
  return Inspect(where, [&](const RegistryKey& target) {
    if (index >= target.Values().size()) return ERROR_NO_MORE_ITEMS;
    name = target.Values()[index].name;
    type = target.Values()[index].type;
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::RegQueryInfoKey(HKey key, RegKeyInfo& info) {
  Location where;
  if (const RegResult located = Locate(key, "", KEY_QUERY_VALUE, where); located != ERROR_SUCCESS) return located;
  return Inspect(where, [&](const RegistryKey& target) {
    info = RegKeyInfo();
    info.subKeys = Length(target.SubKeys().size());
    info.values = Length(target.Values().size());
    for (const auto& sub : target.SubKeys()) info.maxSubKeyLength = std::max(info.maxSubKeyLength, Length(sub.Name().size()));
    for (const auto& value : target.Values()) {
      info.maxValueNameLength = std::max(info.maxValueNameLength, Length(value.name.size()));
      info.maxValueLength = std::max(info.maxValueLength, Length(value.data.size()));
    }
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::RegSaveKey(HKey key, const std::string& file) {
  Location where;
  if (const RegResult located = Locate(key, "", 0, where); located != ERROR_SUCCESS) return located;
  if (file.empty()) return ERROR_INVALID_PARAMETER;
  std::error_code error;
  if (std::filesystem::exists(file, error)) return ERROR_ALREADY_EXISTS;
  return Inspect(where, [&](const RegistryKey& target) {
    return WriteFileAtomically(file, RegistryTree::SerializeSavedKey(target)) ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
  });
}

RegResult FileRegistry::RegRestoreKey(HKey key, const std::string& file, std::uint32_t /*flags*/) {
  Location where;
  if (const RegResult located = Locate(key, "", 0, where); located != ERROR_SUCCESS) return located;
  const auto text = ReadWholeFile(file);
  if (!text) return ERROR_FILE_NOT_FOUND;
  auto saved = RegistryTree::ParseSavedKey(*text);
  if (!saved) return ERROR_BADDB;
  return Modify([&](RegistryTree& tree, bool& modified) {
    RegistryKey* target = nullptr;
    if (const RegResult found = Resolve(tree, where, target); found != ERROR_SUCCESS) return found;
    target->ReplaceContent(RegistryKey(*saved));
    modified = true;
    return ERROR_SUCCESS;
  });
}

RegResult FileRegistry::EnablePrivilege(const std::string& name) {
  const bool known = std::any_of(std::begin(kPrivilegeNames), std::end(kPrivilegeNames),
                                 [&](const char* privilege) { return SameRegistryName(privilege, name); });
  return known ? ERROR_SUCCESS : ERROR_NO_SUCH_PRIVILEGE;
}

}  // namespace velmora::platform
