#include "app/export/ExportJob.h"

#include <utility>

#include "engine/HelpProject.h"
#include "engine/ReportText.h"
#include "engine/StagedFile.h"
#include "engine/cCHMParser.h"

namespace velmora::app {

ExportJob::ExportJob(engine::cCHMParser& parser, ExportPlan plan, std::vector<std::string> strExtractContents)
    : m_parser(parser), m_plan(std::move(plan)), m_strExtractContents(std::move(strExtractContents)) {}

void ExportJob::Run(const std::vector<std::string>& strWorkList) {
  for (const std::string& strCHMFile : strWorkList) {
    ExportCounts counts;
    if (m_plan.WritesListing()) m_strListing.Append(engine::ListingHeaderLine(strCHMFile));
    if (!Walk(strCHMFile, counts)) m_strUnreadable.push_back(strCHMFile);
    for (const engine::LostItem& item : m_parser.LostItems()) m_strLost.push_back(item.strKey);
    counts.lngLost = m_parser.LostItems().size();
    m_lngWritten += m_parser.WrittenCount();
    if (m_plan.WritesListing()) {
      for (const engine::cCHMItemInfo& item : m_colItems) m_strListing.Append(engine::ListingItemLine(item));
    }
    if (FileDone && !FileDone(strCHMFile, counts)) return;
  }
}

bool ExportJob::Walk(const std::string& strCHMFile, ExportCounts& counts) {
  // A failed walk leaves no items behind, not even those of the file before.
  m_colItems.clear();
  try {
    if (m_plan.WritesProject()) return WalkProject(strCHMFile, counts);
    return m_parser.ParseCHM(strCHMFile, m_plan.OutputPath(strCHMFile), m_plan.ExtractType(), m_strExtractContents,
                             m_colItems, counts.lngPicCount, counts.lngHTMLCount, counts.lngMovieCount,
                             counts.lngTotal);
  } catch (const engine::ParseError&) {
    // Recognised but unreadable (or the parser was taken by another walk
    // meanwhile): reported like a missing file. Both are raised before the
    // walk has counted anything.
    return false;
  }
}

bool ExportJob::WalkProject(const std::string& strCHMFile, ExportCounts& counts) {
  // The list-only walk gives the counts; the writing walk counts again
  // into counters of its own.
  if (!m_parser.ParseCHM(strCHMFile, std::string(), engine::kExtractNone, {}, m_colItems, counts.lngPicCount,
                         counts.lngHTMLCount, counts.lngMovieCount, counts.lngTotal)) {
    return false;
  }
  // The project file makes the folder when the walk wrote nothing.
  const engine::OutputPath strOutputPath = m_plan.OutputPath(strCHMFile);
  ExportCounts written;
  engine::cCHMItemCollection colWritten;
  if (!m_parser.ParseCHM(strCHMFile, strOutputPath, m_plan.ExtractType(), engine::ContentKeys(m_colItems), colWritten,
                         written.lngPicCount, written.lngHTMLCount, written.lngMovieCount, written.lngTotal)) {
    return false;
  }
  return engine::WriteHelpProjectFile(strCHMFile, strOutputPath, m_colItems);
}

bool ExportJob::WriteListing(const std::string& strFile) const {
  engine::StagedFile file(strFile);
  const std::string strText = m_strListing.value() + "\r\n";
  return file.IsOpen() && file.Write(strText.data(), strText.size()) && file.Commit();
}

}  // namespace velmora::app
