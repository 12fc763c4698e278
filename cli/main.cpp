// velmora-cli: lists, extracts and reports CHM files from a shell.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/CliApplication.h"

int main(int argc, char* argv[]) {
  std::ios::sync_with_stdio(false);
  velmora::cli::CliEnvironment env;
  env.blnShowProgress = isatty(STDERR_FILENO) == 1;
  velmora::cli::CliApplication application(env);
  const int status = application.Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
  std::cout.flush();
  return std::cout ? status : velmora::cli::kExitFailure;
}
