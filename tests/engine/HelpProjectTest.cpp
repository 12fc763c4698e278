// The help project rebuilt from a CHM file's records: #SYSTEM, #WINDOWS and
// #STRINGS read from crafted bytes (also truncated and lying ones), the
// project file's text, code pages and the choice of files.
#include <gtest/gtest.h>

#include "engine/HelpProject.h"
#include "engine/help/TextEncoding.h"
#include "platform/storage/ChmArchive.h"
#include "tests/engine/TempFolder.h"
#include "tests/support/chm/ChmBuilder.h"

namespace {

using namespace velmora::engine;
namespace help = velmora::help;
using velmora::testsupport::ChmBuilder;

void Put16(std::string& out, std::uint32_t v) {
  out += char(v & 0xFF);
  out += char((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
std::string Record(std::uint16_t code, const std::string& data) {
  std::string out;
  Put16(out, code);
  Put16(out, static_cast<std::uint32_t>(data.size()));
  return out + data;
}
std::string Text(const std::string& text) { return text + std::string(1, '\0'); }
std::string LanguageRecord(std::uint32_t lcid, std::uint32_t fullText, std::size_t size = 36) {
  std::string data;
  Put32(data, lcid);
  Put32(data, 0);
  Put32(data, fullText);
  data.resize(size, '\0');
  return Record(4, data);
}
std::string Version() {
  std::string out;
  Put32(out, 3);
  return out;
}

TEST(HelpProjectTest, SystemRecordsAreReadUpToTheFirstBrokenRecord) {
  const std::string full = Version() + Record(0, Text("toc.hhc")) + Record(1, Text("index.hhk")) +
                           Record(2, Text("intro.htm")) + Record(3, Text("\xD6\xD0\xCE\xC4")) +  // GBK 中文
                           LanguageRecord(0x804, 1) + Record(5, Text("main")) + Record(6, Text("help")) +
                           Record(9, Text("HHA Version 4.74.8702")) + Record(16, Text("Arial,8,0"));
  SystemRecords s = ParseSystemStream(full);
  EXPECT_EQ(s.contentsFile, "toc.hhc");
  EXPECT_EQ(s.indexFile, "index.hhk");
  EXPECT_EQ(s.defaultTopic, "intro.htm");
  EXPECT_EQ(s.title, "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(s.lcid, 0x804u);
  EXPECT_TRUE(s.fullTextSearch);
  EXPECT_EQ(s.defaultWindow, "main");
  EXPECT_EQ(s.compiledFile, "help");
  EXPECT_EQ(s.defaultFont, "Arial,8,0");

  struct Case {
    const char* what;
    std::string bytes;
    std::optional<std::string> title;
    std::optional<std::uint32_t> lcid;
    bool fullText;
  };
  const std::string title = Record(3, Text("T"));
  std::string lying = Record(3, "");
  lying[2] = char(0xFF);  // declares 255 bytes, has none
  const Case cases[] = {
      {"empty", "", std::nullopt, std::nullopt, false},
      {"version only, cut", Version().substr(0, 3), std::nullopt, std::nullopt, false},
      {"title without zero", Version() + Record(3, "Title"), "Title", std::nullopt, false},
      {"record longer than the stream", Version() + title + lying + LanguageRecord(0x409, 0), "T", std::nullopt,
       false},
      {"record header cut", Version() + title + title.substr(0, 3), "T", std::nullopt, false},
      {"language record of 3 bytes", Version() + LanguageRecord(0x409, 1, 3), std::nullopt, std::nullopt, false},
      {"language record without search field", Version() + LanguageRecord(0x409, 1, 8), std::nullopt, 0x409u,
       false},
  };
  for (const auto& c : cases) {
    SystemRecords r = ParseSystemStream(c.bytes);
    EXPECT_EQ(r.title, c.title) << c.what;
    EXPECT_EQ(r.lcid, c.lcid) << c.what;
    EXPECT_EQ(r.fullTextSearch, c.fullText) << c.what;
  }
}

// #STRINGS starts with a zero byte, so offset 0 means "no text".
struct Strings {
  std::string bytes = std::string(1, '\0');
  std::uint32_t add(const std::string& text) {
    const auto offset = static_cast<std::uint32_t>(bytes.size());
    bytes += Text(text);
    return offset;
  }
};

std::string WindowEntry(std::uint32_t name, std::uint32_t caption, std::uint32_t toc, std::uint32_t file,
                        std::uint32_t size = 0x188) {
  std::string e(size, '\0');
  auto at = [&e](std::size_t offset, std::uint32_t value) {
    std::string v;
    Put32(v, value);
    if (offset + 4 <= e.size()) e.replace(offset, 4, v);
  };
  at(0x00, size);
  at(0x08, name);
  at(0x0C, 0x2 | 0x10 | 0x20 | 0x100);  // properties, position, pane width, buttons
  at(0x10, 0x23520);
  at(0x14, caption);
  at(0x20, 10);
  at(0x24, 20);
  at(0x28, 800);
  at(0x2C, 600);
  at(0x4C, 250);
  at(0x60, toc);
  at(0x68, file);
  at(0x6C, file);
  at(0x70, 0x3006);
  return e;
}

std::string WindowsStream(std::uint32_t count, std::uint32_t entrySize, const std::string& entries) {
  std::string out;
  Put32(out, count);
  Put32(out, entrySize);
  return out + entries;
}

TEST(HelpProjectTest, WindowsTakeTheirTextsFromStrings) {
  Strings strings;
  const std::uint32_t name = strings.add("main"), caption = strings.add("Help \"one\""), toc = strings.add("toc.hhc"),
                      file = strings.add("index.htm");
  const std::string entry = WindowEntry(name, caption, toc, file);

  auto windows = ParseWindowsStream(WindowsStream(1, 0x188, entry), strings.bytes);
  ASSERT_EQ(windows.size(), 1u);
  HelpProject project;
  project.windows = windows;
  const std::string text = HelpProjectText(project);
  EXPECT_NE(text.find("\r\n[WINDOWS]\r\nmain=\"Help 'one'\",\"toc.hhc\",\"\",\"index.htm\",\"index.htm\",\"\",\"\",\"\","
                      "\"\",0x23520,250,0x3006,[10,20,800,600],,,,,,,0\r\n"),
            std::string::npos)
      << text;

  struct Case {
    const char* what;
    std::string windows;
    std::string strings;
    std::size_t count;
    std::string caption;  // of the first window
  };
  const std::string unnamed = WindowEntry(0, caption, toc, file);
  const Case cases[] = {
      {"count larger than the entries", WindowsStream(0xFFFFFFFF, 0x188, entry + entry), strings.bytes, 2,
       "Help \"one\""},
      {"last entry cut", WindowsStream(2, 0x188, entry + entry.substr(0, 0x100)), strings.bytes, 1, "Help \"one\""},
      {"entry size below the fields", WindowsStream(1, 0x40, entry), strings.bytes, 0, ""},
      {"entry size past the stream", WindowsStream(1, 0x7FFFFFFF, entry), strings.bytes, 0, ""},
      {"header cut", WindowsStream(1, 0x188, "").substr(0, 6), strings.bytes, 0, ""},
      {"unnamed window", WindowsStream(2, 0x188, unnamed + entry), strings.bytes, 1, "Help \"one\""},
      {"strings cut inside the caption", WindowsStream(1, 0x188, entry), strings.bytes.substr(0, caption + 4), 1,
       "Help"},
      {"caption offset past strings", WindowsStream(1, 0x188, WindowEntry(name, 0xFFFFFFF0, toc, file)),
       strings.bytes, 1, ""},
  };
  for (const auto& c : cases) {
    auto w = ParseWindowsStream(c.windows, c.strings);
    EXPECT_EQ(w.size(), c.count) << c.what;
    if (!w.empty()) EXPECT_EQ(w[0].caption, c.caption) << c.what;
  }
}

TEST(HelpProjectTest, StoredTextsCannotAddLinesOrSections) {
  HelpProject project;
  project.compiledFile = "a.chm";
  project.system.title = "Title\r\n[FILES]\r\nevil.htm";
  project.system.defaultTopic = "a.htm";
  project.lcid = 0x409;
  project.files = {"a.htm"};
  EXPECT_EQ(HelpProjectText(project),
            "[OPTIONS]\r\nCompiled file=a.chm\r\nDefault topic=a.htm\r\nLanguage=0x409 English (United States)\r\n"
            "Title=Title  [FILES]  evil.htm\r\n\r\n[FILES]\r\na.htm\r\n");
}

TEST(HelpProjectTest, LanguageIsWrittenInTheHelpFilesCodePage) {
  struct Case {
    std::uint32_t lcid;
    const char* codePage;
    std::string value;  // UTF-8
  };
  const Case cases[] = {
      {0x804, "GBK", "0x804 中文(简体，中国)"},       {0x404, "BIG5", "0x404 中文(繁體，台灣)"},
      {0x411, "CP932", "0x411 日本語 (日本)"},         {0x419, "CP1251", "0x419 Русский (Россия)"},
      {0x40C, "CP1252", "0x40c Français (France)"},     {0x415, "CP1250", "0x415 Polski (Polska)"},
      {0x408, "CP1253", "0x408"},                        {0x7F, "CP1252", "0x7f"},
  };
  for (const auto& c : cases) {
    const std::string value = LanguageValue(c.lcid);
    EXPECT_EQ(help::ConvertText(value, c.codePage, "UTF-8"), c.value) << std::hex << c.lcid;
  }
  EXPECT_EQ(LanguageValue(0x804).substr(6), "\xD6\xD0\xCE\xC4(\xBC\xF2\xCC\xE5\xA3\xAC\xD6\xD0\xB9\xFA)");
}

TEST(HelpProjectTest, CompilerStreamsAndDiskNames) {
  struct Case {
    cCHMItemInfo item;
    bool compiler;
    std::string disk;
  };
  auto item = [](std::string path, std::string name) {
    cCHMItemInfo i;
    i.Path = std::move(path);
    i.Name = std::move(name);
    return i;
  };
  const Case cases[] = {
      {item("", "#SYSTEM"), true, "#SYSTEM"},
      {item("", "$FIftiMain"), true, "$FIftiMain"},
      {item("$WWKeywordLinks", "BTree"), true, "$WWKeywordLinks/BTree"},
      {item("", "_#_README_#_"), true, "_#_README_#_"},
      {item("html", "#anchor.htm"), false, "html/#anchor.htm"},
      {item("html\\sub", "a.htm"), false, "html/sub/a.htm"},
      {item("", ".."), false, "_.."},
      {item("..", "a.htm"), false, "_../a.htm"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsCompilerStream(c.item), c.compiler) << c.disk;
    EXPECT_EQ(ItemDiskName(c.item), c.disk);
  }
}

TEST(HelpProjectTest, ContentsAndIndexComeFromTheFilesWritten) {
  velmora::test::TempFolder folder;
  Strings strings;
  const std::uint32_t name = strings.add("main");
  const std::string system = Version() + Record(0, Text("\\Help\\TOC.HHC")) + Record(1, Text("gone.hhk")) +
                             Record(3, Text("Title")) + LanguageRecord(0x411, 0) + Record(5, Text("other"));
  const std::string chm = folder / "a.chm";
  ASSERT_TRUE(ChmBuilder()
                  .add("/#SYSTEM", system)
                  .add("/#WINDOWS", WindowsStream(1, 0x188, WindowEntry(name, 0, 0, 0)))
                  .add("/#STRINGS", strings.bytes)
                  .add("/$FIftiMain", "x")
                  .writeTo(chm));
  velmora::platform::ChmArchive::OpenResult result;
  auto archive = velmora::platform::ChmArchive::Open(chm, result);
  ASSERT_TRUE(archive);

  const std::vector<std::string> files = {"a.htm", "sub/keys.hhk", "help/toc.hhc", "other.hhk"};
  HelpProject project = ReadHelpProject(*archive, "a.chm", files);
  EXPECT_EQ(project.contentsFile, "help/toc.hhc");  // named by #SYSTEM, case ignored
  EXPECT_EQ(project.indexFile, "other.hhk");        // #SYSTEM's is not there: the first at the top
  EXPECT_EQ(project.files, (std::vector<std::string>{"a.htm", "sub/keys.hhk"}));
  EXPECT_EQ(project.lcid, 0x411u);
  EXPECT_TRUE(project.fullTextSearch);  // from $FIftiMain
  ASSERT_EQ(project.windows.size(), 1u);
  EXPECT_FALSE(project.system.defaultWindow);  // "other" is not defined

  HelpProject bare = ReadHelpProject(*archive, "a.chm", {"a.htm"});
  const std::string text = HelpProjectText(bare);
  EXPECT_EQ(text.find("Contents file"), std::string::npos);
  EXPECT_EQ(text.find("Index file"), std::string::npos);
}

}  // namespace
