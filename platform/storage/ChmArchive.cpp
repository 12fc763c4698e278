#include "platform/storage/ChmArchive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <mspack.h>

#include "platform/storage/CaseFold.h"
#include "platform/storage/Prefault.h"

namespace velmora::platform {
namespace {

// The two GUIDs of the ITSF header, as stored (little-endian fields).
const unsigned char kHeaderGuid1[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                        0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const unsigned char kHeaderGuid2[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                        0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

// ITSF header: signature, GUIDs, and where the directory header (ITSP) is.
constexpr std::size_t kItsfGuid1 = 0x18;
constexpr std::size_t kItsfGuid2 = 0x28;
constexpr std::size_t kItsfFixedSize = 0x38;
constexpr std::size_t kItsfDirectoryOffset = 0x48;
constexpr std::size_t kItsfReadSize = 0x60;
// ITSP header: chunk size, PMGL range and chunk count; the chunks follow it.
constexpr std::size_t kItspSize = 0x54;
constexpr std::size_t kItspChunkSize = 0x10;
constexpr std::size_t kItspFirstPmgl = 0x20;
constexpr std::size_t kItspNumChunks = 0x2C;
constexpr std::uint32_t kMinChunkSize = 0x16;    // chunk header plus entry count
constexpr std::uint32_t kMaxChunks = 100000;     // libmspack refuses more

const char kResetTable[] =
    "::DataSpace/Storage/MSCompressed/Transform/"
    "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
const char kSpanInfo[] = "::DataSpace/Storage/MSCompressed/SpanInfo";
const char kControlData[] = "::DataSpace/Storage/MSCompressed/ControlData";
const char kContent[] = "::DataSpace/Storage/MSCompressed/Content";
// Reset interval and window size (in 32 KiB frames) to try for a lost
// ControlData, most common first: Microsoft's compiler writes 2 and 2.
constexpr std::uint32_t kControlCandidates[][2] = {{2, 2}, {4, 4}, {2, 4}, {1, 1}, {8, 8}, {16, 16}, {32, 32}, {64, 64}};
// How much of the LZX section a guessed ControlData must decode cleanly.
constexpr std::uint64_t kProbeLength = 4 * 0x8000;
// Bytes the LZX decoder gets per read of the compressed content; the
// decoder's read-ahead at a frame's end stays below this plus its 4-byte
// bit buffer.
constexpr std::size_t kContentReadChunk = 256;
constexpr std::uint64_t kFrameEndSlack = kContentReadChunk + 8;
constexpr std::size_t kResetTableHeader = 0x28;
constexpr std::uint32_t kLzxFrameSize = 0x8000;
constexpr std::size_t kSmallStreamLimit = 1 << 20;
constexpr std::uint16_t kSystemLanguageRecord = 4;
constexpr std::uint16_t kSystemDefaultTopicRecord = 2;

std::uint32_t U32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint64_t U64(const unsigned char* p) {
  return U32(p) | (static_cast<std::uint64_t>(U32(p + 4)) << 32);
}

std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string Le64(std::uint64_t v) { return Le32(static_cast<std::uint32_t>(v)) + Le32(static_cast<std::uint32_t>(v >> 32)); }

// start + length <= limit, without overflow.
bool FitsWithin(std::uint64_t start, std::uint64_t length, std::uint64_t limit) {
  return start <= limit && length <= limit - start;
}

// Reads up to count bytes at offset; fewer at the end of the file.
std::string ReadBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                      std::uint64_t* fileSize = nullptr) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  if (fileSize && fseeko(file, 0, SEEK_END) == 0) *fileSize = static_cast<std::uint64_t>(ftello(file));
  if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0) {
    bytes.resize(count);
    bytes.resize(std::fread(bytes.data(), 1, count, file));
  }
  std::fclose(file);
  return bytes;
}

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// "ITSF", and when the fixed header is complete, the GUID pair Windows
// accepts: the expected one, or the first GUID twice as chmcmd writes it.
bool HasChmSignature(const std::string& header) {
  if (header.size() < 4 || header.compare(0, 4, "ITSF") != 0) return false;
  if (header.size() < kItsfFixedSize) return true;
  const unsigned char* p = Bytes(header);
  if (std::memcmp(p + kItsfGuid1, kHeaderGuid1, 16) != 0) return false;
  return std::memcmp(p + kItsfGuid2, kHeaderGuid2, 16) == 0 ||
         std::memcmp(p + kItsfGuid2, kHeaderGuid1, 16) == 0;
}

}  // namespace

struct Decoder {
  ChmIoSystem io;
  mschm_decompressor* decompressor = nullptr;
  bool decodeFailed = false;

  Decoder() : decompressor(mspack_create_chm_decompressor(io.system())) {}
  ~Decoder() {
    if (decompressor) mspack_destroy_chm_decompressor(decompressor);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
};

bool ChmArchive::IsChmFile(const std::string& path) {
  return HasChmSignature(ReadBytes(path, 0, kItsfFixedSize));
}

std::unique_ptr<ChmArchive> ChmArchive::Open(const std::string& path, OpenResult& result) {
  std::uint64_t fileSize = 0;
  if (!HasChmSignature(ReadBytes(path, 0, kItsfFixedSize, &fileSize))) {
    result = OpenResult::NotChm;
    return nullptr;
  }
  std::unique_ptr<ChmArchive> archive(new ChmArchive(path, fileSize));
  archive->prepareIo();
  mschm_decompressor* decompressor = archive->m_main->decompressor;
  if (decompressor) archive->m_header = decompressor->open(decompressor, archive->m_path.c_str());
  if (!archive->m_header) {
    result = OpenResult::Damaged;
    return nullptr;
  }
  archive->takeDirectory();
  archive->m_section1Length = archive->readSection1Length();
  archive->rebuildLostControlData();
  archive->readFrameStarts();
  result = OpenResult::Ok;
  return archive;
}

ChmArchive::ChmArchive(std::string path, std::uint64_t fileSize)
    : m_path(std::move(path)), m_fileSize(fileSize), m_main(std::make_unique<Decoder>()) {}

ChmArchive::~ChmArchive() {
  if (m_header) m_main->decompressor->close(m_main->decompressor, m_header);
}

bool ChmArchive::lastFailureWasDecoding() const { return m_main->decodeFailed; }

ChmArchive::Reader::Reader(ChmArchive& archive, std::unique_ptr<Decoder> decoder)
    : m_archive(archive), m_decoder(std::move(decoder)) {}

ChmArchive::Reader::~Reader() = default;

bool ChmArchive::Reader::extract(const Entry& entry, const ByteSink& sink) {
  return m_archive.extractWith(*m_decoder, entry, sink);
}

bool ChmArchive::Reader::lastFailureWasDecoding() const { return m_decoder->decodeFailed; }

// A second decompressor reads the header the first one opened. libmspack
// only reads it while extracting once the section's Content, ControlData,
// reset table and SpanInfo are known: whichever is missing it looks up in
// the directory when it starts decoding, linking the record it finds into
// the header and reading directory chunks into a cache it keeps there.
// SpanInfo is needed whenever the reset table has no entry for a stream's
// frame. Readers are offered only when all four are known, so no reader
// ever writes to the shared header. What this reads (the header's records,
// the frame starts, the main decoder's view of the input) no longer
// changes once the file is open, so it may run while extract() does.
std::unique_ptr<ChmArchive::Reader> ChmArchive::openReader() {
  if (m_frameStarts.empty() || !m_header->sec1.content || !m_header->sec1.control || !m_header->sec1.rtable ||
      !m_header->sec1.spaninfo) {
    return nullptr;
  }
  auto decoder = std::make_unique<Decoder>();
  if (!decoder->decompressor) return nullptr;
  decoder->io.copyInputViewFrom(m_main->io);
  return std::unique_ptr<Reader>(new Reader(*this, std::move(decoder)));
}

// Sets up what libmspack will read differently from the file: the expected
// second GUID, and a PMGL range of every chunk present in the file, because
// chmcmd writes the range off by one (and LastPMGL may name an index chunk).
// libmspack skips chunks that are not PMGL, so reading them all is safe.
void ChmArchive::prepareIo() {
  const std::string header = ReadBytes(m_path, 0, kItsfReadSize);
  const unsigned char* p = Bytes(header);
  if (header.size() >= kItsfFixedSize && std::memcmp(p + kItsfGuid2, kHeaderGuid1, 16) == 0) {
    m_main->io.addPatch(kItsfGuid2, std::string(reinterpret_cast<const char*>(kHeaderGuid2), 16));
  }
  if (header.size() < kItsfDirectoryOffset + 8) return;
  const std::uint64_t itsp = U64(p + kItsfDirectoryOffset);
  if (!FitsWithin(itsp, kItspSize, m_fileSize)) return;
  const std::string dir = ReadBytes(m_path, itsp, kItspSize);
  if (dir.size() < kItspSize || dir.compare(0, 4, "ITSP") != 0) return;
  const std::uint32_t chunkSize = U32(Bytes(dir) + kItspChunkSize);
  const std::uint32_t numChunks = U32(Bytes(dir) + kItspNumChunks);
  if (chunkSize < kMinChunkSize || numChunks == 0 || numChunks > kMaxChunks) return;
  const std::uint64_t present = (m_fileSize - itsp - kItspSize) / chunkSize;
  const auto chunks = static_cast<std::uint32_t>(std::min<std::uint64_t>(numChunks, present));
  if (chunks == 0) return;
  m_main->io.addPatch(itsp + kItspFirstPmgl, Le32(0) + Le32(chunks - 1));
}

// Copies libmspack's lists into directory order: the ordinary files as
// linked, then the "::" files (which sort after every "/" name in the
// directory and which libmspack links in reverse).
void ChmArchive::takeDirectory() {
  std::size_t count = 0;
  for (mschmd_file* f = m_header->files; f; f = f->next) ++count;
  for (mschmd_file* f = m_header->sysfiles; f; f = f->next) ++count;
  m_files.reserve(count);
  m_entries.reserve(count);
  PrefaultForWrite(m_files.data(), count * sizeof(mschmd_file*));
  PrefaultForWrite(m_entries.data(), count * sizeof(Entry));
  for (mschmd_file* f = m_header->files; f; f = f->next) m_files.push_back(f);
  const std::size_t systemStart = m_files.size();
  for (mschmd_file* f = m_header->sysfiles; f; f = f->next) m_files.push_back(f);
  std::reverse(m_files.begin() + static_cast<std::ptrdiff_t>(systemStart), m_files.end());

  for (const mschmd_file* f : m_files) {
    std::string_view name(f->filename);
    if (!name.empty() && name[0] == '/') name.remove_prefix(1);
    Entry& entry = m_entries.emplace_back();
    entry.name.assign(name.data(), name.size());
    entry.length = static_cast<std::uint64_t>(f->length);
    entry.section = f->section ? static_cast<int>(f->section->id) : 0;
    entry.offset = static_cast<std::uint64_t>(f->offset);
    if (name.size() >= 2 && name[0] == ':' && name[1] == ':') m_bookkeeping.push_back(m_entries.size() - 1);
  }
}

namespace {

std::size_t FoldedHash(std::string_view folded) { return std::hash<std::string_view>()(folded); }

}  // namespace

// A name listed twice (some help compilers do this) stays listed twice, as
// 7-Zip shows it; lookups find the first.
void ChmArchive::buildIndex() const {
  // Positions are kept in 32 bits: a directory of 4 billion entries would
  // not fit in memory as libmspack's records anyway.
  if (m_entries.size() >= 0xFFFFFFFFu) return;
  std::size_t slots = 16;
  while (slots < m_entries.size() + m_entries.size() / 2) slots *= 2;
  m_index.reserve(slots);
  PrefaultForWrite(m_index.data(), slots * sizeof(IndexSlot));
  m_index.assign(slots, IndexSlot{});
  const std::size_t mask = slots - 1;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const FoldedName folded(m_entries[i].name);
    const std::size_t hash = FoldedHash(folded.view());
    const auto hash32 = static_cast<std::uint32_t>(hash);
    bool listed = false;
    std::size_t at = hash & mask;
    for (; m_index[at].entry != 0; at = (at + 1) & mask) {
      const std::string& other = m_entries[m_index[at].entry - 1].name;
      if (m_index[at].hash == hash32 && other.size() == folded.view().size() &&
          FoldedName(other).view() == folded.view()) {
        listed = true;
        break;
      }
    }
    if (!listed) m_index[at] = IndexSlot{hash32, static_cast<std::uint32_t>(i + 1)};
  }
}

const ChmArchive::Entry* ChmArchive::find(std::string_view path) const {
  if (!path.empty() && path[0] == '/') path.remove_prefix(1);
  const FoldedName folded(path);
  // ":" folds to itself, so only names starting with "::" can match such a
  // query; they are few, and kept in directory order.
  if (path.size() >= 2 && path[0] == ':' && path[1] == ':') {
    for (const std::size_t at : m_bookkeeping) {
      const Entry& entry = m_entries[at];
      if (entry.name.size() == path.size() && FoldedName(entry.name).view() == folded.view()) return &entry;
    }
    return nullptr;
  }
  std::call_once(m_indexBuilt, [this] { buildIndex(); });
  if (m_index.empty()) return nullptr;
  const std::size_t hash = FoldedHash(folded.view());
  const auto hash32 = static_cast<std::uint32_t>(hash);
  const std::size_t mask = m_index.size() - 1;
  for (std::size_t at = hash & mask; m_index[at].entry != 0; at = (at + 1) & mask) {
    const Entry& entry = m_entries[m_index[at].entry - 1];
    // Folding keeps the length, so only names of the same length can match.
    if (m_index[at].hash == hash32 && entry.name.size() == path.size() &&
        FoldedName(entry.name).view() == folded.view()) {
      return &entry;
    }
  }
  return nullptr;
}

bool ChmArchive::extract(const Entry& entry, const ByteSink& sink) { return extractWith(*m_main, entry, sink); }

bool ChmArchive::extractWith(Decoder& decoder, const Entry& entry, const ByteSink& sink) const {
  decoder.decodeFailed = false;
  if (&entry < m_entries.data() || &entry >= m_entries.data() + m_entries.size()) return false;
  mschmd_file* file = m_files[static_cast<std::size_t>(&entry - m_entries.data())];
  if (file->length == 0) return true;
  if (file->offset < 0 || file->length < 0) return false;
  // libmspack trusts the declared place of a stream; a place past the data
  // would make it read or decode far beyond what the file holds.
  const auto offset = static_cast<std::uint64_t>(file->offset);
  const auto length = static_cast<std::uint64_t>(file->length);
  if (entry.section == 0) {
    const off_t base = m_header->sec0.offset;
    if (base < 0 || !FitsWithin(static_cast<std::uint64_t>(base), offset, m_fileSize) ||
        !FitsWithin(static_cast<std::uint64_t>(base) + offset, length, m_fileSize)) {
      return false;
    }
  } else if (!FitsWithin(offset, length, m_section1Length)) {
    return false;
  }
  // LZX has no checksum, and damaged data (a byte lost or changed) often
  // decodes without an error into noise. With the reset table intact, the
  // decoder must have used exactly the compressed bytes up to the next
  // frame's start when it hands out a frame; a frame that ends anywhere
  // else was decoded from damaged data, and the stream is refused.
  bool desync = false;
  std::uint64_t delivered = 0;
  const ByteSink checked = [&](const char* data, std::size_t size) {
    delivered += size;
    const std::uint64_t frame = (offset + delivered - 1) / kLzxFrameSize;
    if (frame + 1 < m_frameStarts.size()) {
      const std::uint64_t used = decoder.io.lastReadEnd() - m_contentStart;
      const std::uint64_t end = m_frameStarts[frame + 1];
      if (decoder.io.lastReadEnd() < m_contentStart || used < end || used - end > kFrameEndSlack) {
        desync = true;
        return false;
      }
    }
    return sink(data, size);
  };
  const bool watch = entry.section == 1 && !m_frameStarts.empty();
  decoder.io.setSink(watch ? &checked : &sink);
  const int error = decoder.decompressor->extract(decoder.decompressor, file, "");
  decoder.io.setSink(nullptr);
  decoder.decodeFailed = desync || error == MSPACK_ERR_DECRUNCH || error == MSPACK_ERR_DATAFORMAT;
  return error == MSPACK_ERR_OK;
}

// A CHM file cut short (or damaged at its end) may lose the section-0
// entries that describe the LZX section, when the compiler put them after
// the compressed content: ControlData (window size and reset interval), the
// reset table and SpanInfo (the uncompressed size). libmspack cannot
// decode anything without ControlData and one of the other two. Whatever is
// lost is rebuilt as virtual bytes: SpanInfo from the directory (the end of
// the last compressed entry, to a whole frame), and ControlData from the
// first candidate that decodes the start of the section without an error.
// Without a reset table libmspack then decodes from the section's start as
// far as the data goes.
void ChmArchive::rebuildLostControlData() {
  std::uint64_t section1End = 0;
  const Entry* probe = nullptr;  // the entry ending last within kProbeLength
  const Entry* first = nullptr;
  for (const Entry& entry : m_entries) {
    if (entry.section != 1 || entry.length == 0) continue;
    const std::uint64_t end = entry.offset + entry.length;
    if (end < entry.offset) continue;
    section1End = std::max(section1End, end);
    if (end <= kProbeLength && (!probe || end > probe->offset + probe->length)) probe = &entry;
    if (!first || entry.offset < first->offset) first = &entry;
  }
  if (section1End == 0 || m_header->sec0.offset < 0) return;
  const auto base = static_cast<std::uint64_t>(m_header->sec0.offset);
  const auto fileOf = [this](const char* name) -> mschmd_file* {
    const Entry* entry = find(name);
    return entry && entry->section == 0 ? m_files[static_cast<std::size_t>(entry - m_entries.data())] : nullptr;
  };
  const auto readable = [&](const mschmd_file* file) {
    return file && file->offset >= 0 && file->length > 0 &&
           FitsWithin(base, static_cast<std::uint64_t>(file->offset), m_fileSize) &&
           FitsWithin(base + static_cast<std::uint64_t>(file->offset), static_cast<std::uint64_t>(file->length),
                      m_fileSize);
  };
  // libmspack finds these by name in the directory; a rebuilt one keeps
  // its entry and gets the virtual bytes as its place.
  const auto place = [&](mschmd_file* file, std::string bytes) {
    const auto length = static_cast<off_t>(bytes.size());
    file->offset = static_cast<off_t>(m_main->io.addVirtualBytes(std::move(bytes)) - base);
    file->length = length;
  };
  mschmd_file* control = fileOf(kControlData);
  mschmd_file* span = fileOf(kSpanInfo);
  mschmd_file* table = fileOf(kResetTable);
  mschmd_file* content = fileOf(kContent);
  if (!control || !content) return;
  // libmspack looks these up again on disk (its quick lookup) unless its
  // section record already points at them; it then uses the records here,
  // which are the ones this function changes. They stay in its list of
  // system files, which it frees on close.
  m_header->sec1.content = content;
  m_header->sec1.control = control;
  if (table) m_header->sec1.rtable = table;
  if (span) m_header->sec1.spaninfo = span;

  // libmspack falls back to SpanInfo when it cannot read the reset table,
  // but a failed read leaves its error set and the decoder is then refused;
  // a table too short to use is skipped without an error.
  if (table && !readable(table)) table->length = 0;
  if (m_section1Length == 0 && !readable(table) && span && !readable(span)) {
    m_section1Length = (section1End + kLzxFrameSize - 1) / kLzxFrameSize * kLzxFrameSize;
    place(span, Le64(m_section1Length));
  }
  if (readable(control) || m_section1Length == 0) return;

  if (!probe) probe = first;
  for (const auto& candidate : kControlCandidates) {
    // Length in dwords, "LZXC", version 2, reset interval and window size
    // in frames, cache size, reserved.
    place(control, Le32(6) + "LZXC" + Le32(2) + Le32(candidate[0]) + Le32(candidate[1]) + Le32(1) + Le32(0));
    if (extract(*probe, [](const char*, std::size_t) { return true; })) return;
  }
  // Nothing decoded cleanly: keep the compiler's usual values.
  place(control, Le32(6) + "LZXC" + Le32(2) + Le32(2) + Le32(2) + Le32(1) + Le32(0));
}

std::optional<std::uint64_t> ChmArchive::dataEnd(const Entry& entry) const {
  if (entry.section == 0) {
    if (m_header->sec0.offset < 0) return std::nullopt;
    return static_cast<std::uint64_t>(m_header->sec0.offset) + entry.offset + entry.length;
  }
  if (entry.length == 0) return std::nullopt;
  const std::uint64_t next = (entry.offset + entry.length - 1) / kLzxFrameSize + 1;
  if (next >= m_frameStarts.size()) return std::nullopt;
  return m_contentStart + m_frameStarts[next];
}

void ChmArchive::readFrameStarts() {
  const Entry* table = find(kResetTable);
  const Entry* content = find(kContent);
  if (!table || table->section != 0 || !content || content->section != 0 || m_header->sec0.offset < 0) return;
  const auto data = readSmallStream(*table, kSmallStreamLimit);
  if (!data || data->size() < kResetTableHeader) return;
  const unsigned char* p = Bytes(*data);
  const std::uint32_t count = U32(p + 0x04);
  const std::uint32_t entrySize = U32(p + 0x08);
  const std::uint32_t at = U32(p + 0x0C);
  if (entrySize != 8 || U32(p + 0x20) != kLzxFrameSize || at > data->size() ||
      count > (data->size() - at) / entrySize) {
    return;
  }
  std::vector<std::uint64_t> starts;
  starts.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t start = U64(p + at + std::size_t{i} * entrySize);
    // A table whose frames do not follow each other is no guide.
    if (!starts.empty() && start < starts.back()) return;
    starts.push_back(start);
  }
  m_contentStart = static_cast<std::uint64_t>(m_header->sec0.offset) + content->offset;
  m_frameStarts = std::move(starts);
  m_main->io.setShortReadRange(m_contentStart, m_contentStart + content->length, kContentReadChunk);
}

// The uncompressed size of the LZX section: from the reset table, or from
// SpanInfo when there is no usable reset table (libmspack uses the same two).
std::uint64_t ChmArchive::readSection1Length() {
  if (const Entry* table = find(kResetTable); table && table->section == 0) {
    const auto data = readSmallStream(*table, kSmallStreamLimit);
    if (data && data->size() >= kResetTableHeader && U32(Bytes(*data) + 0x20) == kLzxFrameSize) {
      return U64(Bytes(*data) + 0x10);
    }
  }
  if (const Entry* span = find(kSpanInfo); span && span->section == 0) {
    const auto data = readSmallStream(*span, 8);
    if (data && data->size() == 8) return U64(Bytes(*data));
  }
  return 0;
}

std::optional<std::string> ChmArchive::readSmallStream(const Entry& entry, std::size_t limit) {
  if (entry.length > limit) return std::nullopt;
  std::string data;
  const bool ok = extract(entry, [&data](const char* bytes, std::size_t length) {
    data.append(bytes, length);
    return true;
  });
  if (!ok) return std::nullopt;
  return data;
}

// #SYSTEM: a 4-byte version, then records of code (16 bits), length (16
// bits) and data; record 4 starts with the LCID.
std::uint32_t ChmArchive::languageId() {
  if (m_languageId) return *m_languageId;
  m_languageId = static_cast<std::uint32_t>(m_header->language);
  const Entry* system = find("#SYSTEM");
  const auto data = system ? readSmallStream(*system, kSmallStreamLimit) : std::nullopt;
  if (!data) return *m_languageId;
  const unsigned char* p = Bytes(*data);
  for (std::size_t at = 4; at + 4 <= data->size();) {
    const std::uint16_t code = p[at] | (p[at + 1] << 8);
    const std::uint16_t length = p[at + 2] | (p[at + 3] << 8);
    if (code == kSystemLanguageRecord && length >= 4 && at + 8 <= data->size()) {
      m_languageId = U32(p + at + 4);
      break;
    }
    at += 4 + static_cast<std::size_t>(length);
  }
  return *m_languageId;
}

// Record 2 of #SYSTEM holds the default topic, zero-terminated.
std::string ChmArchive::defaultTopic() {
  const Entry* system = find("#SYSTEM");
  const auto data = system ? readSmallStream(*system, kSmallStreamLimit) : std::nullopt;
  if (!data) return std::string();
  const unsigned char* p = Bytes(*data);
  for (std::size_t at = 4; at + 4 <= data->size();) {
    const std::uint16_t code = p[at] | (p[at + 1] << 8);
    const std::uint16_t length = p[at + 2] | (p[at + 3] << 8);
    if (at + 4 + length > data->size()) break;
    if (code == kSystemDefaultTopicRecord) {
      const std::string record = data->substr(at + 4, length);
      return record.substr(0, record.find('\0'));
    }
    at += 4 + static_cast<std::size_t>(length);
  }
  return std::string();
}

}  // namespace velmora::platform
