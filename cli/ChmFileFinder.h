#pragma once
// The CHM files a list of paths stands for: a file as given, a folder every
// "*.chm" below it (any letter case), in name order; symbolic links to
// folders are not followed, so a link loop ends nothing.

#include <ostream>
#include <string>
#include <vector>

namespace velmora::cli {

// Paths that do not exist are named on err with the missing-file message.
std::vector<std::string> FindChmFiles(const std::vector<std::string>& paths, std::ostream& err);

}  // namespace velmora::cli
