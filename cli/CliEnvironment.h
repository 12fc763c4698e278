#pragma once
// What every velmora-cli command gets besides its arguments and streams.

#include "platform/storage/StorageService.h"

namespace velmora::cli {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitFailure = 1,  // missing file, not a CHM file, nothing to write
  kExitUsage = 2,
  kExitLost = 3,  // the extraction ran but some streams could not be written
};

struct CliEnvironment {
  // Progress lines go to standard error only when it is a terminal.
  bool blnShowProgress = false;
  // Empty: the libmspack storage service. Tests hand in a fake.
  platform::StorageServiceFactory factory;
};

}  // namespace velmora::cli
