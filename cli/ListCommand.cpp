#include "cli/ListCommand.h"

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "engine/ReportText.h"
#include "engine/cCHMParser.h"

namespace velmora::cli {

int ListCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 1) return UsageError(err, "list 需要一个CHM文件");

  ChmWalk walk(m_env, err);
  if (!walk.Run(arguments.positional()[0], "", engine::kExtractNone)) return kExitFailure;
  for (const auto& item : walk.items()) out << engine::ItemRowText(item) << '\n';
  out << engine::ParseSummaryText(walk.lngPicCount(), walk.lngHTMLCount(), walk.lngMovieCount(), walk.lngTotal(),
                                  false)
      << '\n';
  return kExitSuccess;
}

}  // namespace velmora::cli
