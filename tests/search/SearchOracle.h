#pragma once
// An oracle for full-text search, written apart from the product and kept
// simple: every page's bytes are decoded as UTF-8 when they are valid UTF-8,
// else from the file's legacy charset; tags are cut out with a plain scan
// (scripts and styles with their content), a few references decoded; the
// whole text and the query are normalized by ICU (NFKC case folding, in one
// piece rather than character by character) and blanks collapsed; a page
// matches when the normalized text contains each normalized term.

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmora::test {

class SearchOracle {
 public:
  // legacyCharset: iconv's name ("GBK", "CP932").
  SearchOracle(const std::string& chmPath, const std::string& legacyCharset);

  // Stored paths ("/a/b.htm") of the pages holding every term.
  std::set<std::string> find(const std::vector<std::string>& terms) const;
  std::size_t pageCount() const { return m_pages.size(); }

  static std::string Normalize(const std::string& utf8);

 private:
  std::vector<std::pair<std::string, std::string>> m_pages;  // path, normalized text
};

}  // namespace velmora::test
