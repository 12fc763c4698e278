#include "cli/ChmWalk.h"

#include <memory>

#include "cli/CliMessages.h"
#include "cli/CliProgress.h"
#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"

namespace velmora::cli {

ChmWalk::ChmWalk(const CliEnvironment& env, std::ostream& err) : m_env(env), m_err(err) {}

bool ChmWalk::Run(const std::string& strCHMFile, const engine::OutputPath& strOutputPath, std::int32_t udeCHMExtractType,
                  const std::vector<std::string>& strExtractContents) {
  m_colItems.clear();
  m_lngPicCount = m_lngHTMLCount = m_lngMovieCount = m_lngTotal = 0;
  m_lost.clear();
  m_written = 0;
  if (!engine::basVelmora::FileExists(strCHMFile)) {
    m_err << kMissingFileMessage << strCHMFile << '\n';
    return false;
  }

  auto parser = m_env.factory ? std::make_unique<engine::cCHMParser>(m_env.factory)
                              : std::make_unique<engine::cCHMParser>();
  CliProgress progress(m_err, m_env.blnShowProgress);
  progress.Attach(*parser);
  bool blnParsed = false;
  try {
    blnParsed = parser->ParseCHM(strCHMFile, strOutputPath, udeCHMExtractType, strExtractContents, m_colItems,
                                 m_lngPicCount, m_lngHTMLCount, m_lngMovieCount, m_lngTotal);
  } catch (const engine::ParseError&) {
    // Only CannotOpen can happen here: one walk at a time, and every type
    // 32 call passes its key. To the user it is a file that cannot be read.
    blnParsed = false;
  }
  progress.Finish();
  m_lost = parser->LostItems();
  m_written = parser->WrittenCount();
  if (!blnParsed) m_err << kNotChmMessage << '\n';
  return blnParsed;
}

}  // namespace velmora::cli
