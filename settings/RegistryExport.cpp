#include "settings/RegistryExport.h"

#include "platform/registry/RegistryService.h"
#include "platform/registry/RegistryTree.h"
#include "settings/RegValueCodec.h"

namespace velmora::settings {

namespace {

using namespace platform;

constexpr const char* kHex = "0123456789abcdef";
constexpr std::size_t kBytesPerLine = 20;

std::string QuotedText(const std::vector<std::uint8_t>& data) {
  std::string out = "\"";
  for (const auto byte : data) {
    if (byte == 0) break;
    if (byte == '\\' || byte == '"') out += '\\';
    out += static_cast<char>(byte);
  }
  return out + "\"";
}

std::string HexBytes(const std::vector<std::uint8_t>& data) {
  std::string out = "hex:";
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i > 0) out += (i % kBytesPerLine == 0) ? ",\\\r\n  " : ",";
    out += kHex[data[i] >> 4];
    out += kHex[data[i] & 0xF];
  }
  return out;
}

std::string Dword(const std::vector<std::uint8_t>& data) {
  const auto bits = static_cast<std::uint32_t>(LittleEndianNumber(data));
  std::string out = "dword:";
  for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(bits >> shift) & 0xF];
  return out;
}

// Reads one value's type and bytes from an open key.
bool ReadValue(HKey key, const std::string& name, std::uint32_t& type, std::vector<std::uint8_t>& data) {
  std::uint32_t size = 0;
  if (Registry().RegQueryValueEx(key, name, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  data.assign(size, 0);
  return size == 0 || Registry().RegQueryValueEx(key, name, &type, data.data(), &size) == ERROR_SUCCESS;
}

}  // namespace

std::string ExportValueLine(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
  std::string line = "\"" + name + "\"=";
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    line += QuotedText(data);
  } else if (type == REG_DWORD) {
    line += Dword(data);
  } else {
    line += HexBytes(data);
  }
  return line + "\r\n";
}

bool AppendKeyExport(HKey root, const std::string& keyPath, const std::string* valueName, bool recurse,
                     engine::cAppendString& text) {
  HKey key = 0;
  if (Registry().RegOpenKeyEx(root, keyPath, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, key) != ERROR_SUCCESS) {
    return false;
  }
  const std::string rootName = RegistryTree::RootName(root);
  text.Append("[" + (keyPath.empty() ? rootName : rootName + "\\" + keyPath) + "]\r\n");
  bool ok = true;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (valueName != nullptr) {
    ok = ReadValue(key, *valueName, type, data);
    if (ok) text.Append(ExportValueLine(*valueName, type, data));
  } else {
    std::string name;
    for (std::uint32_t i = 0; ok && Registry().RegEnumValue(key, i, name, type) == ERROR_SUCCESS; ++i) {
      ok = ReadValue(key, name, type, data);
      if (ok) text.Append(ExportValueLine(name, type, data));
    }
  }
  std::vector<std::string> subKeys;
  std::string name;
  for (std::uint32_t i = 0; ok && recurse && Registry().RegEnumKey(key, i, name) == ERROR_SUCCESS; ++i) {
    subKeys.push_back(name);
  }
  Registry().RegCloseKey(key);
  for (const auto& sub : subKeys) {
    if (!ok) break;
    ok = AppendKeyExport(root, keyPath.empty() ? sub : keyPath + "\\" + sub, nullptr, true, text);
  }
  return ok;
}

}  // namespace velmora::settings
