#include "platform/profile/ProfileDocument.h"

#include <algorithm>

namespace velmora::platform {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// The section name of a header line "[name]", or nullopt for other lines.
std::optional<std::string> HeaderName(const std::string& line) {
  const std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const auto close = trimmed.find(']');
  return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

bool IsComment(const std::string& line) {
  const std::string trimmed = Trim(line);
  return !trimmed.empty() && trimmed.front() == ';';
}

}  // namespace

ProfileDocument ProfileDocument::Parse(const std::string& text) {
  ProfileDocument document;
  std::string body = text;
  if (body.compare(0, 3, kByteOrderMark) == 0) {
    document.m_byteOrderMark = true;
    body.erase(0, 3);
  }
  if (body.find("\r\n") != std::string::npos) document.m_newline = "\r\n";
  std::size_t start = 0;
  while (start < body.size()) {
    auto end = body.find('\n', start);
    if (end == std::string::npos) end = body.size();
    std::string line = body.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    document.m_lines.push_back(std::move(line));
    start = end + 1;
  }
  return document;
}

std::string ProfileDocument::Serialize() const {
  std::string text = m_byteOrderMark ? kByteOrderMark : "";
  for (const auto& line : m_lines) text += line + m_newline;
  return text;
}

std::vector<std::size_t> ProfileDocument::SectionHeaders(const std::string& section) const {
  std::vector<std::size_t> headers;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const auto name = HeaderName(m_lines[i]);
    if (name && SameName(*name, section)) headers.push_back(i);
  }
  return headers;
}

std::size_t ProfileDocument::SectionEnd(std::size_t header) const {
  std::size_t end = header + 1;
  while (end < m_lines.size() && !HeaderName(m_lines[end])) ++end;
  return end;
}

std::vector<ProfileDocument::Entry> ProfileDocument::Entries(const std::string& section) const {
  std::vector<Entry> entries;
  for (const auto header : SectionHeaders(section)) {
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      const std::string& line = m_lines[i];
      const auto equals = line.find('=');
      if (equals == std::string::npos || IsComment(line)) continue;
      std::string key = Trim(line.substr(0, equals));
      if (key.empty()) continue;
      entries.push_back({i, std::move(key), Trim(line.substr(equals + 1))});
    }
  }
  return entries;
}

std::optional<std::string> ProfileDocument::Find(const std::string& section, const std::string& key) const {
  for (const auto& entry : Entries(section)) {
    if (SameName(entry.key, key)) return entry.value;
  }
  return std::nullopt;
}

std::vector<std::string> ProfileDocument::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  for (const auto& entry : Entries(section)) {
    const bool seen = std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, entry.key); });
    if (!seen) names.push_back(entry.key);
  }
  return names;
}

std::vector<std::string> ProfileDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const auto& line : m_lines) {
    const auto name = HeaderName(line);
    if (!name) continue;
    const bool seen = std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, *name); });
    if (!seen) names.push_back(*name);
  }
  return names;
}

void ProfileDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  for (const auto& entry : Entries(section)) {
    if (SameName(entry.key, key)) {
      m_lines[entry.line] = entry.key + "=" + value;
      return;
    }
  }
  const auto headers = SectionHeaders(section);
  if (headers.empty()) {
    if (!m_lines.empty() && !Trim(m_lines.back()).empty()) m_lines.emplace_back();
    m_lines.push_back("[" + section + "]");
    m_lines.push_back(key + "=" + value);
    return;
  }
  // After the section's last non-blank line, so a blank line that
  // separates it from the next section stays where it is.
  std::size_t insert = SectionEnd(headers.front());
  while (insert > headers.front() + 1 && Trim(m_lines[insert - 1]).empty()) --insert;
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insert), key + "=" + value);
}

bool ProfileDocument::RemoveKey(const std::string& section, const std::string& key) {
  const auto entries = Entries(section);
  bool removed = false;
  // From the back, so earlier line numbers stay valid.
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (!SameName(it->key, key)) continue;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(it->line));
    removed = true;
  }
  return removed;
}

bool ProfileDocument::RemoveSection(const std::string& section) {
  const auto headers = SectionHeaders(section);
  for (auto it = headers.rbegin(); it != headers.rend(); ++it) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*it),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(*it)));
  }
  return !headers.empty();
}

}  // namespace velmora::platform
