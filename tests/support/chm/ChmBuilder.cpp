#include "tests/support/chm/ChmBuilder.h"

#include <fstream>
#include <stdexcept>

namespace velmora::testsupport {
namespace {

constexpr std::size_t kItsfSize = 0x60;
constexpr std::size_t kHeaderSection0Size = 0x18;
constexpr std::size_t kItspSize = 0x54;
constexpr std::size_t kPmglHeader = 0x14;
constexpr std::size_t kPmgiHeader = 0x08;
constexpr std::size_t kQuickRefEvery = 5;  // 1 + (1 << density), density 2
constexpr std::uint32_t kNone = 0xFFFFFFFF;

const unsigned char kGuid1[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                  0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kGuid2[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                  0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kDirectoryGuid[16] = {0x6A, 0x92, 0x02, 0x5D, 0x2E, 0x21, 0xD0, 0x11,
                                          0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutGuid(std::string& out, const unsigned char* guid) {
  out.append(reinterpret_cast<const char*>(guid), 16);
}

void Set16(std::string& chunk, std::size_t at, std::uint16_t v) {
  chunk[at] = static_cast<char>(v & 0xFF);
  chunk[at + 1] = static_cast<char>(v >> 8);
}

// Directory integers: 7 bits a byte, most significant first, high bit set on
// every byte but the last.
void PutEncInt(std::string& out, std::uint64_t v) {
  char bytes[10];
  int n = 0;
  do {
    bytes[n++] = static_cast<char>(v & 0x7F);
    v >>= 7;
  } while (v);
  while (n-- > 0) out += static_cast<char>(bytes[n] | (n ? 0x80 : 0));
}

// Room at a chunk's end: the entry count and a quick-reference offset for
// every fifth entry after the first.
std::size_t TailSize(std::size_t entries) { return 2 + 2 * (entries / kQuickRefEvery); }

// Pads the chunk to its size and writes the free-space field, the entry
// count and the quick references at its end.
std::string FinishChunk(std::string chunk, std::size_t headerSize, const std::vector<std::size_t>& starts) {
  const std::size_t end = ChmBuilder::kChunkSize;
  const auto freeSpace = static_cast<std::uint32_t>(end - chunk.size());
  chunk.resize(end, '\0');
  for (int i = 0; i < 4; ++i) chunk[4 + i] = static_cast<char>((freeSpace >> (8 * i)) & 0xFF);
  Set16(chunk, end - 2, static_cast<std::uint16_t>(starts.size()));
  for (std::size_t i = kQuickRefEvery, slot = 1; i < starts.size(); i += kQuickRefEvery, ++slot) {
    Set16(chunk, end - 2 - 2 * slot, static_cast<std::uint16_t>(starts[i] - headerSize));
  }
  return chunk;
}

}  // namespace

ChmBuilder& ChmBuilder::add(std::string name, std::string content) {
  Entry entry;
  entry.name = std::move(name);
  entry.content = std::move(content);
  return add(std::move(entry));
}

ChmBuilder& ChmBuilder::add(Entry entry) {
  m_entries.push_back(std::move(entry));
  return *this;
}

ChmBuilder& ChmBuilder::addFolder(std::string name) {
  Entry entry;
  entry.name = std::move(name);
  entry.offset = 0;
  entry.length = 0;
  return add(std::move(entry));
}

ChmBuilder& ChmBuilder::languageId(std::uint32_t lcid) {
  m_languageId = lcid;
  return *this;
}

ChmBuilder& ChmBuilder::duplicateGuid() {
  m_duplicateGuid = true;
  return *this;
}

ChmBuilder& ChmBuilder::pmglRange(std::uint32_t first, std::uint32_t last) {
  m_firstPmgl = first;
  m_lastPmgl = last;
  return *this;
}

ChmBuilder& ChmBuilder::truncateAt(std::size_t size) {
  m_truncateAt = size;
  return *this;
}

// PMGL chunks filled in order, each linked to its neighbours.
std::vector<std::string> ChmBuilder::PackListing(const std::vector<Record>& records) {
  std::vector<std::vector<const Record*>> groups(1);
  std::size_t used = kPmglHeader;
  for (const Record& record : records) {
    if (kPmglHeader + record.bytes.size() + TailSize(1) > kChunkSize) {
      throw std::length_error("a directory entry does not fit a chunk");
    }
    if (used + record.bytes.size() + TailSize(groups.back().size() + 1) > kChunkSize) {
      groups.emplace_back();
      used = kPmglHeader;
    }
    groups.back().push_back(&record);
    used += record.bytes.size();
  }
  std::vector<std::string> chunks;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    std::string chunk = "PMGL";
    std::vector<std::size_t> starts;
    Put32(chunk, 0);  // free space, set below
    Put32(chunk, 0);
    Put32(chunk, i == 0 ? kNone : static_cast<std::uint32_t>(i - 1));
    Put32(chunk, i + 1 == groups.size() ? kNone : static_cast<std::uint32_t>(i + 1));
    for (const Record* record : groups[i]) {
      starts.push_back(chunk.size());
      chunk += record->bytes;
    }
    chunks.push_back(FinishChunk(std::move(chunk), kPmglHeader, starts));
  }
  return chunks;
}

// One PMGI chunk naming the first entry of every listing chunk, or nothing
// when the names do not fit one chunk.
std::optional<std::string> ChmBuilder::IndexChunk(const std::vector<Record>& records,
                                                  const std::vector<std::string>& listing) {
  std::string chunk = "PMGI";
  Put32(chunk, 0);  // free space, set below
  std::vector<std::size_t> starts;
  std::size_t first = 0;
  for (std::size_t i = 0; i < listing.size(); ++i) {
    const std::string& name = records[first].name;
    first += static_cast<std::uint8_t>(listing[i][kChunkSize - 2]) |
             (static_cast<std::uint8_t>(listing[i][kChunkSize - 1]) << 8);
    std::string record;
    PutEncInt(record, name.size());
    record += name;
    PutEncInt(record, i);
    if (chunk.size() + record.size() + TailSize(starts.size() + 1) > kChunkSize) return std::nullopt;
    starts.push_back(chunk.size());
    chunk += record;
  }
  return FinishChunk(std::move(chunk), kPmgiHeader, starts);
}

std::string ChmBuilder::build() const {
  std::string content;
  std::vector<Record> records;
  for (const Entry& entry : m_entries) {
    const std::uint64_t storedAt = content.size();
    content += entry.content;
    std::string record;
    PutEncInt(record, entry.name.size());
    record += entry.name;
    PutEncInt(record, entry.section);
    PutEncInt(record, entry.offset.value_or(storedAt));
    PutEncInt(record, entry.length.value_or(entry.content.size()));
    records.push_back({entry.name, std::move(record)});
  }

  std::vector<std::string> chunks = PackListing(records);
  const auto listing = static_cast<std::uint32_t>(chunks.size());
  std::uint32_t indexRoot = kNone;
  if (chunks.size() > 1) {
    if (auto index = IndexChunk(records, chunks)) {
      indexRoot = listing;
      chunks.push_back(std::move(*index));
    }
  }
  const auto numChunks = static_cast<std::uint32_t>(chunks.size());

  const std::uint64_t directoryAt = kItsfSize + kHeaderSection0Size;
  const std::uint64_t directorySize = kItspSize + std::uint64_t{numChunks} * kChunkSize;
  const std::uint64_t contentAt = directoryAt + directorySize;
  const std::uint64_t fileSize = contentAt + content.size();

  std::string out;
  out += "ITSF";
  Put32(out, 3);
  Put32(out, kItsfSize);
  Put32(out, 1);
  Put32(out, 0x12345678);  // timestamp
  Put32(out, m_languageId);
  PutGuid(out, kGuid1);
  PutGuid(out, m_duplicateGuid ? kGuid1 : kGuid2);
  Put64(out, kItsfSize);
  Put64(out, kHeaderSection0Size);
  Put64(out, directoryAt);
  Put64(out, directorySize);
  Put64(out, contentAt);

  Put32(out, 0x01FE);
  Put32(out, 0);
  Put64(out, fileSize);
  Put32(out, 0);
  Put32(out, 0);

  out += "ITSP";
  Put32(out, 1);
  Put32(out, kItspSize);
  Put32(out, 0x0A);
  Put32(out, kChunkSize);
  Put32(out, 2);  // quick-reference density
  Put32(out, indexRoot == kNone ? 1 : 2);
  Put32(out, indexRoot);
  Put32(out, m_firstPmgl.value_or(0));
  Put32(out, m_lastPmgl.value_or(listing - 1));
  Put32(out, kNone);
  Put32(out, numChunks);
  Put32(out, m_languageId);
  PutGuid(out, kDirectoryGuid);
  Put32(out, kItspSize);
  Put32(out, kNone);
  Put32(out, kNone);
  Put32(out, kNone);
  for (const std::string& chunk : chunks) out += chunk;
  out += content;

  if (m_truncateAt && *m_truncateAt < out.size()) out.resize(*m_truncateAt);
  return out;
}

bool ChmBuilder::writeTo(const std::string& path) const {
  const std::string bytes = build();
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::string ChmBuilder::SystemStream(std::uint32_t lcid) {
  std::string out;
  Put32(out, 3);  // version
  const std::string title("Test", 5);  // text with its terminating zero
  Put16(out, 3);  // title record
  Put16(out, static_cast<std::uint16_t>(title.size()));
  out += title;
  Put16(out, 4);  // language record: LCID and four more fields
  Put16(out, 36);
  Put32(out, lcid);
  out.append(32, '\0');
  return out;
}

}  // namespace velmora::testsupport
