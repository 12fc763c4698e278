// Local values as help files write them, resolved against a built CHM file:
// every spelling of a stored page finds it, nothing leaves the file, and no
// scheme but the web's is a target.
#include <gtest/gtest.h>

#include "engine/help/HelpFile.h"
#include "tests/engine/TempFolder.h"
#include "tests/help/HelpRecords.h"
#include "tests/support/chm/ChmBuilder.h"

namespace {

using namespace velmora::help;
using velmora::test::TempFolder;

std::unique_ptr<HelpFile> OpenBuilt(const velmora::testsupport::ChmBuilder& builder, const std::string& path) {
  if (!builder.writeTo(path)) return nullptr;
  velmora::platform::ChmArchive::OpenResult result;
  return HelpFile::Open(path, result);
}

TEST(HelpTargetTest, LocalValuesResolveInsideTheFile) {
  TempFolder folder;
  velmora::testsupport::ChmBuilder builder;
  builder.add("/#SYSTEM", velmora::test::SystemRecords(0x804, {{6, "Compiled"}}))
      .add("/html/a.htm", "a")
      .add("/html/sub/b.htm", "b")
      .add("/中文/页.htm", "c")
      .add("/a b.htm", "d")
      .add("/Upper.HTM", "e")
      .add("/etc/passwd", "f");
  const auto file = OpenBuilt(builder, folder / "own.chm");
  ASSERT_TRUE(file);

  using Kind = Target::Kind;
  struct Case {
    std::string local;
    Kind kind;
    std::string text;
    bool missing;
  };
  const Case cases[] = {
      {"a.htm", Kind::Page, "/html/a.htm", false},
      {"sub\\b.htm#x", Kind::Page, "/html/sub/b.htm#x", false},
      {" ./sub/../A.HTM?q=1#y ", Kind::Page, "/html/a.htm#y", false},
      {"/a b.htm", Kind::Page, "/a b.htm", false},
      {"../a%20b.htm", Kind::Page, "/a b.htm", false},
      {"../%E4%B8%AD%E6%96%87/%E9%A1%B5.htm", Kind::Page, "/中文/页.htm", false},
      {"../%D6%D0%CE%C4/%D2%B3.htm", Kind::Page, "/中文/页.htm", false},  // %-encoded GBK
      {"..\\upper.htm", Kind::Page, "/Upper.HTM", false},
      {"missing.htm#m", Kind::Page, "/html/missing.htm#m", true},
      // Nothing climbs out of the file: "/etc/passwd" is the stored one.
      {"../../../../etc/passwd", Kind::Page, "/etc/passwd", false},
      {"../../../../etc/shadow", Kind::Page, "/etc/shadow", true},
      {"%2e%2e/%2e%2e/../x.htm", Kind::Page, "/html/%2e%2e/x.htm", true},
      // This file by its name, the name it was compiled as, and in any case.
      {"mk:@MSITStore:own.chm::/html/a.htm", Kind::Page, "/html/a.htm", false},
      {"mk:@MSITStore:C:\\Help\\OWN.CHM::html\\a.htm", Kind::Page, "/html/a.htm", false},
      {"ms-its:compiled.chm::/html/sub/b.htm#z", Kind::Page, "/html/sub/b.htm#z", false},
      // Another CHM file: its name, the path normalised, checked later.
      {"ms-its:other.chm::/x/../y.htm#z", Kind::Page, "other.chm::/y.htm#z", false},
      {"MK:@MSITStore:..\\..\\Other.chm::\\a.htm", Kind::Page, "Other.chm::/a.htm", false},
      {"http://example.com/a.htm", Kind::Web, "http://example.com/a.htm", false},
      {"HTTPS://example.com", Kind::Web, "HTTPS://example.com", false},
      {"javascript:alert(1)", Kind::Refused, "", false},
      {"JavaScript:void(0)", Kind::Refused, "", false},
      {"file:///etc/passwd", Kind::Refused, "", false},
      {"vbscript:x", Kind::Refused, "", false},
      {"C:\\Windows\\a.htm", Kind::Refused, "", false},
      {"ms-its:other.chm", Kind::Refused, "", false},
      {"#top", Kind::Refused, "", false},
      {"", Kind::None, "", false},
      {" \t", Kind::None, "", false},
  };
  for (const auto& c : cases) {
    const Target target = file->Resolve(c.local, "/html/");
    EXPECT_EQ(target.kind, c.kind) << c.local;
    EXPECT_EQ(target.Text(), c.text) << c.local;
    EXPECT_EQ(target.missing, c.missing) << c.local;
  }

  // Another file's page is looked up there, and missing without the file.
  Target other = file->Resolve("ms-its:other.chm::/HTML/A.htm", "/");
  ResolveInOtherFile(&file->archive(), "GBK", other);
  EXPECT_EQ(other.Text(), "other.chm::/html/a.htm");
  EXPECT_FALSE(other.missing);
  other = file->Resolve("ms-its:other.chm::/html/a.htm", "/");
  ResolveInOtherFile(nullptr, "GBK", other);
  EXPECT_TRUE(other.missing);
}

TEST(HelpTargetTest, FactsFromSystemElseTheWindowElseTheStoredFile) {
  using velmora::test::SystemRecords;
  using velmora::test::WindowRecords;
  TempFolder folder;
  struct Case {
    const char* what;
    velmora::testsupport::ChmBuilder builder;
    std::string contents;
    FoundBy contentsBy;
    std::string index;
    FoundBy indexBy;
  };
  const auto [windows, strings] = WindowRecords("win.hhc", "html\\win.hhk");
  std::vector<Case> cases(4);
  cases[0] = {"#SYSTEM names both, in its code page and with \\", {}, "/html/目录.hhc", FoundBy::System,
              "/html/索引.hhk", FoundBy::System};
  cases[0].builder
      .add("/#SYSTEM", SystemRecords(0x804, {{0, "html\\\xC4\xBF\xC2\xBC.hhc"}, {1, "/html/\xCB\xF7\xD2\xFD.hhk"}}))
      .add("/#WINDOWS", windows)
      .add("/#STRINGS", strings)
      .add("/html/目录.hhc", "")
      .add("/html/索引.hhk", "")
      .add("/win.hhc", "")
      .add("/html/win.hhk", "");
  cases[1] = {"#SYSTEM names files not stored: the window's", {}, "/win.hhc", FoundBy::DefaultWindow,
              "/html/win.hhk", FoundBy::DefaultWindow};
  cases[1].builder.add("/#SYSTEM", SystemRecords(0x409, {{0, "gone.hhc"}, {1, "gone.hhk"}}))
      .add("/#WINDOWS", windows)
      .add("/#STRINGS", strings)
      .add("/Win.HHC", "")
      .add("/html/win.hhk", "");
  cases[1].contents = "/Win.HHC";
  cases[2] = {"no records: the stored file, one at the top first", {}, "/top.hhc", FoundBy::OnlyStored,
              "/sub/only.hhk", FoundBy::OnlyStored};
  cases[2].builder.add("/a/deep.hhc", "").add("/top.hhc", "").add("/sub/only.hhk", "");
  cases[3] = {"none at all", {}, "", FoundBy::None, "", FoundBy::None};
  cases[3].builder.add("/#SYSTEM", SystemRecords(0x804, {})).add("/a.htm", "").add("/#IDXHDR.hhk", "");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto file = OpenBuilt(cases[i].builder, folder / ("f" + std::to_string(i) + ".chm"));
    ASSERT_TRUE(file) << cases[i].what;
    EXPECT_EQ(file->facts().contentsFile, cases[i].contents) << cases[i].what;
    EXPECT_EQ(file->facts().contentsFoundBy, cases[i].contentsBy) << cases[i].what;
    EXPECT_EQ(file->facts().indexFile, cases[i].index) << cases[i].what;
    EXPECT_EQ(file->facts().indexFoundBy, cases[i].indexBy) << cases[i].what;
  }

  // Title and topic in the code page of #SYSTEM's language, not the
  // header's; a stored name is found even when its bytes happen to be valid
  // UTF-8 too (GBK D2 B3 is 页, as UTF-8 U+04B3).
  velmora::testsupport::ChmBuilder builder;
  builder.languageId(0x409).add(
      "/#SYSTEM", SystemRecords(0x804, {{3, "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2"}, {2, "\xD2\xB3.htm#a"}, {6, "name"}}))
      .add("/页.htm", "");
  const auto file = OpenBuilt(builder, folder / "title.chm");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->facts().lcid, 0x804u);
  EXPECT_EQ(file->facts().codePage, "GBK");
  EXPECT_EQ(file->facts().title, "中文标题");
  EXPECT_EQ(file->facts().defaultTopic, "/页.htm#a");
  EXPECT_EQ(file->facts().compiledFile, "name");
}

TEST(HelpTargetTest, AnEncodingTheUserChoseOverridesTheRules) {
  // GBK names under a language that says Western: the rules read CP1252.
  TempFolder folder;
  velmora::testsupport::ChmBuilder builder;
  builder.add("/#SYSTEM", velmora::test::SystemRecords(0x409, {{0, "t.hhc"}, {3, "\xD6\xD0\xCE\xC4\xB1\xEA\xCC\xE2"}}))
      .add("/t.hhc", velmora::test::SitemapHtml({"0 \xD6\xD0\xCE\xC4 %D6%D0.htm"}))
      .add("/中.htm", "");
  const auto file = OpenBuilt(builder, folder / "t.chm");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->facts().title, "ÖÐÎÄ±êÌâ");
  EXPECT_EQ(file->ReadContents()->entries.at(0).name, "ÖÐÎÄ");

  file->setCharset("GBK");
  EXPECT_EQ(file->facts().title, "中文标题");
  const auto contents = file->ReadContents();
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->entries.at(0).name, "中文");
  EXPECT_EQ(file->Resolve(contents->entries[0].topics.at(0).local, "/").Text(), "/中.htm");

  file->setCharset("");
  EXPECT_EQ(file->ReadContents()->entries.at(0).name, "ÖÐÎÄ");
}

}  // namespace
