#pragma once
// One velmora-cli subcommand. Commands write only to the streams they are
// given, so tests run them in-process and compare the exact text.

#include <ostream>
#include <string>
#include <vector>

#include "cli/CliEnvironment.h"

namespace velmora::cli {

class CliCommand {
 public:
  explicit CliCommand(const CliEnvironment& env) : m_env(env) {}
  virtual ~CliCommand() = default;

  // args: the arguments after the command's name. Returns the exit code.
  virtual int execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) = 0;

 protected:
  // Writes "用法错误：" + what and where to find help; returns kExitUsage.
  static int UsageError(std::ostream& err, const std::string& what);

  const CliEnvironment& m_env;
};

}  // namespace velmora::cli
