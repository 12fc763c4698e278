#include "settings/RegistryImport.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/registry/RegistryService.h"
#include "platform/registry/RegistryTree.h"
#include "settings/cRegistry.h"

namespace velmora::settings {

namespace {

using namespace platform;

std::string TrimmedLeft(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimmedRight(const std::string& text) {
  const auto last = text.find_last_not_of(" \t");
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

// The text's lines with continuations ("\" at the end) joined.
std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string pending;
  bool continuing = false;
  std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = TrimmedRight(continuing ? TrimmedLeft(line) : line);
    if (!line.empty() && line.back() == '\\') {
      pending += line.substr(0, line.size() - 1);
      continuing = true;
      continue;
    }
    lines.push_back(pending + line);
    pending.clear();
    continuing = false;
  }
  if (continuing) lines.push_back(pending);
  return lines;
}

// Splits "[ROOT\path]" into its root and path.
bool ParseKeyLine(const std::string& inside, HKey& root, std::string& path) {
  const auto slash = inside.find('\\');
  const std::string rootName = inside.substr(0, slash);
  path = slash == std::string::npos ? std::string() : inside.substr(slash + 1);
  for (HKey candidate = HKEY_CLASSES_ROOT; candidate <= HKEY_USERS; ++candidate) {
    if (rootName == RegistryTree::RootName(candidate)) {
      root = candidate;
      return true;
    }
  }
  return false;
}

// Reads a quoted text with \\ and \" escapes starting at line[pos] == '"'.
std::optional<std::string> Quoted(const std::string& line, std::size_t& pos) {
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
  std::string text;
  for (++pos; pos < line.size(); ++pos) {
    if (line[pos] == '"') {
      ++pos;
      return text;
    }
    if (line[pos] == '\\' && pos + 1 < line.size()) ++pos;
    text += line[pos];
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::uint32_t> HexNumber(const std::string& digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t number = 0;
  for (const char c : digits) {
    if (HexDigit(c) < 0) return std::nullopt;
    number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  return number;
}

std::optional<std::vector<std::uint8_t>> HexBytes(const std::string& list) {
  std::vector<std::uint8_t> bytes;
  std::size_t start = 0;
  while (start < list.size()) {
    auto end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = TrimmedRight(TrimmedLeft(list.substr(start, end - start)));
    const auto number = HexNumber(item);
    if (!number || item.size() > 2) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(*number));
    start = end + 1;
  }
  return bytes;
}

// Applies one value line to the open key.
bool ApplyValue(HKey key, const std::string& line) {
  std::size_t pos = 0;
  std::string name;
  if (line.compare(0, 2, "@=") == 0) {
    pos = 1;
  } else {
    const auto quoted = Quoted(line, pos);
    if (!quoted) return false;
    name = *quoted;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  const std::string data = line.substr(pos + 1);
  if (data == "-") {
    const RegResult result = Registry().RegDeleteValue(key, name);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
  }
  std::uint32_t type = REG_SZ;
  std::vector<std::uint8_t> bytes;
  if (!data.empty() && data.front() == '"') {
    std::size_t textPos = 0;
    const auto text = Quoted(data, textPos);
    if (!text || textPos != data.size()) return false;
    bytes.assign(text->begin(), text->end());
    bytes.push_back(0);
  } else if (data.compare(0, 6, "dword:") == 0) {
    const auto number = HexNumber(data.substr(6));
    if (!number) return false;
    type = REG_DWORD;
    bytes = {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
             static_cast<std::uint8_t>(*number >> 16), static_cast<std::uint8_t>(*number >> 24)};
  } else if (data.compare(0, 3, "hex") == 0) {
    std::size_t colon = data.find(':');
    if (colon == std::string::npos) return false;
    const std::string kind = data.substr(3, colon - 3);
    if (kind.empty()) {
      type = REG_BINARY;
    } else if (kind.size() >= 3 && kind.front() == '(' && kind.back() == ')') {
      const auto number = HexNumber(kind.substr(1, kind.size() - 2));
      if (!number) return false;
      type = *number;
    } else {
      return false;
    }
    const auto parsed = HexBytes(data.substr(colon + 1));
    if (!parsed) return false;
    bytes = *parsed;
  } else {
    return false;
  }
  return Registry().RegSetValueEx(key, name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size())) ==
         ERROR_SUCCESS;
}

}  // namespace

bool ImportRegistryText(const std::string& text) {
  const auto lines = LogicalLines(text);
  bool headerSeen = false;
  HKey current = 0;
  bool ok = true;
  for (const auto& line : lines) {
    if (line.empty() || line.front() == ';') continue;
    if (!headerSeen) {
      headerSeen = line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
      if (!headerSeen) return false;
      continue;
    }
    if (line.front() == '[') {
      if (current != 0) Registry().RegCloseKey(current);
      current = 0;
      if (line.back() != ']') {
        ok = false;
        break;
      }
      const bool remove = line.size() > 2 && line[1] == '-';
      HKey root = 0;
      std::string path;
      if (!ParseKeyLine(line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2)), root, path)) {
        ok = false;
        break;
      }
      if (remove) {
        cRegistry registry;
        registry.SetClassKey(root);
        registry.DeleteKeys(root, path);
      } else if (Registry().RegCreateKeyEx(root, path, KEY_WRITE_INTENT, current) != ERROR_SUCCESS) {
        current = 0;
        ok = false;
        break;
      }
      continue;
    }
    if (current == 0 || !ApplyValue(current, line)) {
      ok = false;
      break;
    }
  }
  if (current != 0) Registry().RegCloseKey(current);
  return ok && headerSeen;
}

}  // namespace velmora::settings
