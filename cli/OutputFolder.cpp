#include "cli/OutputFolder.h"

#include <utility>

#include "cli/CliMessages.h"
#include "engine/basVelmora.h"

namespace velmora::cli {

engine::OutputPath OutputFolder(const CliArguments& arguments, std::string strDefault) {
  if (const auto chosen = arguments.value("-o")) return engine::OutputPath(*chosen);
  return engine::OutputPath::MadeUp(std::move(strDefault));
}

bool CanWriteInto(const engine::OutputPath& output, std::ostream& err) {
  if (output.blnMadeUp && engine::IsSymbolicLink(output.strPath)) {
    err << engine::MadeUpFolderIsLinkMessage(output.strPath) << '\n';
    return false;
  }
  if (engine::basVelmora::FileExists(output.strPath)) {
    err << kWriteFailedMessage << output.strPath << '\n';
    return false;
  }
  return true;
}

}  // namespace velmora::cli
