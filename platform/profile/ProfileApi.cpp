#include "platform/profile/ProfileApi.h"

#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/profile/AtomicFile.h"
#include "platform/profile/ProfileDocument.h"
#include "platform/profile/UserFolders.h"

namespace velmora::platform {

namespace {

// Length of text cut to at most limit bytes without splitting a UTF-8
// character.
std::size_t CutLength(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t length = limit;
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  return length;
}

std::uint32_t CopyText(const std::string& text, char* buffer, std::uint32_t size) {
  const std::size_t length = CutLength(text, size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

std::uint32_t CopyList(const std::vector<std::string>& names, char* buffer, std::uint32_t size) {
  std::string list;
  for (const auto& name : names) {
    list += name;
    list += '\0';
  }
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<std::uint32_t>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

// Windows drops trailing blanks from the default.
std::string DefaultText(const char* defaultText) {
  std::string text = defaultText ? defaultText : "";
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool HasLineBreak(const char* text) { return text != nullptr && std::strpbrk(text, "\r\n") != nullptr; }

}  // namespace

std::uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultText,
                                      char* buffer, std::uint32_t size, const std::string& path) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string fallback = DefaultText(defaultText);
  const auto content = ReadWholeFile(path);
  if (!content) return CopyText(fallback, buffer, size);

  const ProfileDocument document = ProfileDocument::Parse(*content);
  if (section == nullptr) return CopyList(document.SectionNames(), buffer, size);
  if (key == nullptr) {
    const auto names = document.KeyNames(section);
    return names.empty() ? CopyText(fallback, buffer, size) : CopyList(names, buffer, size);
  }
  const auto value = document.Find(section, key);
  return CopyText(value ? Unquoted(*value) : fallback, buffer, size);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* text, const std::string& path) {
  if (section == nullptr || path.empty()) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(text)) return false;
  if (std::strchr(section, ']') != nullptr || (key != nullptr && std::strchr(key, '=') != nullptr)) return false;

  std::error_code error;
  const bool exists = std::filesystem::exists(path, error);
  std::optional<std::string> content = exists ? ReadWholeFile(path) : std::string();
  if (!content) return false;

  ProfileDocument document = ProfileDocument::Parse(*content);
  if (key == nullptr) {
    if (!document.RemoveSection(section)) return true;
  } else if (text == nullptr) {
    if (!document.RemoveKey(section, key)) return true;
  } else {
    document.Set(section, key, text);
  }
  return WriteFileAtomically(path, document.Serialize());
}

std::uint32_t GetProfileString(const char* section, const char* key, const char* defaultText, char* buffer,
                               std::uint32_t size) {
  return GetPrivateProfileString(section, key, defaultText, buffer, size, SystemProfilePath());
}

bool WriteProfileString(const char* section, const char* key, const char* text) {
  std::error_code error;
  std::filesystem::create_directories(UserConfigFolder(), error);
  return WritePrivateProfileString(section, key, text, SystemProfilePath());
}

std::string SystemProfilePath() { return UserConfigFolder() + "/win.ini"; }

}  // namespace velmora::platform
