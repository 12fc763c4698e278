// ChmStorageService: the tree of storages and streams a CHM file presents.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "TestPaths.h"
#include "TreeListing.h"
#include "platform/storage/ChmStorageService.h"
#include "tests/support/chm/ChmBuilder.h"

namespace velmora::platform::test {
namespace {

using testsupport::ChmBuilder;
namespace fs = std::filesystem;

std::string Fixture(const std::string& name) { return std::string(VELMORA_FIXTURE_DIR) + "/" + name; }

std::unique_ptr<IStorage> OpenRoot(const std::string& path) {
  std::unique_ptr<IStorage> root;
  EXPECT_EQ(MakeChmStorageService()->StgOpenStorage(path, root), S_OK) << path;
  return root;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// chmcmd's own streams vary in size with its version: show them as "*".
std::string MaskCompilerStreams(const std::string& listing) {
  std::istringstream in(listing);
  std::string out, line;
  while (std::getline(in, line)) {
    if (line[0] == '#' || line[0] == '$' || line.rfind("_#_", 0) == 0) line = line.substr(0, line.rfind(' ')) + " *";
    out += line + "\n";
  }
  return out;
}

TEST(ChmStorageService, NestedFixtureTree) {
  const auto root = OpenRoot(Fixture("nested.chm"));
  ASSERT_TRUE(root);
  // Directory order (chmcmd sorts ignoring case); "::" entries hidden; the
  // compiler's "#" and "$" streams are ordinary root streams.
  EXPECT_EQ(MaskCompilerStreams(ListTree(*root)),
            "#IDXHDR *\n#ITBITS *\n#STRINGS *\n#SYSTEM *\n$OBJINST *\n_#_README_#_ *\n"
            "docs/\n  index.htm 123\n  sub/\n    deeper/\n      deep.htm 93\n"
            "html/\n  empty.htm 0\n  images/\n    .png 69\n    bitmap.bmp 58\n    icon.ico 6\n"
            "    logo.gif 43\n    photo.jpg 22\n    photo.tar.GIF 43\n    pic.png 69\n"
            "  INDEX.HTM 109\n  macro.vbs 15\n  page.html 87\n  script.js 31\n  style.css 22\n"
            "index.htm 96\nmedia/\n  clip.avi 12\n  movie.wmv 8\n  song.mp3 10\n"
            "notes.txt 18\nREADME 31\ntoc.hhc 149\ntoc.hhc 149\ntools/\n  setup.exe 16\n");
}

TEST(ChmStorageService, ChineseFixtureKeepsUtf8Names) {
  const auto root = OpenRoot(Fixture("chinese.chm"));
  ASSERT_TRUE(root);
  const std::string listing = ListTree(*root);
  EXPECT_NE(listing.find("\n中文目录/\n  子目录/\n    页面.htm "), std::string::npos) << listing;
  EXPECT_NE(listing.find("\n  无声明.htm "), std::string::npos) << listing;
  EXPECT_NE(listing.find("\n图片/\n  标志.gif 43\n"), std::string::npos) << listing;
}

// --- Recognising and opening -------------------------------------------------

struct ServiceCase {
  const char* name;
  std::string bytes;  // "<missing>": no file
  HResult isStorage;
  HResult open;
};

class ChmStorageServiceOpen : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(ChmStorageServiceOpen, AnswersLikeTheWindowsService) {
  const ServiceCase& c = GetParam();
  TempDir dir;
  const std::string path = c.bytes == "<missing>" ? dir.file("none.chm") : dir.write("f.chm", c.bytes);
  const auto service = MakeChmStorageService();
  EXPECT_EQ(service->StgIsStorageFile(path), c.isStorage);
  std::unique_ptr<IStorage> root;
  EXPECT_EQ(service->StgOpenStorage(path, root), c.open);
  EXPECT_EQ(root != nullptr, c.open == S_OK);
}

const std::string kValid = ChmBuilder().add("/a.htm", "a").build();

INSTANTIATE_TEST_SUITE_P(
    Files, ChmStorageServiceOpen,
    ::testing::Values(ServiceCase{"Missing", "<missing>", S_FALSE, E_INVALIDHEADER},
                      ServiceCase{"Empty", "", S_FALSE, E_INVALIDHEADER},
                      ServiceCase{"Html", "<html><body>no</body></html>", S_FALSE, E_INVALIDHEADER},
                      ServiceCase{"TruncatedAfterSignature", kValid.substr(0, 100), S_OK, E_READFAULT},
                      ServiceCase{"Valid", kValid, S_OK, S_OK}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChmStorageService, FolderIsNoStorageFile) {
  TempDir dir;
  const std::string folder = dir.file("folder.chm");
  fs::create_directory(folder);
  const auto service = MakeChmStorageService();
  EXPECT_EQ(service->StgIsStorageFile(folder), S_FALSE);
  std::unique_ptr<IStorage> root;
  EXPECT_EQ(service->StgOpenStorage(folder, root), E_INVALIDHEADER);
}

TEST(ChmStorageService, DefaultFactoryMakesTheChmService) {
  const StorageServiceFactory factory = DefaultStorageServiceFactory();
  ASSERT_TRUE(factory);
  const auto service = factory();
  ASSERT_TRUE(service);
  EXPECT_EQ(service->StgIsStorageFile(Fixture("guide.chm")), S_OK);
}

// --- Trees from odd directories ----------------------------------------------

std::size_t CountElements(IStorage& storage) {
  std::unique_ptr<IEnumElements> elements;
  EXPECT_EQ(storage.EnumElements(elements), S_OK);
  std::size_t count = 0;
  ElementStat stat;
  while (elements && elements->Next(stat) == S_OK) {
    ++count;
    std::unique_ptr<IStorage> child;
    if (stat.type == ElementType::Storage && storage.OpenStorage(stat.name, child) == S_OK) count += CountElements(*child);
  }
  return count;
}

struct TreeCase {
  const char* name;
  std::vector<std::string> entries;  // each stored with content "x"
  std::string listing;
};

class ChmStorageTree : public ::testing::TestWithParam<TreeCase> {};

// Names are kept as stored (the engine maps them to safe disk paths); odd
// ones still give a well-defined tree.
TEST_P(ChmStorageTree, BuildsFromEntryNames) {
  TempDir dir;
  ChmBuilder builder;
  for (const std::string& name : GetParam().entries) builder.add(name, "x");
  const auto root = OpenRoot(dir.write("t.chm", builder.build()));
  ASSERT_TRUE(root);
  EXPECT_EQ(ListTree(*root), GetParam().listing);
  // The walk sizes its records with the root's count of every element.
  EXPECT_EQ(root->ElementCountHint(), CountElements(*root));
}

const std::string kLong(300, 'L');

INSTANTIATE_TEST_SUITE_P(
    Names, ChmStorageTree,
    ::testing::Values(
        TreeCase{"FirstAppearanceOrder", {"/b/x.htm", "/a.htm", "/c/d/z.htm", "/b/y.htm", "/c/w.htm"},
                 "b/\n  x.htm 1\n  y.htm 1\na.htm 1\nc/\n  d/\n    z.htm 1\n  w.htm 1\n"},
        TreeCase{"HiddenBookkeeping", {"::DataSpace/NameList", "/#SYSTEM", "/$FIftiMain", "/#STRINGS"},
                 "#SYSTEM 1\n$FIftiMain 1\n#STRINGS 1\n"},
        TreeCase{"OnlyBookkeeping", {"::DataSpace/NameList", "::DataSpace/Storage/MSCompressed/Content"}, ""},
        TreeCase{"ParentComponents", {"/../x.htm", "../../evil.htm"}, "../\n  x.htm 1\n  ../\n    evil.htm 1\n"},
        TreeCase{"EmptyComponent", {"/a//b.htm"}, "a/\n  /\n    b.htm 1\n"},
        TreeCase{"DotComponents", {"/./a.htm", "/b/./c.htm"}, "./\n  a.htm 1\nb/\n  ./\n    c.htm 1\n"},
        TreeCase{"Backslashes", {"/dir\\file.htm", "/\\\\server\\share.htm"},
                 "dir\\file.htm 1\n\\\\server\\share.htm 1\n"},
        TreeCase{"ControlCharacters", {"/a\x01\x1f.htm", "/tab\there.htm", "/line\nbreak.htm"},
                 "a\x01\x1f.htm 1\ntab\there.htm 1\nline\nbreak.htm 1\n"},
        TreeCase{"NulCutsTheName", {std::string("/nul\0tail.htm", 13)}, "nul 1\n"},
        TreeCase{"LongComponents", {"/" + kLong + "/" + kLong + ".htm"}, kLong + "/\n  " + kLong + ".htm 1\n"},
        TreeCase{"WithoutLeadingSlash", {"abs.htm", "/abs.htm", "rel/x.htm"}, "abs.htm 1\nabs.htm 1\nrel/\n  x.htm 1\n"},
        TreeCase{"DuplicateNameListedTwice", {"/a.htm", "/a.htm"}, "a.htm 1\na.htm 1\n"},
        TreeCase{"CaseTwinsBothListed", {"/A.htm", "/a.htm"}, "A.htm 1\na.htm 1\n"},
        TreeCase{"TrailingSlashWithData", {"/dir/"}, "dir/\n"},
        TreeCase{"OnlySlashes", {"//"}, "/\n"},
        TreeCase{"StreamAndStorageOfOneName", {"/a", "/a/b.htm"}, "a 1\na/\n  b.htm 1\n"},
        TreeCase{"Utf8Names", {"/中文/页面.htm", "/Справка.htm"}, "中文/\n  页面.htm 1\nСправка.htm 1\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChmStorageService, TwentyThousandEntries) {
  TempDir dir;
  ChmBuilder builder;
  for (int i = 0; i < 20000; ++i) builder.add("/f" + std::to_string(i % 10) + "/" + std::to_string(i) + ".htm", "x");
  const auto root = OpenRoot(dir.write("many.chm", builder.build()));
  ASSERT_TRUE(root);
  EXPECT_EQ(OpenStreams(*root).size(), 20000u);
  std::unique_ptr<IEnumElements> elements;
  ASSERT_EQ(root->EnumElements(elements), S_OK);
  ElementStat stat;
  int storages = 0;
  while (elements->Next(stat) == S_OK) {
    EXPECT_EQ(stat.type, ElementType::Storage);
    EXPECT_EQ(stat.size, 0u);
    ++storages;
  }
  EXPECT_EQ(storages, 10);
}

// --- Storage operations ------------------------------------------------------

TEST(ChmStorageService, OpensChildrenExactlyOrIgnoringCase) {
  const auto root = OpenRoot(Fixture("nested.chm"));
  ASSERT_TRUE(root);
  std::unique_ptr<IStorage> html;
  ASSERT_EQ(root->OpenStorage("HTML", html), S_OK);
  std::unique_ptr<IStream> stream;
  EXPECT_EQ(html->OpenStream("index.htm", stream), S_OK);  // INDEX.HTM
  EXPECT_EQ(html->OpenStream("images", stream), E_NOTFOUND);  // a storage, not a stream
  std::unique_ptr<IStorage> child;
  EXPECT_EQ(html->OpenStorage("style.css", child), E_NOTFOUND);  // a stream, not a storage
  EXPECT_EQ(root->OpenStorage("nothing", child), E_NOTFOUND);
  EXPECT_EQ(root->OpenStream("::DataSpace", stream), E_NOTFOUND);
  EXPECT_EQ(root->OpenStream("html/page.html", stream), E_NOTFOUND);  // one level at a time
  EXPECT_EQ(root->Stat(), S_OK);
}

// Names listed twice, and names that differ only in case, each open one
// definite element: the exact name first, else the first that matches
// ignoring case, and of a name listed twice the first.
struct OpenCase {
  const char* name;
  const char* storage;  // opened from the root first, "" for the root itself
  const char* stream;
  const char* content;  // null: not found
};

class ChmStorageOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(ChmStorageOpen, FindsTheOneElementOfThatName) {
  TempDir dir;
  ChmBuilder builder;
  builder.add("/same.htm", "same 1").add("/Twin.htm", "Twin").add("/twin.htm", "twin").add("/same.htm", "same 2");
  builder.add("/Docs/a.htm", "Docs a").add("/docs/a.htm", "docs a").add("/docs/b.htm", "docs b");
  builder.add("/docs/Über.htm", "Über").add("/docs/über.htm", "über").add("/twin.htm", "twin 2");
  const auto root = OpenRoot(dir.write("twins.chm", builder.build()));
  ASSERT_TRUE(root);
  const OpenCase& c = GetParam();
  std::unique_ptr<IStorage> folder;
  IStorage* storage = root.get();
  if (*c.storage) {
    ASSERT_EQ(root->OpenStorage(c.storage, folder), S_OK);
    storage = folder.get();
  }
  std::unique_ptr<IStream> stream;
  const HResult hr = storage->OpenStream(c.stream, stream);
  if (!c.content) {
    EXPECT_EQ(hr, E_NOTFOUND);
    return;
  }
  ASSERT_EQ(hr, S_OK);
  std::string bytes;
  ASSERT_EQ(ReadAll(*stream, bytes), S_OK);
  EXPECT_EQ(bytes, c.content);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ChmStorageOpen,
    ::testing::Values(OpenCase{"ListedTwiceOpensTheFirst", "", "same.htm", "same 1"},
                      OpenCase{"ListedTwiceIgnoringCase", "", "SAME.HTM", "same 1"},
                      OpenCase{"ExactTwinBeforeEarlierCaseTwin", "", "twin.htm", "twin"},
                      OpenCase{"ExactUpperTwin", "", "Twin.htm", "Twin"},
                      OpenCase{"NoExactTwinTakesTheFirstInOrder", "", "TWIN.htm", "Twin"},
                      OpenCase{"ExactStorageTwin", "docs", "a.htm", "docs a"},
                      OpenCase{"ExactUpperStorageTwin", "Docs", "a.htm", "Docs a"},
                      OpenCase{"StorageIgnoringCaseTakesTheFirst", "DOCS", "a.htm", "Docs a"},
                      OpenCase{"OnlyInTheOtherStorageTwin", "Docs", "b.htm", nullptr},
                      OpenCase{"Latin1ExactTwin", "docs", "über.htm", "über"},
                      OpenCase{"Latin1IgnoringCase", "docs", "ÜBER.HTM", "Über"},
                      OpenCase{"StorageIsNoStream", "", "docs", nullptr},
                      OpenCase{"PathIsNoName", "", "docs/b.htm", nullptr},
                      OpenCase{"EmptyName", "", "", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChmStorageService, EnumeratorResetsToTheFirstElement) {
  const auto root = OpenRoot(Fixture("guide.chm"));
  ASSERT_TRUE(root);
  std::unique_ptr<IEnumElements> elements;
  ASSERT_EQ(root->EnumElements(elements), S_OK);
  ElementStat first, stat;
  ASSERT_EQ(elements->Next(first), S_OK);
  while (elements->Next(stat) == S_OK) {
  }
  EXPECT_EQ(elements->Next(stat), S_FALSE);
  ASSERT_EQ(elements->Reset(), S_OK);
  ASSERT_EQ(elements->Next(stat), S_OK);
  EXPECT_EQ(stat.name, first.name);
}

TEST(ChmStorageService, StreamOutlivesItsStorageAndService) {
  std::unique_ptr<IStream> stream;
  {
    auto service = MakeChmStorageService();
    std::unique_ptr<IStorage> root;
    ASSERT_EQ(service->StgOpenStorage(Fixture("guide.chm"), root), S_OK);
    std::unique_ptr<IStorage> images;
    ASSERT_EQ(root->OpenStorage("images", images), S_OK);
    ASSERT_EQ(images->OpenStream("logo.gif", stream), S_OK);
  }
  std::string bytes;
  EXPECT_EQ(ReadAll(*stream, bytes), S_OK);
  EXPECT_EQ(bytes.substr(0, 6), "GIF89a");
}

// --- Stream contents ---------------------------------------------------------

class ChmFixtureContents : public ::testing::TestWithParam<const char*> {};

// Every file of a compiled project comes back byte for byte.
TEST_P(ChmFixtureContents, EqualTheProjectFiles) {
  const std::string name = GetParam();
  const fs::path project = fs::path(VELMORA_TEST_SOURCE_DIR) / "fixtures" / name;
  const auto root = OpenRoot(Fixture(name + ".chm"));
  ASSERT_TRUE(root);
  int compared = 0;
  for (const auto& item : fs::recursive_directory_iterator(project)) {
    if (!item.is_regular_file() || item.path().extension() == ".hhp") continue;
    const std::string relative = fs::relative(item.path(), project).generic_string();
    const auto stream = OpenPath(*root, relative);
    ASSERT_TRUE(stream) << relative;
    std::string bytes;
    ASSERT_EQ(ReadAll(*stream, bytes), S_OK) << relative;
    EXPECT_EQ(bytes, ReadFile(item.path())) << relative;
    EXPECT_EQ(stream->Length(), bytes.size()) << relative;
    ++compared;
  }
  EXPECT_GE(compared, 3);
}

INSTANTIATE_TEST_SUITE_P(Projects, ChmFixtureContents,
                         ::testing::Values("nested", "chinese", "guide", "inplace"));

TEST(ChmStorageService, CopyReportsSinkRefusalAndReadFaults) {
  TempDir dir;
  ChmBuilder builder;
  ChmBuilder::Entry pastEnd;
  pastEnd.name = "/past.htm";
  pastEnd.length = 100000;
  builder.add("/a.htm", std::string(5000, 'a')).add(pastEnd);
  const auto root = OpenRoot(dir.write("c.chm", builder.build()));
  ASSERT_TRUE(root);
  std::unique_ptr<IStream> stream;
  ASSERT_EQ(root->OpenStream("a.htm", stream), S_OK);
  EXPECT_EQ(stream->CopyTo([](const char*, std::size_t) { return false; }), E_FAIL);
  ASSERT_EQ(root->OpenStream("past.htm", stream), S_OK);
  EXPECT_EQ(stream->Length(), 100000u);
  std::string bytes;
  EXPECT_EQ(ReadAll(*stream, bytes), E_READFAULT);
}

// chmcmd stores #SYSTEM and _#_README_#_ in section 0 and the pages in the
// LZX section in project order: the order key must put them that way.
TEST(ChmStorageService, OrderKeyFollowsThePlaceInTheFile) {
  const auto root = OpenRoot(Fixture("nested.chm"));
  ASSERT_TRUE(root);
  std::vector<StreamVisit> visits;
  for (const auto& opened : OpenStreams(*root)) {
    if (opened.visit.length > 0) visits.push_back(opened.visit);
  }
  std::stable_sort(visits.begin(), visits.end(),
                   [](const StreamVisit& a, const StreamVisit& b) { return a.orderKey < b.orderKey; });
  ASSERT_GE(visits.size(), 2u);
  EXPECT_EQ(visits[0].path, "_#_README_#_");
  EXPECT_EQ(visits[1].path, "#SYSTEM");

  std::vector<std::string> projectOrder;
  std::ifstream hhp(fs::path(VELMORA_TEST_SOURCE_DIR) / "fixtures/nested/nested.hhp");
  std::string line;
  bool inFiles = false;
  while (std::getline(hhp, line)) {
    if (inFiles && !line.empty() && line != "html/empty.htm") projectOrder.push_back(line);
    inFiles = inFiles || line == "[FILES]";
  }
  std::vector<std::string> keyOrder;
  for (const auto& v : visits) {
    const bool listed = std::find(projectOrder.begin(), projectOrder.end(), v.path) != projectOrder.end();
    // chmcmd stores the table of contents a second time, right after the first.
    if (listed && (keyOrder.empty() || keyOrder.back() != v.path)) keyOrder.push_back(v.path);
  }
  EXPECT_EQ(keyOrder, projectOrder);
}

// Walk order and file order give the same bytes; the decoder restarts only
// in walk order.
TEST(ChmStorageService, WalkOrderAndFileOrderGiveTheSameBytes) {
  const auto root = OpenRoot(Fixture("manychunks.chm"));
  ASSERT_TRUE(root);
  std::vector<OpenedStream> streams = OpenStreams(*root);
  std::map<std::string, std::string> walked;
  for (const auto& s : streams) ASSERT_EQ(ReadAll(*s.stream, walked[s.visit.path]), S_OK) << s.visit.path;
  std::sort(streams.begin(), streams.end(),
            [](const OpenedStream& a, const OpenedStream& b) { return a.visit.orderKey < b.visit.orderKey; });
  for (const auto& s : streams) {
    std::string bytes;
    ASSERT_EQ(ReadAll(*s.stream, bytes), S_OK) << s.visit.path;
    EXPECT_EQ(bytes, walked[s.visit.path]) << s.visit.path;
  }
  EXPECT_GE(streams.size(), 600u);
}

}  // namespace
}  // namespace velmora::platform::test
