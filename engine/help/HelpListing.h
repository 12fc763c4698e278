#pragma once
// A help file's contents or index as a reader lists them: every entry with
// its targets resolved, and the contents of the CHM files its Merge entries
// name (beside it in the same folder) spliced in where they stand.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/help/HelpFile.h"

namespace velmora::help {

// Opens the CHM files of one folder on demand, each once, by a name as a
// help file writes it (letter case ignored when no file has it exactly).
// At most kMaxOpenFiles are opened, so a contents file naming every file
// of a large folder holds neither every file nor a descriptor for each.
class HelpFolder {
 public:
  explicit HelpFolder(std::string folder);

  // Null when the folder holds no such CHM file, it does not open, or the
  // bound is reached.
  HelpFile* Open(std::string_view fileName);

  static constexpr std::size_t kMaxOpenFiles = 64;

 private:
  std::string m_folder;
  std::map<std::string, std::unique_ptr<HelpFile>> m_files;  // by lower-cased name; null: not there
  std::size_t m_opened = 0;
  bool m_listed = false;
  std::map<std::string, std::string> m_names;  // the folder's .chm files: lower-cased name to name
};

struct ListedTopic {
  std::string title;  // empty: the entry's name stands for it
  Target target;      // pages of merged files name their file
};

struct ListedEntry {
  std::uint32_t level = 0;  // at most one more than the entry before
  std::string name;
  std::vector<ListedTopic> topics;
  std::vector<std::string> seeAlso;
  int imageNumber = -1;
};

struct Listing {
  std::vector<ListedEntry> entries;
  bool truncated = false;
};

enum class SitemapKind { Contents, Index };

// The file's contents or index; nothing when it has none or it cannot be
// read. A file is merged once at most (so no loop of Merge entries can
// repeat); the whole listing keeps to kMaxSitemapEntries entries and as
// many topics, and the merged files to twice as many parsed entries.
std::optional<Listing> ListSitemap(HelpFile& file, HelpFolder& folder, SitemapKind kind);

}  // namespace velmora::help
