#pragma once
// The records a help compiler writes, built for tests: #SYSTEM with the
// records given, #WINDOWS and #STRINGS with one window's contents and index
// files, and a contents file from entries.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

inline std::string Le16(std::uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
inline std::string Le32(std::uint32_t v) { return Le16(std::uint16_t(v & 0xFFFF)) + Le16(std::uint16_t(v >> 16)); }

// records: code and text (a terminating zero is added); the language
// record (4) is written from lcid.
inline std::string SystemRecords(std::uint32_t lcid,
                                 const std::vector<std::pair<std::uint16_t, std::string>>& records) {
  std::string out = Le32(3) + Le16(4) + Le16(36) + Le32(lcid) + std::string(32, '\0');
  for (const auto& [code, text] : records) out += Le16(code) + Le16(std::uint16_t(text.size() + 1)) + text + '\0';
  return out;
}

// One window named "main" with its contents and index files:
// {#WINDOWS, #STRINGS}.
inline std::pair<std::string, std::string> WindowRecords(const std::string& contents, const std::string& index) {
  const std::string strings = std::string(1, '\0') + "main" + '\0' + contents + '\0' + index + '\0';
  std::string entry(0x188, '\0');
  entry.replace(0x08, 4, Le32(1));
  entry.replace(0x60, 4, Le32(std::uint32_t(6)));
  entry.replace(0x64, 4, Le32(std::uint32_t(7 + contents.size())));
  return {Le32(1) + Le32(0x188) + entry, strings};
}

// A contents or index file: lines of "<level> <name> [<local>]" or
// "<level> merge=<value>" become nested lists of entries.
inline std::string SitemapHtml(const std::vector<std::string>& lines) {
  std::string html = "<HTML><BODY>";
  int depth = 0;
  auto param = [](const std::string& name, const std::string& value) {
    return "<param name=\"" + name + "\" value=\"" + value + "\">";
  };
  for (const auto& line : lines) {
    const int level = line[0] - '0';
    while (depth <= level) html += "<UL>", ++depth;
    while (depth > level + 1) html += "</UL>", --depth;
    html += "<LI><OBJECT type=\"text/sitemap\">";
    if (line.compare(2, 6, "merge=") == 0) {
      html += param("Merge", line.substr(8));
    } else {
      const std::size_t space = line.find(' ', 2);
      html += param("Name", line.substr(2, space - 2));
      if (space != std::string::npos) html += param("Local", line.substr(space + 1));
    }
    html += "</OBJECT>";
  }
  while (depth-- > 0) html += "</UL>";
  return html + "</BODY></HTML>";
}

}  // namespace velmora::test
