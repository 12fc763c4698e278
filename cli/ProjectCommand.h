#pragma once
// velmora-cli project FILE.chm [-o DIR]: writes the help project the file
// can be compiled from again. DIR (default: the CHM path followed by
// "_工程", never followed when it is a symbolic link) gets every stored
// content file, written by the walker as an extraction does, and
// <name>.hhp built from the file's own records.

#include "cli/CliCommand.h"

namespace velmora::cli {

class ProjectCommand : public CliCommand {
 public:
  using CliCommand::CliCommand;
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace velmora::cli
