// ChmArchive: recognising and opening CHM files, the directory it keeps,
// lookups, extraction and the language.
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestPaths.h"
#include "platform/storage/ChmArchive.h"
#include "tests/support/chm/ChmBuilder.h"

namespace velmora::platform::test {
namespace {

using testsupport::ChmBuilder;
using OpenResult = ChmArchive::OpenResult;

std::unique_ptr<ChmArchive> OpenOk(const std::string& path) {
  OpenResult result = OpenResult::NotChm;
  auto archive = ChmArchive::Open(path, result);
  EXPECT_EQ(result, OpenResult::Ok) << path;
  return archive;
}

std::string Extract(ChmArchive& archive, const std::string& name, bool* ok = nullptr) {
  std::string bytes;
  const ChmArchive::Entry* entry = archive.find(name);
  const bool done = entry && archive.extract(*entry, [&](const char* data, std::size_t length) {
                      bytes.append(data, length);
                      return true;
                    });
  if (ok) *ok = done;
  return bytes;
}

ChmBuilder SmallChm() {
  ChmBuilder builder;
  builder.add("/index.htm", "<html>index</html>").add("/html/a.htm", "page a").add("/b.gif", "GIF89a");
  return builder;
}

// --- Recognising and opening -------------------------------------------------

struct OpenCase {
  const char* name;
  std::string bytes;  // written to a file; "<missing>" writes nothing
  bool isChm;
  OpenResult result;
};

class ChmArchiveOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(ChmArchiveOpen, ClassifiesTheFile) {
  const OpenCase& c = GetParam();
  TempDir dir;
  const std::string path = c.bytes == "<missing>" ? dir.file("missing.chm") : dir.write("f.chm", c.bytes);
  EXPECT_EQ(ChmArchive::IsChmFile(path), c.isChm);
  OpenResult result = OpenResult::Ok;
  const auto archive = ChmArchive::Open(path, result);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(archive != nullptr, c.result == OpenResult::Ok);
}

std::string WithByte(std::string bytes, std::size_t at, char value) {
  bytes[at] = value;
  return bytes;
}

const std::string kSmall = SmallChm().build();

INSTANTIATE_TEST_SUITE_P(
    Files, ChmArchiveOpen,
    ::testing::Values(
        OpenCase{"Missing", "<missing>", false, OpenResult::NotChm},
        OpenCase{"Empty", "", false, OpenResult::NotChm},
        OpenCase{"TextFile", "This is a text file, not a help file.\n", false, OpenResult::NotChm},
        OpenCase{"ZipFile", std::string("PK\x03\x04", 4) + std::string(200, 'z'), false, OpenResult::NotChm},
        OpenCase{"BadFirstGuid", WithByte(kSmall, 0x18, 0x55), false, OpenResult::NotChm},
        OpenCase{"BadSecondGuid", WithByte(kSmall, 0x2A, 0x55), false, OpenResult::NotChm},
        OpenCase{"SignatureOnly", "ITSF", true, OpenResult::Damaged},
        OpenCase{"TruncatedInHeader", kSmall.substr(0, 0x40), true, OpenResult::Damaged},
        OpenCase{"TruncatedBeforeDirectory", kSmall.substr(0, 0x90), true, OpenResult::Damaged},
        OpenCase{"TruncatedInFirstChunk", kSmall.substr(0, 0xCC + 2000), true, OpenResult::Damaged},
        OpenCase{"ZeroChunks", WithByte(kSmall, 0x78 + 0x2C, 0), true, OpenResult::Damaged},
        OpenCase{"Valid", kSmall, true, OpenResult::Ok},
        OpenCase{"DuplicateGuid", ChmBuilder(SmallChm()).duplicateGuid().build(), true, OpenResult::Ok}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChmArchive, ChmcmdFixturesCarryTheDuplicateGuidAndOpen) {
  const std::string path = std::string(VELMORA_FIXTURE_DIR) + "/guide.chm";
  const std::string header = [&] {
    std::string bytes(0x38, '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), 0x38);
    return bytes;
  }();
  ASSERT_EQ(header.substr(0x18, 16), header.substr(0x28, 16)) << "chmcmd no longer writes the GUID twice";
  const auto archive = OpenOk(path);
  ASSERT_TRUE(archive);
  EXPECT_TRUE(archive->find("index.htm"));
}

// --- The directory -----------------------------------------------------------

TEST(ChmArchive, KeepsEntriesInDirectoryOrderWithoutLeadingSlash) {
  TempDir dir;
  ChmBuilder builder;
  builder.add("/z.htm", "zz").add("/a/b.htm", "b").addFolder("/a/").add("/#SYSTEM", ChmBuilder::SystemStream(0x409));
  builder.add("::DataSpace/NameList", "names");
  const auto archive = OpenOk(dir.write("d.chm", builder.build()));
  ASSERT_TRUE(archive);
  std::vector<std::string> names;
  for (const auto& e : archive->entries()) names.push_back(e.name);
  // libmspack drops the pure folder entry "/a/".
  EXPECT_EQ(names, (std::vector<std::string>{"z.htm", "a/b.htm", "#SYSTEM", "::DataSpace/NameList"}));
  EXPECT_EQ(archive->entries()[0].length, 2u);
  EXPECT_EQ(archive->entries()[1].offset, 2u);
  EXPECT_EQ(archive->entries()[1].section, 0);
}

TEST(ChmArchive, ZeroEntriesOpenWithAnEmptyDirectory) {
  TempDir dir;
  const auto archive = OpenOk(dir.write("e.chm", ChmBuilder().build()));
  ASSERT_TRUE(archive);
  EXPECT_TRUE(archive->entries().empty());
}

struct RangeCase {
  const char* name;
  std::uint32_t first;
  std::uint32_t last;  // kLastListing or kIndexChunk stand for those chunks
};

constexpr std::uint32_t kLastListing = 9998;
constexpr std::uint32_t kIndexChunk = 9999;

class ChmArchiveChunks : public ::testing::TestWithParam<RangeCase> {};

// 20,000 entries take about a hundred listing chunks and an index chunk;
// whatever range the header names, every listing chunk is read, once.
TEST_P(ChmArchiveChunks, ReadsEveryListingChunkOnce) {
  TempDir dir;
  ChmBuilder builder;
  for (int i = 0; i < 20000; ++i) builder.add("/d" + std::to_string(i % 9) + "/p" + std::to_string(i) + ".htm", std::to_string(i));
  const std::string plain = builder.build();
  const std::uint32_t chunks = static_cast<unsigned char>(plain[0x78 + 0x2C]) |
                               (static_cast<unsigned char>(plain[0x78 + 0x2D]) << 8);
  ASSERT_GT(chunks, 50u);
  const RangeCase& c = GetParam();
  const std::uint32_t last = c.last == kIndexChunk ? chunks - 1 : c.last == kLastListing ? chunks - 2 : c.last;
  builder.pmglRange(c.first, last);
  const auto archive = OpenOk(dir.write("big.chm", builder.build()));
  ASSERT_TRUE(archive);
  ASSERT_EQ(archive->entries().size(), 20000u);
  EXPECT_EQ(archive->entries().front().name, "d0/p0.htm");
  EXPECT_EQ(archive->entries().back().name, "d1/p19999.htm");
  EXPECT_EQ(Extract(*archive, "/d5/p12344.htm"), "12344");
}

INSTANTIATE_TEST_SUITE_P(Ranges, ChmArchiveChunks,
                         ::testing::Values(RangeCase{"True", 0, kLastListing}, RangeCase{"FirstIsOne", 1, kLastListing},
                                           RangeCase{"OnlyFirstChunk", 0, 0}, RangeCase{"LastIsIndex", 0, kIndexChunk},
                                           RangeCase{"ChmcmdOffByOne", 1, kIndexChunk}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChmArchive, MultiChunkChmcmdFileKeepsItsFirstChunk) {
  const auto archive = OpenOk(std::string(VELMORA_FIXTURE_DIR) + "/manychunks.chm");
  ASSERT_TRUE(archive);
  int pages = 0;
  for (const auto& e : archive->entries()) pages += e.name.rfind("pages/", 0) == 0;
  EXPECT_EQ(pages, 600);
  // The lowest-sorting names live in chunk 0, which the header leaves out.
  EXPECT_TRUE(archive->find("pages/a-rather-long-page-name-that-fills-directory-chunks-1.htm"));
  EXPECT_TRUE(archive->find("#SYSTEM"));
}

TEST(ChmArchive, DirectoryEndingEarlyKeepsTheEntriesRead) {
  TempDir dir;
  ChmBuilder builder;
  for (int i = 0; i < 900; ++i) builder.add("/p" + std::to_string(1000 + i) + ".htm", "x");
  // Cut inside the third listing chunk: two whole chunks remain.
  const auto archive = OpenOk(dir.write("cut.chm", builder.truncateAt(0xCC + 2 * 4096 + 100).build()));
  ASSERT_TRUE(archive);
  EXPECT_GT(archive->entries().size(), 100u);
  EXPECT_LT(archive->entries().size(), 900u);
  EXPECT_EQ(archive->entries().front().name, "p1000.htm");
}

TEST(ChmArchive, DirectoryStaysAfterTheFileIsGone) {
  TempDir dir;
  const std::string path = dir.write("gone.chm", SmallChm().build());
  const auto archive = OpenOk(path);
  ASSERT_TRUE(archive);
  std::filesystem::remove(path);
  EXPECT_EQ(archive->entries().size(), 3u);
  EXPECT_TRUE(archive->find("html/a.htm"));
}

// --- Lookups -----------------------------------------------------------------

// Longer than the stack buffer a lookup folds names into.
const std::string kLongName = std::string(300, 'N') + ".htm";
const std::string kLongQuery = "/" + std::string(300, 'n') + ".HTM";

struct FindCase {
  const char* name;
  const char* query;
  const char* expected;  // entry name, or null for none
};

class ChmArchiveFind : public ::testing::TestWithParam<FindCase> {};

TEST_P(ChmArchiveFind, LooksUpIgnoringCaseAndLeadingSlash) {
  TempDir dir;
  ChmBuilder builder = SmallChm();
  builder.add("/Docs/ÄÖ Straße.HTM", "x").add("/Справка/Главная.htm", "y").add("/中文/页面.htm", "z");
  builder.add("/same.htm", "first").add("/SAME.htm", "second");
  builder.add("/Long Folder Name/ÄÖ.Htm", "w").add("/folder@[name].htm", "v").add("/" + kLongName, "u");
  const auto archive = OpenOk(dir.write("f.chm", builder.build()));
  ASSERT_TRUE(archive);
  const FindCase& c = GetParam();
  const ChmArchive::Entry* entry = archive->find(c.query);
  if (!c.expected) {
    EXPECT_EQ(entry, nullptr);
  } else {
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Queries, ChmArchiveFind,
    ::testing::Values(FindCase{"Exact", "html/a.htm", "html/a.htm"},
                      FindCase{"LeadingSlash", "/html/a.htm", "html/a.htm"},
                      FindCase{"UpperCase", "/HTML/A.HTM", "html/a.htm"},
                      FindCase{"Latin1Folded", "docs/äö straße.htm", "Docs/ÄÖ Straße.HTM"},
                      FindCase{"CyrillicFolded", "/СПРАВКА/главная.HTM", "Справка/Главная.htm"},
                      FindCase{"Chinese", "/中文/页面.htm", "中文/页面.htm"},
                      FindCase{"FirstOfCaseTwins", "same.htm", "same.htm"},
                      FindCase{"LettersBeyondTheFirstWord", "/long folder NAME/äÖ.HTM", "Long Folder Name/ÄÖ.Htm"},
                      // "@[" and "`{" differ from each other as capitals do.
                      FindCase{"PunctuationIsNotFolded", "/FOLDER`{NAME].HTM", nullptr},
                      FindCase{"PunctuationKept", "/FOLDER@[NAME].HTM", "folder@[name].htm"},
                      FindCase{"LongerThanTheStackBuffer", kLongQuery.c_str(), kLongName.c_str()},
                      FindCase{"Absent", "/nothing.htm", nullptr},
                      FindCase{"Folder", "/html", nullptr},
                      FindCase{"BackslashIsNotASeparator", "\\html\\a.htm", nullptr},
                      FindCase{"Empty", "", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Extraction ----------------------------------------------------------------

TEST(ChmArchive, ExtractsStoredBytesExactly) {
  TempDir dir;
  std::string big(300000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  ChmBuilder builder = SmallChm();
  builder.add("/big.bin", big).add("/empty.txt", "");
  const auto archive = OpenOk(dir.write("x.chm", builder.build()));
  ASSERT_TRUE(archive);
  bool ok = false;
  EXPECT_EQ(Extract(*archive, "big.bin", &ok), big);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Extract(*archive, "empty.txt", &ok), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Extract(*archive, "html/a.htm", &ok), "page a");
}

TEST(ChmArchive, ExtractsInBoundedChunks) {
  TempDir dir;
  ChmBuilder builder;
  builder.add("/big.bin", std::string(1 << 20, 'q'));
  const auto archive = OpenOk(dir.write("x.chm", builder.build()));
  ASSERT_TRUE(archive);
  std::size_t largest = 0, total = 0;
  ASSERT_TRUE(archive->extract(archive->entries()[0], [&](const char*, std::size_t length) {
    largest = std::max(largest, length);
    total += length;
    return true;
  }));
  EXPECT_EQ(total, std::size_t{1} << 20);
  EXPECT_LE(largest, 64u * 1024);
}

TEST(ChmArchive, SinkRefusalStopsTheExtraction) {
  TempDir dir;
  ChmBuilder builder;
  builder.add("/big.bin", std::string(100000, 'q')).add("/next.htm", "next");
  const auto archive = OpenOk(dir.write("x.chm", builder.build()));
  ASSERT_TRUE(archive);
  int calls = 0;
  EXPECT_FALSE(archive->extract(archive->entries()[0], [&](const char*, std::size_t) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
  bool ok = false;
  EXPECT_EQ(Extract(*archive, "next.htm", &ok), "next");  // the archive stays usable
  EXPECT_TRUE(ok);
}

struct PlaceCase {
  const char* name;
  ChmBuilder::Entry entry;
};

class ChmArchiveBadPlace : public ::testing::TestWithParam<PlaceCase> {};

// A declared place past the data fails without delivering anything.
TEST_P(ChmArchiveBadPlace, FailsWithoutBytes) {
  TempDir dir;
  ChmBuilder builder;
  builder.add("/first.htm", "first page").add(GetParam().entry).add("/last.htm", "last page");
  const auto archive = OpenOk(dir.write("p.chm", builder.build()));
  ASSERT_TRUE(archive);
  ASSERT_EQ(archive->entries().size(), 3u);
  std::size_t delivered = 0;
  EXPECT_FALSE(archive->extract(archive->entries()[1], [&](const char*, std::size_t n) {
    delivered += n;
    return true;
  }));
  EXPECT_EQ(delivered, 0u);
  bool ok = false;
  EXPECT_EQ(Extract(*archive, "last.htm", &ok), "last page");
  EXPECT_TRUE(ok);
}

ChmBuilder::Entry Placed(std::optional<std::uint64_t> offset, std::optional<std::uint64_t> length,
                         std::uint64_t section = 0) {
  ChmBuilder::Entry e;
  e.name = "/bad.htm";
  e.content = "bad";
  e.offset = offset;
  e.length = length;
  e.section = section;
  return e;
}

INSTANTIATE_TEST_SUITE_P(
    Places, ChmArchiveBadPlace,
    ::testing::Values(PlaceCase{"LengthPastEnd", Placed(std::nullopt, 1000)},
                      PlaceCase{"OffsetPastEnd", Placed(5000, 3)},
                      PlaceCase{"HugeLength", Placed(std::nullopt, std::uint64_t{1} << 62)},
                      PlaceCase{"HugeOffset", Placed(std::uint64_t{1} << 62, 3)},
                      PlaceCase{"LargestLength", Placed(std::nullopt, (std::uint64_t{1} << 63) - 1)},
                      PlaceCase{"CompressedWithoutSection", Placed(0, 3, 1)},
                      PlaceCase{"CompressedHuge", Placed(0, std::uint64_t{1} << 40, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChmArchive, TruncatedContentFailsOnlyForStreamsCut) {
  TempDir dir;
  ChmBuilder builder;
  builder.add("/a.htm", std::string(100, 'a')).add("/b.htm", std::string(100, 'b'));
  std::string bytes = builder.build();
  bytes.resize(bytes.size() - 50);
  const auto archive = OpenOk(dir.write("t.chm", bytes));
  ASSERT_TRUE(archive);
  bool ok = false;
  EXPECT_EQ(Extract(*archive, "a.htm", &ok), std::string(100, 'a'));
  EXPECT_TRUE(ok);
  Extract(*archive, "b.htm", &ok);
  EXPECT_FALSE(ok);
}

// --- Language ------------------------------------------------------------------

TEST(ChmArchive, LanguageComesFromSystemRecordBeforeHeader) {
  TempDir dir;
  ChmBuilder withSystem = SmallChm();
  withSystem.languageId(0x409).add("/#SYSTEM", ChmBuilder::SystemStream(0x804));
  auto archive = OpenOk(dir.write("s.chm", withSystem.build()));
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->languageId(), 0x804u);

  archive = OpenOk(dir.write("h.chm", SmallChm().languageId(0x411).build()));
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->languageId(), 0x411u);

  ChmBuilder brokenSystem = SmallChm();
  brokenSystem.languageId(0x419).add("/#SYSTEM", std::string("\x03\0\0\0\x04\0\x24\0\x04", 9));
  archive = OpenOk(dir.write("b.chm", brokenSystem.build()));
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->languageId(), 0x419u);
}

TEST(ChmArchive, CompiledChineseFixtureIsSimplifiedChinese) {
  const auto archive = OpenOk(std::string(VELMORA_FIXTURE_DIR) + "/chinese.chm");
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->languageId(), 0x804u);
}

// --- Default topic -------------------------------------------------------------

// A #SYSTEM stream: the version, then each record's code, length and bytes.
std::string SystemRecords(const std::vector<std::pair<std::uint16_t, std::string>>& records) {
  std::string out("\x03\0\0\0", 4);
  for (const auto& [code, data] : records) {
    out += static_cast<char>(code & 0xFF);
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(data.size() & 0xFF);
    out += static_cast<char>(data.size() >> 8);
    out += data;
  }
  return out;
}

TEST(ChmArchive, DefaultTopicComesFromSystemRecordTwo) {
  struct Case {
    const char* name;
    std::string system;  // empty: no #SYSTEM stream
    std::string topic;
  };
  const Case cases[] = {
      {"no #SYSTEM", "", ""},
      {"no topic record", ChmBuilder::SystemStream(0x804), ""},
      {"after the title", SystemRecords({{3, std::string("T\0", 2)}, {2, std::string("sub/page.htm\0", 13)}}),
       "sub/page.htm"},
      {"without its zero", SystemRecords({{2, "index.htm"}}), "index.htm"},
      {"record cut short", SystemRecords({{2, "index.htm"}}).substr(0, 10), ""},
  };
  TempDir dir;
  for (const Case& c : cases) {
    ChmBuilder builder = SmallChm();
    if (!c.system.empty()) builder.add("/#SYSTEM", c.system);
    const auto archive = OpenOk(dir.write("t.chm", builder.build()));
    ASSERT_TRUE(archive) << c.name;
    EXPECT_EQ(archive->defaultTopic(), c.topic) << c.name;
  }
  // chmcmd writes the project's "Default topic".
  const auto compiled = OpenOk(std::string(VELMORA_FIXTURE_DIR) + "/nested.chm");
  ASSERT_TRUE(compiled);
  EXPECT_EQ(compiled->defaultTopic(), "index.htm");
}

}  // namespace
}  // namespace velmora::platform::test
