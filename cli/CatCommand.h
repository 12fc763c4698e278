#pragma once
// velmora-cli cat FILE.chm KEY: one stored file, found by its record key
// ("\index.htm", "html\a.htm"; "/" may stand for "\", letter case is
// ignored), copied to standard output byte for byte.

#include "cli/CliCommand.h"

namespace velmora::cli {

class CatCommand : public CliCommand {
 public:
  using CliCommand::CliCommand;
  int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) override;

 private:
  // After a walk that wrote nothing (an empty stream gives an empty file):
  // the message that says why.
  int ExplainNothingWritten(const std::string& strCHMFile, const std::string& strKey, std::ostream& err);
};

}  // namespace velmora::cli
