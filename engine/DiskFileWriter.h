#pragma once
// Writes files one after another below one output folder: creates the
// missing folders of each, stages it through StagedFile so it appears
// complete or not at all, and removes the folders it created for a file
// that fails.
//
// Nothing is ever written outside the output folder, whatever it already
// holds: every folder below it is created and opened relative to the
// handle of its parent with O_NOFOLLOW, so a symbolic link on a file's path
// (planted before or during the extraction) stops that file instead of
// leading it elsewhere. The output folder itself is opened as given and
// may be a link the user chose. Each failure keeps its reason.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/ExtractionLoss.h"
#include "engine/StagedFile.h"

namespace velmora::engine {

class DiskFileWriter {
 public:
  // strRoot is the output folder; it is created (parents first) with the
  // first file and removed again while no file has been written into it.
  explicit DiskFileWriter(std::string strRoot);
  ~DiskFileWriter();  // ends an open file as failed
  DiskFileWriter(const DiskFileWriter&) = delete;
  DiskFileWriter& operator=(const DiskFileWriter&) = delete;

  // Starts the file at strRelative, "/"-separated below the output folder
  // ("a.htm", "html/a.htm"; no empty, "." or ".." component), after ending
  // an open one as failed. False when its folder or temporary file cannot
  // be made; nothing is left behind then.
  bool Begin(const std::string& strRelative);
  bool IsOpen() const { return m_file.has_value(); }
  // Appends bytes to the open file; false on a write error or when no file
  // is open.
  bool Write(const char* data, std::size_t length);
  // Renames the open file into place when blnComplete, drops it otherwise.
  // True only when the file was renamed into place; a file that is not
  // leaves the folders made for it removed again.
  bool End(bool blnComplete);
  // Why the last Begin, Write or End that should have succeeded did not.
  LossReason LastReason() const { return m_reason; }

  // The text before its last "/" (empty when there is none).
  static std::string GetParentFolder(const std::string& strText);
  // Creates every missing folder of strFolder, parents first, and adds the
  // ones it created to created (deepest last). True when the folder exists.
  // Follows links: it is for folders the user chose.
  static bool EnsureFolder(const std::string& strFolder, std::vector<std::string>& created);

 private:
  // Opens the output folder, creating it when missing.
  bool OpenRoot();
  // A handle on the folder strRelative below the output folder ("" is the
  // output folder), created when missing; -1 with m_reason set on failure.
  int OpenFolder(const std::string& strRelative);
  void Fail(LossReason reason);
  // Removes the folders made for the file that failed, deepest first.
  void RemoveCreatedFolders();
  void CloseFolders();

  std::string m_strRoot;
  int m_rootFd = -1;
  bool m_anyWritten = false;
  std::vector<std::string> m_rootCreated;  // folders made for the output folder
  // Handles on the folders below the output folder already opened, by
  // relative path, so each is looked up once and not for every file.
  std::unordered_map<std::string, int> m_folders;
  std::vector<std::string> m_created;  // relative folders made for the open file
  std::optional<StagedFile> m_file;
  LossReason m_reason = LossReason::WriteFailed;
};

}  // namespace velmora::engine
