#include "cli/ProjectCommand.h"

#include <filesystem>

#include "cli/ChmWalk.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "cli/OutputFolder.h"
#include "engine/HelpProject.h"
#include "engine/ReportText.h"
#include "engine/cCHMParser.h"

namespace velmora::cli {

namespace fs = std::filesystem;

int ProjectCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {"-o"});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() != 1) return UsageError(err, "project 需要一个CHM文件");
  if (arguments.value("-o") && arguments.value("-o")->empty()) return UsageError(err, "-o 的文件夹为空");

  const std::string& strCHMFile = arguments.positional()[0];
  const engine::OutputPath output = OutputFolder(arguments, strCHMFile + "_工程");
  if (!CanWriteInto(output, err)) return kExitFailure;

  // First a walk that only lists, to select the content streams; then the
  // walk that writes them.
  ChmWalk listing(m_env, err);
  if (!listing.Run(strCHMFile, "", engine::kExtractNone)) return kExitFailure;
  const std::vector<std::string> keys = engine::ContentKeys(listing.items());

  ChmWalk walk(m_env, err);
  if (!walk.Run(strCHMFile, output, engine::kExtractListed, keys)) return kExitFailure;

  if (!engine::WriteHelpProjectFile(strCHMFile, output, listing.items())) {
    err << kWriteFailedMessage << (fs::path(output.strPath) / (fs::path(strCHMFile).stem().string() + ".hhp")).string()
        << '\n';
    return kExitFailure;
  }
  // The list-only walk counted every page, picture and medium.
  out << engine::ExportSummaryText(listing.lngPicCount(), listing.lngHTMLCount(), listing.lngMovieCount(),
                                   listing.lngTotal())
      << '\n';
  return kExitSuccess;
}

}  // namespace velmora::cli
