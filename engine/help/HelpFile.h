#pragma once
// A help file opened to be read: the facts its #SYSTEM, #WINDOWS and
// #STRINGS records give (title, language, contents and index files,
// default topic), its contents and index, and the targets they point at.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/help/HelpTarget.h"
#include "engine/help/Sitemap.h"
#include "platform/storage/ChmArchive.h"

namespace velmora::help {

// Which rule found a contents or index file.
enum class FoundBy {
  None,          // the file has none
  System,        // named in #SYSTEM
  DefaultWindow, // named by the default window (#WINDOWS with #STRINGS)
  OnlyStored,    // the stored file with the extension (the first at the top)
};

struct HelpFacts {
  std::uint32_t lcid = 0;  // #SYSTEM's language, else the file header's
  std::string codePage;    // of that language: every record text is in it
  std::string title;       // UTF-8; empty when none
  std::string contentsFile;  // stored path "/dir/x.hhc"; empty when none
  std::string indexFile;
  FoundBy contentsFoundBy = FoundBy::None;
  FoundBy indexFoundBy = FoundBy::None;
  // The stored page ("/dir/a.htm#b") when the file holds it, else the text
  // as written (UTF-8; a Local value from the top folder).
  std::string defaultTopic;
  // The name the file was compiled as ("pywin32", #SYSTEM writes it
  // without ".chm"): its own references
  // ("mk:@MSITStore:PyWin32.chm::/a.htm") keep that name when the file is
  // renamed.
  std::string compiledFile;
};

// Reads the facts of the open file.
HelpFacts ReadHelpFacts(platform::ChmArchive& archive);

class HelpFile {
 public:
  // Null unless result is Ok.
  static std::unique_ptr<HelpFile> Open(const std::string& path, platform::ChmArchive::OpenResult& result);

  const std::string& path() const { return m_archive->path(); }
  std::string fileName() const;
  platform::ChmArchive& archive() { return *m_archive; }
  const HelpFacts& facts() const { return m_facts; }

  // The text encoding a user chose for this file (an iconv name), taken for
  // its title, contents and index whatever their bytes look like; empty:
  // the rules decide again.
  void setCharset(const std::string& charset);
  const std::string& charset() const { return m_charset; }

  // The parsed contents or index file; nothing when the file has none or
  // it cannot be read.
  std::optional<Sitemap> ReadContents();
  std::optional<Sitemap> ReadIndex();
  // The sitemap stored at the path ("/x.hhc").
  std::optional<Sitemap> ReadSitemap(const std::string& storedPath);

  // A Local value of the contents or index file (folder: the folder of the
  // file it was written in). A reference to another CHM file of the name
  // this file has or was compiled as is one of its own pages.
  Target Resolve(std::string_view local, std::string_view folder) const;

 private:
  explicit HelpFile(std::unique_ptr<platform::ChmArchive> archive);

  std::unique_ptr<platform::ChmArchive> m_archive;
  HelpFacts m_facts;
  std::string m_charset;
  std::string m_storedTitle;  // #SYSTEM's bytes
};

// Stored sitemaps larger than this are not read.
constexpr std::uint64_t kMaxSitemapBytes = 64u << 20;

}  // namespace velmora::help
