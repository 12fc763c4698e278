#include "cli/ListingCommand.h"

#include <exception>

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "engine/ReportText.h"
#include "engine/basVelmora.h"
#include "engine/cAppendString.h"
#include "engine/cCHMParser.h"

namespace velmora::cli {

int ListingCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {"-o"});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  const std::string strListFile = arguments.value("-o").value_or("");
  if (strListFile.empty()) return UsageError(err, "listing 需要 -o 列表文件");
  if (arguments.positional().empty()) return UsageError(err, "listing 需要至少一个CHM文件");

  engine::cAppendString strList;
  bool blnAllListed = true;
  ChmWalk walk(m_env, err);
  for (const std::string& strCHMFile : arguments.positional()) {
    strList.Append(engine::ListingHeaderLine(strCHMFile));
    blnAllListed = walk.Run(strCHMFile, "", engine::kExtractNone) && blnAllListed;
    for (const auto& item : walk.items()) strList.Append(engine::ListingItemLine(item));
    out << engine::ExportSummaryText(walk.lngPicCount(), walk.lngHTMLCount(), walk.lngMovieCount(), walk.lngTotal())
        << '\n';
  }

  try {
    engine::basVelmora::WriteTextFile(strListFile, strList.value(), false);
  } catch (const std::exception&) {
    err << kWriteFailedMessage << strListFile << '\n';
    return kExitFailure;
  }
  return blnAllListed ? kExitSuccess : kExitFailure;
}

}  // namespace velmora::cli
