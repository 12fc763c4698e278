#pragma once
// Handles, codes and constants of the registry, with the values the
// Windows registry uses, so code written against that registry reads the
// same here.

#include <cstdint>

namespace velmora::platform {

// A predefined root key or a key opened by the registry service.
using HKey = std::uint32_t;

inline constexpr HKey HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKey HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKey HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKey HKEY_USERS = 0x80000003u;

// Data types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// Access rights; an operation needs the right named beside it.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;         // read values, key information
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;           // write and delete values
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;      // create sub-keys
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;  // list sub-keys
inline constexpr std::uint32_t KEY_WRITE_INTENT = 0x003F;        // what cRegistry opens with to write

inline constexpr std::uint32_t REG_FORCE_RESTORE = 0x0008;

// Result codes: 0 is success.
using RegResult = std::int32_t;
inline constexpr RegResult ERROR_SUCCESS = 0;
inline constexpr RegResult ERROR_FILE_NOT_FOUND = 2;
inline constexpr RegResult ERROR_ACCESS_DENIED = 5;     // also: deleting a key that has sub-keys
inline constexpr RegResult ERROR_INVALID_HANDLE = 6;
inline constexpr RegResult ERROR_INVALID_PARAMETER = 87;
inline constexpr RegResult ERROR_BAD_PATHNAME = 161;
inline constexpr RegResult ERROR_ALREADY_EXISTS = 183;
inline constexpr RegResult ERROR_MORE_DATA = 234;
inline constexpr RegResult ERROR_NO_MORE_ITEMS = 259;
inline constexpr RegResult ERROR_BADDB = 1009;          // the store file is damaged; nothing is written to it
inline constexpr RegResult ERROR_KEY_DELETED = 1018;    // an open handle's key was deleted meanwhile
inline constexpr RegResult ERROR_WRITE_FAULT = 29;      // the store could not be saved
inline constexpr RegResult ERROR_LOCK_FAILED = 167;     // the store's lock file could not be taken
inline constexpr RegResult ERROR_NO_SUCH_PRIVILEGE = 1313;

}  // namespace velmora::platform
