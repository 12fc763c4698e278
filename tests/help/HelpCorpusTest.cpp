// The contents and index of every real help file of the shared corpus:
// entry counts, the missing targets its files really have, and names in
// the right encoding (no U+FFFD anywhere: every name's bytes are valid in
// the code page the rules choose).
#include <gtest/gtest.h>

#include <filesystem>

#include "TestPaths.h"
#include "engine/help/HelpListing.h"

namespace {

using namespace velmora::help;

struct CorpusFacts {
  const char* file;
  const char* title;
  std::size_t contents;  // entries listed; 0: no contents file
  std::size_t contentsMissing;
  const char* firstContents;
  std::size_t index;
  std::size_t indexMissing;
  const char* firstKeyword;
};

// Counts as velmora-cli toc/index lists them. Missing targets: 04 points
// into a folder stored under another name, 09 and 19 name pages their
// files do not hold.
const CorpusFacts kFiles[] = {
    {"01-UDFs3CHS.chm", "AutoIt UDFs Help File", 2789, 0, "用户自定义函数", 2729, 0, "用户自定义函数"},
    {"02-AutoHotkey2.0.chm", "AutoHotkey v2 中文帮助", 0, 0, "", 1277, 0, "__Call meta-function"},
    {"03-WINDOWS脚本技术手册.chm", "Windows 脚本技术", 1021, 0, "Windows 脚本技术", 2602, 0, "正则表达式"},
    {"04-用户手册.chm", "", 111, 0, "1 AC入门", 500, 207, "1 Get on with AC"},
    {"05-帮助文档.chm", "New Help", 36, 0, "概要", 0, 0, ""},
    {"06-开发手册.chm", "", 216, 0, "序言", 152, 0, "$ajax"},
    {"07-帮助.chm", "帮助", 6, 0, "帮助", 3, 0, "0.说明"},
    {"08-help.chm", "PbootCMS标签手册—20180831—翱云科技版权所有", 32, 0, "关于我们", 0, 0, ""},
    {"09-PyWin32.chm", "", 4196, 9, "Python for Win32 Extensions Help", 6685, 0, "_winxptheme"},
    {"10-UDFs3.chm", "AutoIt UDFs Help File", 3086, 0, "User Defined Functions Reference", 2979, 0,
     "User Defined Functions Reference"},
    {"11-Documentation.chm", "Riak .NET Client Documentation", 3015, 0, "API Reference", 5667, 0,
     "AcceptChanges method"},
    {"12-sakura.chm", "サクラエディタ ヘルプ", 373, 0, "サクラエディタ ヘルプ目次", 365, 0, "サクラエディタ  ヘルプ目次"},
    {"13-manual-ja.chm", "WinRing0 マニュアル", 65, 0, "WinRing0 について", 60, 0, "WinRing0 について"},
    {"14-Справка.chm", "Координатор", 9, 0, "Главная страница", 0, 0, ""},
    {"15-SQLite Syntax.chm", "SQLite Syntax Help File", 50, 0, "Introduction", 0, 0, ""},
    {"16-NirCmd.chm", "NirCmd", 116, 0, "About NirCmd", 0, 0, ""},
    {"17-fpspreadsheet-wiki.chm", "FPSpreadsheet wiki pages (offline version, created 13.08.2018)", 162, 0,
     "FPSpreadsheet wiki pages", 172, 0, "\"RPN Formulas in FPSpreadsheet\""},
    {"18-zlibar.chm", "ZLib Archive Component", 22, 0, "Classes and Objects, by Unit", 102, 0, "Add"},
    {"19-nvidia-widgets.chm", "nvidia-widgets", 62, 0, "Classes and Objects, by Unit", 577, 20, "Add"},
};

constexpr const char* kReplacement = "\xEF\xBF\xBD";

void Check(HelpFile& file, HelpFolder& folder, SitemapKind kind, std::size_t count, std::size_t missing,
           const std::string& first) {
  const auto listing = ListSitemap(file, folder, kind);
  if (count == 0 && first.empty()) {
    EXPECT_TRUE(!listing || listing->entries.empty());
    return;
  }
  ASSERT_TRUE(listing);
  EXPECT_FALSE(listing->truncated);
  ASSERT_EQ(listing->entries.size(), count);
  EXPECT_EQ(listing->entries[0].name, first);
  std::size_t missingTargets = 0;
  for (const auto& entry : listing->entries) {
    EXPECT_EQ(entry.name.find(kReplacement), std::string::npos) << entry.name;
    for (const auto& topic : entry.topics) {
      EXPECT_EQ(topic.title.find(kReplacement), std::string::npos) << topic.title;
      missingTargets += topic.target.missing ? 1 : 0;
    }
  }
  EXPECT_EQ(missingTargets, missing);
}

TEST(HelpCorpusTest, ContentsAndIndexOfEveryRealFile) {
  const std::string folderPath = std::string(VELMORA_CORPUS_DIR) + "/real";
  if (!std::filesystem::is_directory(folderPath)) GTEST_SKIP() << "no corpus at " << folderPath;
  HelpFolder folder(folderPath);
  for (const auto& facts : kFiles) {
    SCOPED_TRACE(facts.file);
    velmora::platform::ChmArchive::OpenResult result;
    const auto file = HelpFile::Open(folderPath + "/" + facts.file, result);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->facts().title, facts.title);
    Check(*file, folder, SitemapKind::Contents, facts.contents, facts.contentsMissing, facts.firstContents);
    Check(*file, folder, SitemapKind::Index, facts.index, facts.indexMissing, facts.firstKeyword);
  }
}

}  // namespace
