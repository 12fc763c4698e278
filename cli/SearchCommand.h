#pragma once
// velmora-cli search [--all] QUERY PATH...: the pages of the CHM files
// (given, or found in folders and below) that hold the query, one a line,
// best first. The page index in the cache folder is brought up to date
// first.

#include "cli/CliCommand.h"

namespace velmora::cli {

class SearchCommand : public CliCommand {
 public:
  using CliCommand::CliCommand;
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace velmora::cli
