#include "platform/registry/RegistryTextFormat.h"

#include <cstdio>

namespace velmora::platform {

namespace {

constexpr const char* kHex = "0123456789abcdef";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Escape(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

// Reads a quoted, escaped name starting at text[pos] == '"'; pos ends after
// the closing quote.
bool Unescape(const std::string& text, std::size_t& pos, std::string& name) {
  if (pos >= text.size() || text[pos] != '"') return false;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c != '\\') {
      name += c;
      continue;
    }
    if (++pos >= text.size()) return false;
    if (text[pos] == 'x') {
      if (pos + 2 >= text.size()) return false;
      const int high = HexDigit(text[pos + 1]);
      const int low = HexDigit(text[pos + 2]);
      if (high < 0 || low < 0) return false;
      name += static_cast<char>(high * 16 + low);
      pos += 2;
    } else {
      name += text[pos];
    }
  }
  return false;
}

bool ParseValue(const std::string& line, RegistryKey& key) {
  std::size_t pos = 0;
  std::string name;
  if (!Unescape(line, pos, name) || pos >= line.size() || line[pos] != '=') return false;
  const auto colon = line.find(':', pos);
  if (colon == std::string::npos || colon == pos + 1) return false;
  std::uint32_t type = 0;
  for (std::size_t i = pos + 1; i < colon; ++i) {
    if (line[i] < '0' || line[i] > '9' || type > 0x0FFFFFFF) return false;
    type = type * 10 + static_cast<std::uint32_t>(line[i] - '0');
  }
  const std::string hex = line.substr(colon + 1);
  if (hex.size() % 2 != 0) return false;
  std::vector<std::uint8_t> data;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    data.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  key.SetValue(name, type, std::move(data));
  return true;
}

std::vector<std::string> HeaderNames(const std::string& inside) {
  std::vector<std::string> names;
  if (inside.empty()) return names;
  std::size_t start = 0;
  while (true) {
    const auto end = inside.find('\\', start);
    names.push_back(inside.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return names;
    start = end + 1;
  }
}

}  // namespace

void AppendKeyTree(const RegistryKey& key, const std::string& path, std::string& text) {
  text += "[" + path + "]\n";
  for (const auto& value : key.Values()) {
    text += "\"" + Escape(value.name) + "\"=" + std::to_string(value.type) + ":";
    for (const auto byte : value.data) {
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
    text += "\n";
  }
  for (const auto& sub : key.SubKeys()) {
    AppendKeyTree(sub, path.empty() ? sub.Name() : path + "\\" + sub.Name(), text);
  }
}

bool ParseKeyTrees(const std::string& text, const std::string& signature,
                   const std::function<RegistryKey*(const std::vector<std::string>&)>& keyFor) {
  std::size_t start = 0;
  bool first = true;
  RegistryKey* current = nullptr;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (first) {
      if (line != signature) return false;
      first = false;
    } else if (line.empty()) {
      continue;
    } else if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      current = keyFor(HeaderNames(line.substr(1, line.size() - 2)));
      if (current == nullptr) return false;
    } else if (current == nullptr || !ParseValue(line, *current)) {
      return false;
    }
  }
  return !first;
}

}  // namespace velmora::platform
