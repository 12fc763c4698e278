#pragma once
// What one export entry of the main window does with its destination: the
// extract type it hands the walker, the output path of each CHM file of the
// work list, and the names it proposes. Plain logic without a toolkit.
//
// Entry indexes are those of the window's export menu group: 0 all contents,
// 1 selected contents, 2 pictures, 3 pages, 4 multimedia, 5 the current
// file, 7 the text listing (6 is the separator), 8 the help project.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/OutputPath.h"
#include "engine/cCHMItemInfo.h"

namespace velmora::app {

class ExportPlan {
 public:
  static constexpr int kAllContents = 0;
  static constexpr int kSelectedContents = 1;
  static constexpr int kPictures = 2;
  static constexpr int kPages = 3;
  static constexpr int kMultimedia = 4;
  static constexpr int kCurrentFile = 5;
  static constexpr int kFileList = 7;
  static constexpr int kProject = 8;

  // Highest number tried for a numbered output folder; when every one is
  // taken the number is 0.
  static constexpr int kMaxFolderNumber = 10000;

  // Whether something already occupies a path on disk.
  using TakenTest = std::function<bool(const std::string& strPath)>;

  // strDestination: the chosen folder (entries 0-4) or file (5, 7), with
  // "/" separators. lngWorkCount: how many CHM files the export walks.
  ExportPlan(int lngIndex, bool blnBatchMode, std::string strDestination, std::size_t lngWorkCount);

  bool WritesListing() const { return m_lngIndex == kFileList; }
  // The help project: a list-only walk selects the content streams, a walk
  // of the listed keys writes them, then the project file is written.
  bool WritesProject() const { return m_lngIndex == kProject; }

  // Selected contents walk the listed record keys in single mode and
  // everything in batch mode; the listing only walks and counts; the help
  // project writes the listed content streams.
  std::int32_t ExtractType() const;

  // Where the walk of strCHMFile writes: the chosen file for the current
  // file, nothing for the listing, the destination folder itself when the
  // work list holds one file, otherwise a folder in the destination named
  // after the CHM file with "_文件内容" ("_工程" for the help project)
  // appended, or the first free "_<n>_文件内容" when that name is taken (n
  // from 1 to kMaxFolderNumber).
  // Asked again for every file, so folders written by earlier walks of
  // the same export count as taken. A folder the plan named itself is
  // marked as made up: a link planted at its name is never followed.
  engine::OutputPath OutputPath(const std::string& strCHMFile, const TakenTest& taken = PathTaken) const;

  // The proposed name of the listing for strCHMFile: its file name with
  // every ".chm" removed (exact case), then "的文件列表.txt".
  static std::string ListingFileName(const std::string& strCHMFile);

  // An item's record key: its Path, "\" and its Name ("\" and the name at
  // the root). The walker selects by it, and a storage's key selects
  // everything below the storage.
  static std::string RecordKey(const engine::cCHMItemInfo& item);

  // True when a folder, file or link of that name exists: any of them
  // keeps a numbered output folder from being used.
  static bool PathTaken(const std::string& strPath);

 private:
  int m_lngIndex;
  bool m_blnBatchMode;
  std::string m_strDestination;
  std::size_t m_lngWorkCount;
};

}  // namespace velmora::app
