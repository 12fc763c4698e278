#include "cli/ListCommand.h"

#include <string>

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
  // The rows are gathered in blocks of kBlock bytes, each written in one
  // go instead of one stream write per row.
  constexpr std::size_t kBlock = 64 * 1024;
  std::string text;
  text.reserve(kBlock + 4096);
  for (const auto& item : walk.items()) {
    engine::AppendItemRowLine(text, item);
    if (text.size() >= kBlock) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  text += engine::ParseSummaryText(walk.lngPicCount(), walk.lngHTMLCount(), walk.lngMovieCount(), walk.lngTotal(),
                                   false);
  text += '\n';
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return kExitSuccess;
}

}  // namespace velmora::cli
