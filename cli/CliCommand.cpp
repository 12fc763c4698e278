#include "cli/CliCommand.h"

#include "cli/CliMessages.h"

namespace velmora::cli {

int CliCommand::UsageError(std::ostream& err, const std::string& what) {
  err << kUsageErrorMessage << what << "\n运行 velmora-cli --help 查看用法。\n";
  return kExitUsage;
}

}  // namespace velmora::cli
