// velmora-cli search: the exact lines, the limit, exit statuses, messages,
// and where the index goes (the cache folder only).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/cli/CliRun.h"
#include "tests/support/chm/ChmBuilder.h"

namespace {

using velmora::test::CliRun;
using velmora::test::RunCli;
using velmora::test::ScratchFolder;
using velmora::testsupport::ChmBuilder;

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// Every test gets a cache folder of its own in its scratch folder.
class SearchCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CACHE_HOME");
    if (old) m_oldCache = old;
    setenv("XDG_CACHE_HOME", (m_scratch / "cache").c_str(), 1);
  }
  void TearDown() override {
    if (m_oldCache) setenv("XDG_CACHE_HOME", m_oldCache->c_str(), 1);
    else unsetenv("XDG_CACHE_HOME");
  }
  ScratchFolder m_scratch;
  std::optional<std::string> m_oldCache;
};

TEST_F(SearchCommandTest, PrintsOneEscapedLinePerHitBestFirstFromFilesAndFolders) {
  std::filesystem::create_directories(m_scratch / "shelf/sub");
  const std::string upper = m_scratch / "shelf/sub/UPPER.CHM";
  ChmBuilder().add("/a\x01.htm", Page("标题\x02", "正文 函数 这里")).writeTo(upper);
  const std::string lower = m_scratch / "shelf/b.chm";
  ChmBuilder().add("/html/x.htm", Page("函数", "函数 和 函数")).add("/y.htm", Page("无", "别的")).writeTo(lower);
  velmora::test::WriteFile(m_scratch / "shelf/notes.txt", "函数");

  const CliRun run = RunCli({"search", "函数", m_scratch / "shelf"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, lower + "::/html/x.htm\t函数\t[[函数]] [[函数]] 和 [[函数]]\n" + upper +
                         "::/a\\x01.htm\t标题\\x02\t标题\\x02 正文 [[函数]] 这里\n");
  EXPECT_EQ(run.err, "");

  // A file given by name, with another name that is missing.
  const CliRun one = RunCli({"search", "这里", upper, m_scratch / "gone.chm"});
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(one.out, upper + "::/a\\x01.htm\t标题\\x02\t标题\\x02 正文 函数 [[这里]]\n");
  EXPECT_EQ(one.err, "文件不存在：" + (m_scratch / "gone.chm") + "\n");
}

TEST_F(SearchCommandTest, PrintsAHundredHitsUnlessAllAreAsked) {
  ChmBuilder builder;
  for (int i = 0; i < 130; ++i) builder.add("/p" + std::to_string(i) + ".htm", Page("页", "theta"));
  const std::string chm = m_scratch / "many.chm";
  builder.writeTo(chm);
  const auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
  EXPECT_EQ(lines(RunCli({"search", "theta", chm}).out), 100);
  EXPECT_EQ(lines(RunCli({"search", "--all", "theta", chm}).out), 130);
}

TEST_F(SearchCommandTest, ExitStatusesAndMessages) {
  const std::string chm = m_scratch / "a.chm";
  ChmBuilder().add("/a.htm", Page("页", "iota")).writeTo(chm);
  const std::string notChm = velmora::test::WriteFile(m_scratch / "x.chm", "not a help file");
  const std::string hint = "\n运行 velmora-cli --help 查看用法。\n";

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"search", "kappa", chm}, 1, ""},
      {{"search", "iota", chm, notChm}, 0, notChm + "：解释文件失败，可能该文件不是chm文件。\n"},
      {{"search", "iota", notChm}, 2, notChm + "：解释文件失败，可能该文件不是chm文件。\n没有可以读取的CHM文件。\n"},
      {{"search", "iota", m_scratch / "empty"}, 2, "文件不存在：" + (m_scratch / "empty") + "\n没有可以读取的CHM文件。\n"},
      {{"search", "iota"}, 2, "用法错误：search 需要搜索内容和至少一个CHM文件或文件夹" + hint},
      {{"search", " \"\" ", chm}, 2, "用法错误：搜索内容为空" + hint},
      {{"search", "--every", "iota", chm}, 2, "用法错误：未知选项 --every" + hint},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[1];
    EXPECT_EQ(run.err, c.err) << c.args[1];
  }
}

TEST_F(SearchCommandTest, WritesOnlyItsIndexInTheCacheFolder) {
  const std::string chm = m_scratch / "a.chm";
  ChmBuilder().add("/a.htm", Page("页", "lambda")).writeTo(chm);
  ASSERT_EQ(RunCli({"search", "lambda", chm}).status, 0);
  std::vector<std::string> written;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_scratch.path())) {
    written.push_back(std::filesystem::relative(entry.path(), m_scratch.path()).string());
  }
  std::sort(written.begin(), written.end());
  // The log files go when the index is closed.
  EXPECT_EQ(written,
            (std::vector<std::string>{"a.chm", "cache", "cache/velmora", "cache/velmora/search-index.sqlite"}));
  struct stat info {};
  stat((m_scratch / "cache/velmora").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
