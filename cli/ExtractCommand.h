#pragma once
// velmora-cli extract FILE.chm [-o DIR] [-t TYPE]: the unattended extraction.
// DIR defaults to the CHM path followed by "_文件内容" (never followed when
// it is a symbolic link: see OutputFolder.h); TYPE is read like the
// window's "/type=" (everything unless it names a type from 1 to 16).
// Every stream that could not be written gets one line on standard error,
// followed by their count, and the exit status is then kExitLost.

#include "cli/CliCommand.h"

namespace velmora::cli {

class ExtractCommand : public CliCommand {
 public:
  using CliCommand::CliCommand;
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace velmora::cli
