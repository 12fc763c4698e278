#pragma once
// velmora-cli listing -o LIST.txt FILE.chm...: the text listing of the
// "仅文件列表" export. Per CHM file a "CHM文件：" header, then one line per
// item; a file that cannot be listed keeps its header, gets no item lines,
// and makes the exit status 1 once the listing is written.

#include "cli/CliCommand.h"

namespace velmora::cli {

class ListingCommand : public CliCommand {
 public:
  using CliCommand::CliCommand;
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;
};

}  // namespace velmora::cli
