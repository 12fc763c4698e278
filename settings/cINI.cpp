#include "settings/cINI.h"

#include <algorithm>
#include <new>

#include "platform/profile/ProfileApi.h"

namespace velmora::settings {

namespace {

// What the profile function left in the buffer: the text before the first
// NUL for a value, the first `copied` bytes for a key list.
std::string Reply(const std::string& buffer, std::uint32_t copied, bool list) {
  if (list) return buffer.substr(0, copied);
  const auto nul = buffer.find('\0');
  return nul == std::string::npos ? std::string() : buffer.substr(0, nul);
}

}  // namespace

std::string cINI::Read(const char* key) const {
  if (m_cacheSize < 1) return {};
  std::string buffer;
  try {
    buffer.assign(static_cast<std::size_t>(m_cacheSize), ' ');
  } catch (const std::bad_alloc&) {
    return {};
  }
  const auto size = static_cast<std::uint32_t>(buffer.size());
  const std::uint32_t copied =
      m_system ? platform::GetProfileString(m_section.c_str(), key, m_default.c_str(), buffer.data(), size)
               : platform::GetPrivateProfileString(m_section.c_str(), key, m_default.c_str(), buffer.data(), size,
                                                   m_path);
  return Reply(buffer, copied, key == nullptr);
}

void cINI::Write(const char* key, const char* text) {
  const bool ok = m_system ? platform::WriteProfileString(m_section.c_str(), key, text)
                           : platform::WritePrivateProfileString(m_section.c_str(), key, text, m_path);
  m_lastReturnCode = ok ? 1 : 0;
}

std::string cINI::value() const { return Read(m_key.c_str()); }

void cINI::SetValue(const std::string& sValue) {
  std::string text = sValue;
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  Write(m_key.c_str(), text.c_str());
}

void cINI::DeleteValue() { Write(m_key.c_str(), nullptr); }

void cINI::DeleteSection() { Write(nullptr, nullptr); }

std::string cINI::INISection() const { return Read(nullptr); }

void cINI::SetINISection(const std::string& sSection) { Write(nullptr, sSection.c_str()); }

}  // namespace velmora::settings
