// velmora-cli on the chmcmd-compiled fixtures, through the libmspack storage:
// exact rows, bytes that match the help projects, and listing sizes that
// match what cat delivers.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "TestPaths.h"
#include "tests/cli/CliRun.h"

namespace {

using namespace velmora::test;
namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

std::string Fixture(const std::string& name) { return std::string(VELMORA_FIXTURE_DIR) + "/" + name + ".chm"; }
fs::path Project(const std::string& name) { return fs::path(VELMORA_TEST_SOURCE_DIR) / "fixtures" / name; }

// The files of a help project as chmcmd stores them: all but the project
// file itself, the empty ones too.
Files ProjectFiles(const std::string& name) {
  Files files;
  for (auto& file : FilesBelow(Project(name))) {
    if (fs::path(file.first).extension() != ".hhp") files.push_back(file);
  }
  return files;
}

// chmcmd's own streams, written beside the project's files (its #ITBITS
// is empty).
const std::vector<std::string> kCompilerStreams = {"#IDXHDR", "#ITBITS",  "#STRINGS",
                                                   "#SYSTEM", "$OBJINST", "_#_README_#_"};

Files WithoutCompilerStreams(Files files) {
  files.erase(std::remove_if(files.begin(), files.end(),
                             [](const auto& f) {
                               return std::find(kCompilerStreams.begin(), kCompilerStreams.end(), f.first) !=
                                      kCompilerStreams.end();
                             }),
              files.end());
  return files;
}

// chmcmd stores the contents file toc.hhc twice; both entries are listed,
// as 7-Zip lists them.
TEST(FixtureTest, ListOfNestedShowsEveryLevelAndCategory) {
  CliRun run = RunCli({"list", Fixture("nested")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "#IDXHDR\n#ITBITS\n#STRINGS\n#SYSTEM\n$OBJINST\n_#_README_#_\n"
            "docs\n  index.htm\n  sub\n    deeper\n      deep.htm\n"
            "html\n  empty.htm\n  images\n    .png\n    bitmap.bmp\n    icon.ico\n    logo.gif\n    photo.jpg\n"
            "    photo.tar.GIF\n    pic.png\n  INDEX.HTM\n  macro.vbs\n  page.html\n  script.js\n  style.css\n"
            "index.htm\nmedia\n  clip.avi\n  movie.wmv\n  song.mp3\nnotes.txt\nREADME\ntoc.hhc\ntoc.hhc\ntools\n"
            "  setup.exe\n"
            "解释完成，共37个内容，网页(9)，图片(7)，多媒体(3)，请导出文件。\n");
}

TEST(FixtureTest, ListOfChineseNamesKeepsThemAsUtf8) {
  CliRun run = RunCli({"list", Fixture("chinese")});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "#IDXHDR\n#ITBITS\n#STRINGS\n#SYSTEM\n$OBJINST\n_#_README_#_\n"
            "index.htm\n中文目录\n  子目录\n    页面.htm\n  无声明.htm\n  有声明.htm\n图片\n  标志.gif\n"
            "解释完成，共14个内容，网页(4)，图片(1)，多媒体(0)，请导出文件。\n");
}

class FixtureExtractTest : public ::testing::TestWithParam<const char*> {
 protected:
  ScratchFolder scratch;
};

TEST_P(FixtureExtractTest, EverythingComesBackAsInTheProject) {
  CliRun run = RunCli({"extract", Fixture(GetParam()), "-o", scratch / "out"});
  ASSERT_EQ(run.status, 0) << run.err;
  Files written = FilesBelow(scratch.path() / "out");
  EXPECT_EQ(WithoutCompilerStreams(written), ProjectFiles(GetParam()));
  EXPECT_EQ(written.size(), ProjectFiles(GetParam()).size() + kCompilerStreams.size());
}

INSTANTIATE_TEST_SUITE_P(Projects, FixtureExtractTest, ::testing::Values("nested", "chinese", "guide", "inplace"));

TEST(FixtureTest, PagesAndPicturesOfNested) {
  ScratchFolder scratch;
  CliRun run = RunCli({"extract", Fixture("nested"), "-o", scratch / "out", "-t", "12"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "反编译完成，共37个内容，网页(9)，图片(7)，多媒体(0)。\n");
  std::vector<std::string> names;
  for (const auto& file : FilesBelow(scratch.path() / "out")) names.push_back(file.first);
  EXPECT_EQ(names, (std::vector<std::string>{"docs/index.htm", "docs/sub/deeper/deep.htm", "html/INDEX.HTM",
                                             "html/empty.htm", "html/images/.png", "html/images/bitmap.bmp", "html/images/icon.ico",
                                             "html/images/logo.gif", "html/images/photo.jpg",
                                             "html/images/photo.tar.GIF", "html/images/pic.png", "html/macro.vbs",
                                             "html/page.html", "html/script.js", "html/style.css", "index.htm"}));
}

TEST(FixtureTest, DefaultFolderBesideACopiedChm) {
  ScratchFolder scratch;
  const std::string chm = scratch / "指南.chm";
  fs::copy_file(Fixture("guide"), chm);
  CliRun run = RunCli({"extract", chm});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFile(scratch / "指南.chm_文件内容/index.htm"), ReadFile((Project("guide") / "index.htm").string()));
}

TEST(FixtureTest, CatDeliversGbkPageBytesUnchanged) {
  for (const char* key : {"中文目录\\无声明.htm", "中文目录\\有声明.htm", "中文目录\\子目录\\页面.htm"}) {
    std::string relative = key;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    CliRun run = RunCli({"cat", Fixture("chinese"), key});
    EXPECT_EQ(run.status, 0) << key;
    EXPECT_EQ(run.out, ReadFile((Project("chinese") / relative).string())) << key;
  }
}

// A nested item's key has no leading "\"; with one it names nothing.
TEST(FixtureTest, CatWithLeadingBackslashOnNestedItemFindsNothing) {
  CliRun run = RunCli({"cat", Fixture("chinese"), "\\中文目录\\无声明.htm"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "找不到文件：\\中文目录\\无声明.htm\n");
}

// Every size in the listing is the number of bytes cat delivers for that
// record key, and the lines follow the walk order of list.
TEST(FixtureTest, ListingSizesMatchCatAndRowsMatchList) {
  ScratchFolder scratch;
  const std::string list = scratch / "list.txt";
  CliRun run = RunCli({"listing", "-o", list, Fixture("nested")});
  ASSERT_EQ(run.status, 0);
  const std::string text = ReadFile(list);
  const std::string header = "CHM文件：" + Fixture("nested") + "\r\n";
  ASSERT_EQ(text.compare(0, header.size(), header), 0);
  ASSERT_EQ(text.substr(text.size() - 4), "\r\n\r\n");

  const std::regex line("文件：(.*)\\\\([^\\\\]*)，(这是目录|大小：([0-9]+))\r\n");
  std::string rows;
  std::size_t lines = 0;
  for (std::sregex_iterator it(text.begin() + header.size(), text.end() - 2, line), end; it != end; ++it, ++lines) {
    const std::string path = (*it)[1], name = (*it)[2];
    const std::size_t level = path.empty() ? 1 : 2 + std::count(path.begin(), path.end(), '\\');
    rows += std::string((level - 1) * 2, ' ') + name + "\n";
    if ((*it)[4].matched) {
      CliRun cat = RunCli({"cat", Fixture("nested"), path + "\\" + name});
      EXPECT_EQ(cat.status, 0) << path << "\\" << name;
      EXPECT_EQ(std::to_string(cat.out.size()), (*it)[4].str()) << path << "\\" << name;
    }
  }
  EXPECT_EQ(lines, 37u);
  CliRun listed = RunCli({"list", Fixture("nested")});
  EXPECT_EQ(rows + "解释完成，共37个内容，网页(9)，图片(7)，多媒体(3)，请导出文件。\n", listed.out);
}

TEST(FixtureTest, TruncatedChmIsRefusedAndWritesNothing) {
  ScratchFolder scratch;
  const std::string whole = ReadFile(Fixture("guide"));
  for (std::size_t length : {std::size_t(0), std::size_t(40), std::size_t(0x60), std::size_t(0x200)}) {
    const std::string chm = WriteFile(scratch / "cut.chm", whole.substr(0, length));
    CliRun run = RunCli({"extract", chm, "-o", scratch / "out"});
    EXPECT_EQ(run.status, 1) << length;
    EXPECT_EQ(run.err, "解释文件失败，可能该文件不是chm文件。\n") << length;
    EXPECT_FALSE(fs::exists(scratch.path() / "out")) << length;
  }
}

}  // namespace
