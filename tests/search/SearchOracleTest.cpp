// Every query finds exactly the pages the oracle finds: Latin and CJK, one
// and two characters, GBK, UTF-8 and Shift_JIS pages of the shared corpus.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

#include "TestPaths.h"
#include "engine/search/ShelfSearch.h"
#include "tests/search/SearchOracle.h"
#include "tests/search/SearchTestFolder.h"

namespace {

using velmora::search::ShelfSearch;
using velmora::test::SearchOracle;
using velmora::test::SearchTestFolder;

struct OracleCase {
  const char* name;
  const char* file;     // in the corpus' real/ folder
  const char* charset;  // of its pages that are not UTF-8
  std::vector<std::string> queries;
};

// One index for the whole suite, as a shelf of these files would have.
class SearchOracleTest : public ::testing::TestWithParam<OracleCase> {
 protected:
  static void SetUpTestSuite() { s_folder = std::make_unique<SearchTestFolder>(); }
  static void TearDownTestSuite() { s_folder.reset(); }
  static std::unique_ptr<SearchTestFolder> s_folder;
};
std::unique_ptr<SearchTestFolder> SearchOracleTest::s_folder;

// The oracle's terms: blank-separated words, or one phrase in quotes.
std::vector<std::string> TermsOf(const std::string& query) {
  if (query.front() == '"') return {query.substr(1, query.size() - 2)};
  std::vector<std::string> terms;
  std::size_t start = 0;
  for (std::size_t blank; (blank = query.find(' ', start)) != std::string::npos; start = blank + 1) {
    terms.push_back(query.substr(start, blank - start));
  }
  terms.push_back(query.substr(start));
  return terms;
}

std::string Listed(const std::set<std::string>& paths) {
  std::string text;
  for (const auto& path : paths) text += "\n  " + path;
  return text;
}

TEST_P(SearchOracleTest, FindsThePagesTheOracleFinds) {
  const std::string chm = std::string(VELMORA_CORPUS_DIR) + "/real/" + GetParam().file;
  if (!std::filesystem::exists(chm)) GTEST_SKIP() << "no corpus file " << chm;
  const SearchOracle oracle(chm, GetParam().charset);
  ASSERT_GT(oracle.pageCount(), 0u);

  ShelfSearch shelf(s_folder->indexFile());
  const auto reports = shelf.update({chm}, {});
  ASSERT_EQ(reports[0].status, velmora::search::FileStatus::Indexed);
  EXPECT_EQ(reports[0].pages, oracle.pageCount());
  EXPECT_EQ(reports[0].unreadablePages, 0u);

  for (const std::string& query : GetParam().queries) {
    std::set<std::string> found;
    for (const auto& hit : shelf.search(query, {chm}, 0)) {
      EXPECT_TRUE(found.insert(hit.path).second) << "listed twice: " << hit.path;
    }
    const std::set<std::string> expected = oracle.find(TermsOf(query));
    EXPECT_FALSE(expected.empty()) << query << " is no test";
    std::set<std::string> missed, extra;
    std::set_difference(expected.begin(), expected.end(), found.begin(), found.end(),
                        std::inserter(missed, missed.end()));
    std::set_difference(found.begin(), found.end(), expected.begin(), expected.end(),
                        std::inserter(extra, extra.end()));
    EXPECT_TRUE(missed.empty() && extra.empty())
        << query << ": " << expected.size() << " expected, " << found.size() << " found; missed:" << Listed(missed)
        << "\nnot expected:" << Listed(extra);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, SearchOracleTest,
    ::testing::Values(
        OracleCase{"GbkPages", "03-WINDOWS脚本技术手册.chm", "GBK",
                   {"库", "对象", "函数", "方法 属性", "Script", "wscript.echo", "\"return value\"", "ＷＳｃｒｉｐｔ"}},
        OracleCase{"Utf8PagesGbkLanguage", "01-UDFs3CHS.chm", "GBK",
                   {"库", "函数", "数组", "返回值", "_winapi", "Window 句柄"}},
        OracleCase{"ShiftJisPages", "12-sakura.chm", "CP932", {"行", "検索", "ファイル", "マクロ", "Sakura", "ﾌｧｲﾙ"}},
        OracleCase{"Utf8PagesShiftJisLanguage", "13-manual-ja.chm", "CP932", {"値", "設定", "ファイル", "dword", "Syntax"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
