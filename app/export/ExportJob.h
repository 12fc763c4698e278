#pragma once
// One run of an export entry over a work list of CHM files: for each file,
// in order, it sets the four counters to 0, walks the file with the plan's
// extract type into the plan's output path, adds the file's lines to the
// text listing (entry 7) and reports the counts. It walks into a collection
// of its own, so the window's item collection keeps matching its content
// list.
//
// A file that cannot be read (missing, not a CHM file, or a CHM file that
// cannot be opened) counts as zeros, gets its header line in a listing
// without item lines, is remembered in UnreadableFiles(), and the run goes
// on with the next file.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/export/ExportPlan.h"
#include "engine/cAppendString.h"
#include "engine/cCHMItemInfo.h"

namespace velmora::engine {
class cCHMParser;
}

namespace velmora::app {

struct ExportCounts {
  std::int32_t lngPicCount = 0;
  std::int32_t lngHTMLCount = 0;
  std::int32_t lngMovieCount = 0;
  std::int32_t lngTotal = 0;
  std::size_t lngLost = 0;  // streams of this file that could not be written
};

class ExportJob {
 public:
  // Called after each file's walk with the file and its counts; false stops
  // the run before the next file.
  using FileDoneHandler = std::function<bool(const std::string& strCHMFile, const ExportCounts& counts)>;

  // strExtractContents: the record keys for selected contents (type 2) or
  // the one record key of the current file (type 32); empty otherwise.
  ExportJob(engine::cCHMParser& parser, ExportPlan plan, std::vector<std::string> strExtractContents);

  FileDoneHandler FileDone;

  // Walks the files of the work list in order, until FileDone says stop.
  // The parser must not be busy with another walk.
  void Run(const std::vector<std::string>& strWorkList);

  // The files that could not be read, in work-list order.
  const std::vector<std::string>& UnreadableFiles() const { return m_strUnreadable; }
  // The record keys of every stream the walks could not write, file after
  // file in walk order, and how many files they wrote: the window's
  // message after the export is engine::LostItemsMessage(LostKeys()), and
  // its summary must not claim success when WrittenCount() is 0 while
  // LostKeys() is not empty.
  const std::vector<std::string>& LostKeys() const { return m_strLost; }
  std::size_t WrittenCount() const { return m_lngWritten; }
  // The listing built so far (entry 7): per file a "CHM文件：" header line
  // and one line per item, each ending in CR LF.
  std::string Listing() const { return m_strListing.value(); }
  // Writes the listing and one more CR LF to strFile as UTF-8, replacing
  // the file. The file appears complete or not at all, and a failed write
  // leaves an earlier file there untouched. False on failure.
  bool WriteListing(const std::string& strFile) const;

 private:
  // One walk; false when the file could not be read.
  bool Walk(const std::string& strCHMFile, ExportCounts& counts);
  // The help project's two walks and its project file; false when the file
  // could not be read or the project file not written.
  bool WalkProject(const std::string& strCHMFile, ExportCounts& counts);

  engine::cCHMParser& m_parser;
  ExportPlan m_plan;
  std::vector<std::string> m_strExtractContents;
  engine::cCHMItemCollection m_colItems;
  engine::cAppendString m_strListing;
  std::vector<std::string> m_strUnreadable;
  std::vector<std::string> m_strLost;
  std::size_t m_lngWritten = 0;
};

}  // namespace velmora::app
