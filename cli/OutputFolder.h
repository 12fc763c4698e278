#pragma once
// The folder the extracting commands write into, and the checks made
// before they walk.

#include <ostream>
#include <string>

#include "cli/CliArguments.h"
#include "engine/OutputPath.h"

namespace velmora::cli {

// The folder given with -o, which may be a link the user chose; without
// -o strDefault, a name the program made up beside the CHM file, which is
// never followed when it is a link.
engine::OutputPath OutputFolder(const CliArguments& arguments, std::string strDefault);

// False after the message on err when nothing may be written into output:
// a made-up folder that is a symbolic link, or a file in the folder's
// place (the walk would write nothing and still succeed).
bool CanWriteInto(const engine::OutputPath& output, std::ostream& err);

}  // namespace velmora::cli
