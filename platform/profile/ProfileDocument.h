#pragma once
// An INI profile held as its lines, so that an update rewrites only the
// line it concerns and keeps comments, blank lines, unknown lines, the line
// ending and a UTF-8 byte-order mark exactly as they were.
//
// Sections and keys are found with ASCII letter case ignored. Sections of
// the same name count as one section, read in file order.

#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

class ProfileDocument {
 public:
  static ProfileDocument Parse(const std::string& text);
  std::string Serialize() const;

  // The value of key in section, blanks around it removed; nullopt when the
  // section or key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  // Key names of the section in file order (each once); empty when missing.
  std::vector<std::string> KeyNames(const std::string& section) const;
  // Section names in file order (each once).
  std::vector<std::string> SectionNames() const;

  // Replaces the value of an existing key (keeping the key's spelling) or
  // adds key=value at the end of the section, adding the section at the
  // end of the profile when it is missing.
  void Set(const std::string& section, const std::string& key, const std::string& value);
  // Both return true when something was removed.
  bool RemoveKey(const std::string& section, const std::string& key);
  bool RemoveSection(const std::string& section);

 private:
  struct Entry {
    std::size_t line;  // index into m_lines
    std::string key;   // as spelled in the file, blanks removed
    std::string value;
  };

  std::vector<std::size_t> SectionHeaders(const std::string& section) const;
  std::size_t SectionEnd(std::size_t header) const;  // one past the last line
  std::vector<Entry> Entries(const std::string& section) const;

  std::vector<std::string> m_lines;
  std::string m_newline = "\n";
  bool m_byteOrderMark = false;
};

}  // namespace velmora::platform
