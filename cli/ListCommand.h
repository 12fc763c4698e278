#pragma once
// velmora-cli list FILE.chm: the content list's rows in walk order, then the
// summary the window shows after opening the file.

#include "cli/CliCommand.h"

namespace velmora::cli {

class ListCommand : public CliCommand {
 public:
  using CliCommand::CliCommand;
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace velmora::cli
