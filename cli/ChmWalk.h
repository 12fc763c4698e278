#pragma once
// One walk of a CHM file for a command: checks that the file exists, runs
// ParseCHM with fresh counters and a progress line, and turns every way the
// file can fail to open into the program's message on standard error.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "cli/CliEnvironment.h"
#include "engine/ExtractionLoss.h"
#include "engine/OutputPath.h"
#include "engine/cCHMItemInfo.h"

namespace velmora::cli {

class ChmWalk {
 public:
  ChmWalk(const CliEnvironment& env, std::ostream& err);

  // False after writing "文件不存在：" + path (no such file) or
  // "解释文件失败，可能该文件不是chm文件。" (not a CHM file, or a CHM file
  // whose directory cannot be read) to the error stream.
  bool Run(const std::string& strCHMFile, const engine::OutputPath& strOutputPath, std::int32_t udeCHMExtractType,
           const std::vector<std::string>& strExtractContents = {});

  const engine::cCHMItemCollection& items() const { return m_colItems; }
  std::int32_t lngPicCount() const { return m_lngPicCount; }
  std::int32_t lngHTMLCount() const { return m_lngHTMLCount; }
  std::int32_t lngMovieCount() const { return m_lngMovieCount; }
  std::int32_t lngTotal() const { return m_lngTotal; }
  // What the walk could not write, in walk order, and how many files it wrote.
  const std::vector<engine::LostItem>& lostItems() const { return m_lost; }
  std::size_t writtenCount() const { return m_written; }

 private:
  const CliEnvironment& m_env;
  std::ostream& m_err;
  engine::cCHMItemCollection m_colItems;
  std::int32_t m_lngPicCount = 0;
  std::int32_t m_lngHTMLCount = 0;
  std::int32_t m_lngMovieCount = 0;
  std::int32_t m_lngTotal = 0;
  std::vector<engine::LostItem> m_lost;
  std::size_t m_written = 0;
};

}  // namespace velmora::cli
