#pragma once
// The pages of one CHM file (HTML and plain text), one after another in the
// order their bytes lie in the file, each decoded as the reader decodes it
// (its BOM, its bytes, its declared charset, else the code page of the help
// file's language) and reduced to its text. A page without a <title> takes
// the name of its first entry in the file's contents.

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/search/PageText.h"
#include "engine/help/HelpFile.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::search {

// The most bytes of one page that are read: far more than any page that
// has 16 MiB of text needs, so a page of hundreds of megabytes costs no
// more than this.
inline constexpr std::size_t kMaxPageBytes = 32u << 20;

struct ChmPage {
  std::string path;  // as stored, with a leading "/": "/html/a.htm"
  PageText text;
  bool readable = true;  // false: its bytes could not be read or decoded
};

class ChmPageReader {
 public:
  // Opens the file and reads its directory; ok() is false when that fails.
  explicit ChmPageReader(const std::string& path);
  ~ChmPageReader();

  bool ok() const { return m_file != nullptr; }
  // How many pages the directory lists (each name once).
  std::size_t pageCount() const { return m_pages.size(); }
  // The next page; false when every page has been read.
  bool next(ChmPage& page);

 private:
  std::unique_ptr<help::HelpFile> m_file;
  std::string m_codePage;
  // Contents entry names by the folded stored path ("/html/a.htm") of the
  // page they show.
  std::unordered_map<std::string, std::string> m_contentsTitles;
  std::vector<const platform::ChmArchive::Entry*> m_pages;
  std::size_t m_next = 0;
};

}  // namespace velmora::search
