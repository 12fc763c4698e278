#pragma once
// The per-user registry: all four root keys kept in one text file,
// registry.txt, in the user's config folder ($XDG_CONFIG_HOME/Velmora or
// ~/.config/Velmora).
//
// Every operation reads the file afresh, so changes made by another
// Velmora process are seen at once. A change takes the lock file
// registry.lock, re-reads the store, applies the change and replaces the
// store atomically before the lock is released; readers need no lock
// because the store is only ever replaced whole. Reading creates nothing:
// the folder and the files appear with the first change. A store file that
// cannot be read back is never overwritten (ERROR_BADDB).
//
// Open handles name a key by its path; if the key is deleted meanwhile,
// operations on the handle give ERROR_KEY_DELETED. Each handle carries the
// access rights it was opened with, and operations check them.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry/RegistryService.h"
#include "platform/registry/RegistryTree.h"

namespace velmora::platform {

class FileRegistry : public IRegistryService {
 public:
  // Keeps its files in folder; with an empty folder, in UserConfigFolder()
  // as it is at each call.
  explicit FileRegistry(std::string folder = {});

  std::string StorePath() const;
  std::string LockPath() const;

  RegResult RegOpenKeyEx(HKey key, const std::string& subKey, std::uint32_t access, HKey& result) override;
  RegResult RegCreateKeyEx(HKey key, const std::string& subKey, std::uint32_t access, HKey& result) override;
  RegResult RegCloseKey(HKey key) override;
  RegResult RegDeleteKey(HKey key, const std::string& subKey) override;
  RegResult RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                          std::uint32_t size) override;
  RegResult RegQueryValueEx(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
  RegResult RegDeleteValue(HKey key, const std::string& name) override;
  RegResult RegEnumKey(HKey key, std::uint32_t index, std::string& name) override;
  RegResult RegEnumValue(HKey key, std::uint32_t index, std::string& name, std::uint32_t& type) override;
  RegResult RegQueryInfoKey(HKey key, RegKeyInfo& info) override;
  RegResult RegSaveKey(HKey key, const std::string& file) override;
  RegResult RegRestoreKey(HKey key, const std::string& file, std::uint32_t flags) override;
  RegResult EnablePrivilege(const std::string& name) override;

 private:
  // A key named by a root or handle plus a path below it.
  struct Location {
    HKey root = 0;
    std::vector<std::string> base;  // the handle's own path
    std::vector<std::string> sub;   // the path given with the call
    bool fromHandle = false;
  };
  struct Handle {
    HKey root;
    std::vector<std::string> names;
    std::uint32_t access;
  };

  // Checks that key is a root or an open handle holding the needed rights.
  RegResult Locate(HKey key, const std::string& subKey, std::uint32_t needed, Location& where);
  static RegResult Resolve(RegistryTree& tree, const Location& where, RegistryKey*& found);
  RegResult Load(RegistryTree& tree) const;
  // Runs change on the store under the lock; saves when it sets modified.
  // change may run twice, so it must not consume what it captures.
  template <typename Change>
  RegResult Modify(Change&& change);
  // Runs read on the key at where in a fresh copy of the store.
  template <typename Read>
  RegResult Inspect(const Location& where, Read&& read) const;
  HKey AddHandle(const Location& where, std::uint32_t access);

  std::string m_folder;
  std::mutex m_mutex;  // guards the handle table
  std::map<HKey, Handle> m_handles;
  HKey m_next = 1;
};

}  // namespace velmora::platform
