#pragma once
// Builds CHM files byte by byte for tests: ITSF v3 header, header section 0,
// ITSP directory header, PMGL listing chunks (plus one PMGI index chunk when
// the listing spans several chunks and the index fits one chunk), and every
// stream stored uncompressed in section 0. No compressed section is written:
// libmspack needs one only to extract section 1 streams.
//
// It makes what no help compiler makes: arbitrary entry names, declared
// places past the data, truncated files, empty or huge directories, the
// duplicated header GUID of chmcmd, and wrong PMGL range fields.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::testsupport {

class ChmBuilder {
 public:
  struct Entry {
    std::string name;     // written as given; ordinary names start with "/"
    std::string content;  // bytes stored in section 0
    std::optional<std::uint64_t> offset;  // declared offset instead of the real one
    std::optional<std::uint64_t> length;  // declared length instead of content.size()
    std::uint64_t section = 0;            // declared section
  };

  static constexpr std::uint32_t kChunkSize = 4096;

  // Directory order is the order of the calls (compilers sort names; nothing
  // that only lists or extracts needs that).
  ChmBuilder& add(std::string name, std::string content);
  ChmBuilder& add(Entry entry);
  // A pure folder entry such as "/html/" (offset 0, length 0).
  ChmBuilder& addFolder(std::string name);

  ChmBuilder& languageId(std::uint32_t lcid);
  // Writes the header's second GUID equal to the first, as chmcmd does.
  ChmBuilder& duplicateGuid();
  // Writes these FirstPMGL/LastPMGL fields instead of the true range.
  ChmBuilder& pmglRange(std::uint32_t first, std::uint32_t last);
  // Cuts the finished file after this many bytes.
  ChmBuilder& truncateAt(std::size_t size);

  std::string build() const;
  // Writes build() to the path; false when the file cannot be written.
  bool writeTo(const std::string& path) const;

  // A #SYSTEM stream with a title record and a language record (code 4).
  static std::string SystemStream(std::uint32_t lcid);

 private:
  struct Record {
    std::string name;
    std::string bytes;  // the encoded directory entry
  };
  static std::vector<std::string> PackListing(const std::vector<Record>& records);
  static std::optional<std::string> IndexChunk(const std::vector<Record>& records,
                                               const std::vector<std::string>& listing);

  std::vector<Entry> m_entries;
  std::uint32_t m_languageId = 0x409;
  bool m_duplicateGuid = false;
  std::optional<std::uint32_t> m_firstPmgl;
  std::optional<std::uint32_t> m_lastPmgl;
  std::optional<std::size_t> m_truncateAt;
};

}  // namespace velmora::testsupport
