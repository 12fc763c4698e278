// The index over time: a file changed, deleted, damaged; the index file
// damaged; two processes at once; a cancelled update.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "engine/search/ShelfSearch.h"
#include "tests/search/SearchTestFolder.h"
#include "tests/support/chm/ChmBuilder.h"

namespace {

using velmora::search::FileStatus;
using velmora::search::ShelfSearch;
using velmora::test::SearchTestFolder;
using velmora::testsupport::ChmBuilder;

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// A CHM file whose pages hold the given bodies ("/p0.htm", "/p1.htm", ...).
void WriteChm(const std::string& path, const std::vector<std::string>& bodies) {
  ChmBuilder builder;
  for (std::size_t i = 0; i < bodies.size(); ++i) builder.add("/p" + std::to_string(i) + ".htm", Page("页", bodies[i]));
  ASSERT_TRUE(builder.writeTo(path));
}

std::vector<std::string> PathsFound(ShelfSearch& shelf, const std::string& query, const std::vector<std::string>& chms) {
  std::vector<std::string> paths;
  for (const auto& hit : shelf.search(query, chms, 0)) paths.push_back(hit.chmPath + "::" + hit.path);
  return paths;
}

std::int64_t FilesIndexed(const std::string& indexFile) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(indexFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT count(*) FROM files", -1, &statement, nullptr);
  const std::int64_t count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return count;
}

TEST(ShelfSearchTest, RanksTitleHitsFirstThenHitCountAndMarksTheHits) {
  SearchTestFolder folder;
  const std::string chm = folder / "a.chm";
  ChmBuilder()
      .add("/once.htm", Page("其他", "说明 函数 一次"))
      .add("/twice.htm", Page("其他", "函数 和 函数"))
      .add("/title.htm", Page("函数参考", "目录"))
      .add("/none.htm", Page("其他", "函 数 分开"))
      .writeTo(chm);
  ShelfSearch shelf(folder.indexFile());
  shelf.update({chm}, {});
  EXPECT_EQ(PathsFound(shelf, "函数", {chm}),
            (std::vector<std::string>{chm + "::/title.htm", chm + "::/twice.htm", chm + "::/once.htm"}));
  const auto hits = shelf.search("函数", {chm}, 2);
  EXPECT_EQ(hits[0].title, "函数参考");
  EXPECT_EQ(velmora::search::MarkedText(hits[1].snippet, "[", "]"), "其他 [函数] 和 [函数]");
  EXPECT_TRUE(hits[2].snippet.text.empty());  // beyond the two asked for
}

TEST(ShelfSearchTest, APageWithoutATitleTakesItsContentsEntryName) {
  SearchTestFolder folder;
  const std::string chm = folder / "a.chm";
  const std::string toc =
      "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"&#20837;&#38376;\">"
      "<param name=\"Local\" value=\"html\\Intro.htm#top\"></object>"
      "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Not this\">"
      "<param name=\"Local\" value=\"titled.htm\"></object></ul>";
  ChmBuilder()
      .add("/toc.hhc", toc)
      .add("/html/intro.htm", "<p>zeta one</p>")
      .add("/titled.htm", Page("Own title", "zeta two"))
      .add("/loose.htm", "<p>zeta three</p>")
      .writeTo(chm);
  ShelfSearch shelf(folder.indexFile());
  shelf.update({chm}, {});
  std::map<std::string, std::string> titles;
  for (const auto& hit : shelf.search("zeta", {chm}, 0)) titles[hit.path] = hit.title;
  EXPECT_EQ(titles, (std::map<std::string, std::string>{
                        {"/html/intro.htm", "入门"}, {"/titled.htm", "Own title"}, {"/loose.htm", ""}}));
}

TEST(ShelfSearchTest, ShortAndLongQueriesFindTextAtEitherEndOfAPage) {
  // Each page's text is its title "页", a blank and its body.
  SearchTestFolder folder;
  const std::string chm = folder / "ends.chm";
  WriteChm(chm, {"库", "函数", "ab", "xyz", "数x", "Ｆｏｏ库"});
  ShelfSearch shelf(folder.indexFile());
  shelf.update({chm}, {});
  const std::vector<std::pair<const char*, std::size_t>> queries = {
      {"库", 2}, {"函数", 1}, {"数", 2}, {"b", 1}, {"AB", 1}, {"yz", 1}, {"xyz", 1}, {"页 xyz", 1},
      {"\"页 xyz\"", 1}, {"foo库", 1}, {"ｆｏｏ", 1}, {"函数库", 0}, {"xyzw", 0}};
  for (const auto& [query, count] : queries) EXPECT_EQ(PathsFound(shelf, query, {chm}).size(), count) << query;
}

TEST(ShelfSearchTest, AChangedFileIsIndexedAgainAndAVanishedOneForgotten) {
  SearchTestFolder folder;
  const std::string chm = folder / "shelf.chm";
  const std::string other = folder / "other.chm";
  WriteChm(chm, {"旧的内容 alpha"});
  WriteChm(other, {"别的 beta"});
  ShelfSearch shelf(folder.indexFile());
  EXPECT_EQ(shelf.update({chm, other}, {})[0].status, FileStatus::Indexed);
  EXPECT_EQ(shelf.update({chm, other}, {})[0].status, FileStatus::UpToDate);
  EXPECT_EQ(PathsFound(shelf, "alpha", {chm}).size(), 1u);

  // Same size, same time stamp, other bytes: the header hash tells.
  struct stat before {};
  stat(chm.c_str(), &before);
  WriteChm(chm, {"新的内容 gamma"});
  const timespec times[2] = {before.st_atim, before.st_mtim};
  utimensat(AT_FDCWD, chm.c_str(), times, 0);
  EXPECT_EQ(shelf.update({chm}, {})[0].status, FileStatus::Indexed);
  EXPECT_TRUE(PathsFound(shelf, "alpha", {chm}).empty());
  EXPECT_EQ(PathsFound(shelf, "gamma", {chm}).size(), 1u);

  std::filesystem::remove(chm);
  EXPECT_EQ(shelf.update({other}, {})[0].status, FileStatus::UpToDate);
  EXPECT_EQ(FilesIndexed(folder.indexFile()), 1);
  EXPECT_EQ(shelf.update({chm}, {})[0].status, FileStatus::Unreadable);
}

TEST(ShelfSearchTest, ADamagedChmIndexesTheReadablePagesAndCountsTheOthers) {
  SearchTestFolder folder;
  const std::string chm = folder / "damaged.chm";
  ChmBuilder()
      .add("/good.htm", Page("好", "可以读取 delta"))
      .add(ChmBuilder::Entry{"/lost.htm", Page("坏", "delta"), std::uint64_t{1} << 40, std::nullopt, 0})
      .add("/also.htm", Page("好", "也可以 delta"))
      .writeTo(chm);
  ShelfSearch shelf(folder.indexFile());
  const auto report = shelf.update({chm}, {})[0];
  EXPECT_EQ(report.status, FileStatus::Indexed);
  EXPECT_EQ(report.pages, 2u);
  EXPECT_EQ(report.unreadablePages, 1u);
  EXPECT_EQ(PathsFound(shelf, "delta", {chm}).size(), 2u);
}

TEST(ShelfSearchTest, AHugePageIsIndexedUpToItsTextLimit) {
  SearchTestFolder folder;
  const std::string chm = folder / "huge.chm";
  WriteChm(chm, {"omega " + std::string(20u << 20, 'x') + " psi"});
  ShelfSearch shelf(folder.indexFile());
  EXPECT_EQ(shelf.update({chm}, {})[0].pages, 1u);
  EXPECT_EQ(PathsFound(shelf, "omega", {chm}).size(), 1u);
  EXPECT_TRUE(PathsFound(shelf, "psi", {chm}).empty());
}

struct DamageCase {
  const char* name;
  std::size_t offset;  // where garbage overwrites the index file
};

class DamagedIndexTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedIndexTest, IsReplacedAndTheSearchAnswered) {
  SearchTestFolder folder;
  const std::string chm = folder / "a.chm";
  std::vector<std::string> bodies;
  for (int i = 0; i < 200; ++i) bodies.push_back("第" + std::to_string(i) + "页 epsilon " + std::string(500, 'x'));
  WriteChm(chm, bodies);
  {
    ShelfSearch shelf(folder.indexFile());
    shelf.update({chm}, {});
  }
  {
    // Everything in the log is written back first, so the garbage lands
    // on the pages that are read.
    sqlite3* db = nullptr;
    sqlite3_open(folder.indexFile().c_str(), &db);
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::fstream file(folder.indexFile(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(GetParam().offset));
    const std::string garbage(std::filesystem::file_size(folder.indexFile()) - GetParam().offset, '\x5A');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  ShelfSearch shelf(folder.indexFile());
  EXPECT_EQ(shelf.update({chm}, {})[0].status, FileStatus::Indexed);
  EXPECT_EQ(PathsFound(shelf, "epsilon", {chm}).size(), 200u);
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedIndexTest,
                         ::testing::Values(DamageCase{"Header", 0}, DamageCase{"AfterTheFirstPage", 4096}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShelfSearchTest, TwoProcessesIndexTheSameShelfAtOnce) {
  SearchTestFolder folder;
  std::vector<std::string> chms;
  for (int f = 0; f < 6; ++f) {
    std::vector<std::string> bodies;
    for (int i = 0; i < 300; ++i) bodies.push_back("文件" + std::to_string(f) + " zeta " + std::to_string(i));
    chms.push_back(folder / ("f" + std::to_string(f) + ".chm"));
    WriteChm(chms.back(), bodies);
  }
  std::vector<pid_t> children;
  for (int c = 0; c < 2; ++c) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int status = 0;
      try {
        ShelfSearch shelf(folder.indexFile());
        // The second goes through the files the other way round, so they meet.
        std::vector<std::string> order = chms;
        if (c == 1) std::reverse(order.begin(), order.end());
        for (const auto& report : shelf.update(order, {})) {
          if (report.pages != 300) status = 1;
        }
        if (shelf.search("zeta", chms, 0).size() != 1800) status = 2;
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        status = 3;
      }
      _exit(status);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  ShelfSearch shelf(folder.indexFile());
  EXPECT_EQ(shelf.search("zeta", chms, 0).size(), 1800u);
  EXPECT_EQ(FilesIndexed(folder.indexFile()), 6);
}

TEST(ShelfSearchTest, ACancelledFileKeepsWhatItHadAndIsIndexedNextTime) {
  SearchTestFolder folder;
  const std::string chm = folder / "a.chm";
  WriteChm(chm, {"eta 1", "eta 2", "eta 3"});
  ShelfSearch shelf(folder.indexFile());
  const auto cancelled = shelf.update({chm}, [](const velmora::search::ShelfProgress& p) { return p.pagesRead < 2; });
  EXPECT_EQ(cancelled[0].status, FileStatus::Cancelled);
  EXPECT_TRUE(PathsFound(shelf, "eta", {chm}).empty());
  EXPECT_EQ(shelf.update({chm}, {})[0].status, FileStatus::Indexed);
  EXPECT_EQ(PathsFound(shelf, "eta", {chm}).size(), 3u);
}

}  // namespace
