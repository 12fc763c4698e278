#pragma once
// Writes files one after another at their disk paths: creates the missing
// folders of each, stages it through StagedFile so it appears complete or
// not at all, and removes the folders it created for a file that fails.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/StagedFile.h"

namespace velmora::engine {

class DiskFileWriter {
 public:
  DiskFileWriter() = default;
  ~DiskFileWriter();  // ends an open file as failed
  DiskFileWriter(const DiskFileWriter&) = delete;
  DiskFileWriter& operator=(const DiskFileWriter&) = delete;

  // Starts the file at strFile, a path with a folder ("out/a.htm"), after
  // ending an open one as failed. False when its folder or temporary file
  // cannot be made; nothing is left behind then.
  bool Begin(const std::string& strFile);
  bool IsOpen() const { return m_file.has_value(); }
  // Appends bytes to the open file; false on a write error or when no file
  // is open.
  bool Write(const char* data, std::size_t length);
  // Renames the open file into place when blnComplete, drops it otherwise.
  // True only when the file was renamed into place; a file that is not
  // leaves the folders made for it removed again.
  bool End(bool blnComplete);

  // The text before its last "/" (empty when there is none).
  static std::string GetParentFolder(const std::string& strText);
  // Creates every missing folder of strFolder, parents first, and adds the
  // ones it created to created (deepest last). True when the folder exists.
  static bool EnsureFolder(const std::string& strFolder, std::vector<std::string>& created);

 private:
  // Folders a file was already written into: their existence is not
  // checked again for every file.
  std::unordered_set<std::string> m_knownFolders;
  std::vector<std::string> m_created;  // folders made for the open file
  std::string m_strFolder;             // folder of the open file
  std::optional<StagedFile> m_file;
};

}  // namespace velmora::engine
