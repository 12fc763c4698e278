#pragma once
// Whole-file replacement that a crash cannot leave half done: the bytes go
// to a temporary file beside the target, are flushed to disk, and the
// temporary file is then renamed over the target in one step.

#include <optional>
#include <string>

namespace velmora::platform {

// Replaces (or creates) the file at path with exactly these bytes. A
// symbolic link is followed, so the file it points to is replaced. The
// file keeps its permission bits; a new file gets `mode` (default: 0666
// less the umask). Returns false, with the old file untouched and no
// temporary file left, when the folder is missing or not writable or any
// write fails.
bool WriteFileAtomically(const std::string& path, const std::string& bytes,
                         std::optional<unsigned> mode = std::nullopt);

// The file's whole content; nullopt when it cannot be read (missing,
// a folder, no permission).
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace velmora::platform
