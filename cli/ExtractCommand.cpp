#include "cli/ExtractCommand.h"

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "cli/OutputFolder.h"
#include "engine/ExtractType.h"
#include "engine/ReportText.h"

namespace velmora::cli {

int ExtractCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {"-o", "-t"});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 1) return UsageError(err, "extract 需要一个CHM文件");

  if (arguments.value("-o") && arguments.value("-o")->empty()) return UsageError(err, "-o 的文件夹为空");

  const std::string& strCHMFile = arguments.positional()[0];
  const engine::OutputPath output = OutputFolder(arguments, strCHMFile + "_文件内容");
  const std::int32_t udeType = engine::CommandLineExtractType(arguments.value("-t").value_or("1"));
  if (!CanWriteInto(output, err)) return kExitFailure;

  ChmWalk walk(m_env, err);
  if (!walk.Run(strCHMFile, output, udeType)) return kExitFailure;
  const auto& lost = walk.lostItems();
  out << engine::ExportSummaryText(walk.lngPicCount(), walk.lngHTMLCount(), walk.lngMovieCount(), walk.lngTotal(),
                                   lost.size())
      << '\n';
  if (lost.empty()) return kExitSuccess;
  for (const auto& item : lost) err << engine::LostItemLine(item) << '\n';
  err << engine::LostCountLine(lost.size()) << '\n';
  return kExitLost;
}

}  // namespace velmora::cli
