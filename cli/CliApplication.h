#pragma once
// velmora-cli's dispatcher: picks the subcommand named by the first argument
// and runs it, or prints the usage.

#include <ostream>
#include <string>
#include <vector>

#include "cli/CliEnvironment.h"

namespace velmora::cli {

class CliApplication {
 public:
  explicit CliApplication(CliEnvironment env);

  // args: the program's arguments without the program name. Returns the
  // exit status: 0 success, 1 a file could not be read or written, 2 usage.
  int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

  static const char* UsageText();

 private:
  CliEnvironment m_env;
};

}  // namespace velmora::cli
