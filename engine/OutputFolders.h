#pragma once
// The folders below one output folder that files are written into, shared
// by every DiskFileWriter of one extraction, on any number of threads.
//
// Each file holds its folder from the time it is begun until it is ended.
// Folders are created when a file first needs them, each relative to the
// handle of its parent with O_NOFOLLOW, so a symbolic link on the way
// (planted before or during the extraction) stops the file instead of
// leading it elsewhere; handles are kept, so each folder is looked up once.
// A folder this object made is removed again when the file that ends last
// in it was not written and nothing else is in it, and the output folder
// it made is removed again while no file has been written at all: the
// folders left are the ones that hold a written file, whatever order the
// files came in.

#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/ExtractionLoss.h"
#include "engine/OutputPath.h"

namespace velmora::engine {

class OutputFolders {
 public:
  // root is the output folder; it is created (parents first) with the
  // first file. A folder the user chose is opened as given and may be a
  // link; a made-up one is made and opened without following a link of
  // its name (the folders above it are opened as given).
  explicit OutputFolders(OutputPath root);
  ~OutputFolders();
  OutputFolders(const OutputFolders&) = delete;
  OutputFolders& operator=(const OutputFolders&) = delete;

  // A handle on the folder strRelative ("" is the output folder, else
  // "/"-separated with no empty, "." or ".." component), created when
  // missing, held for one file until Release. -1 with reason set when it
  // cannot be made or opened; nothing is held then and the folders made
  // for it are gone again.
  int Acquire(const std::string& strRelative, LossReason& reason);
  // Lets go of a folder Acquire gave; blnWritten tells whether the file
  // held there was written.
  void Release(const std::string& strRelative, bool blnWritten);

  // The text before its last "/" (empty when there is none).
  static std::string GetParentFolder(const std::string& strText);

 private:
  bool OpenRoot(LossReason& reason);
  // The handle of a made-up output folder, made when missing (with the
  // folders above it, added to created); -1 with reason set otherwise.
  int OpenMadeUpRoot(std::vector<std::string>& created, LossReason& reason);
  // The handle of strRelative, opened (and cached) one folder at a time
  // without following links; missing folders are made when blnCreate.
  int OpenFolder(const std::string& strRelative, LossReason& reason, bool blnCreate = true);
  // Removes the folders this object made on the way to strRelative that
  // no file holds and that are empty, deepest first; then the output
  // folder when it made it, nothing was written and no file is open.
  void RemoveUnused(const std::string& strRelative);
  void CloseUnheldFolders();

  std::mutex m_mutex;
  std::string m_strRoot;
  bool m_blnMadeUp = false;
  int m_rootFd = -1;
  bool m_anyWritten = false;
  int m_openFiles = 0;
  std::vector<std::string> m_rootCreated;  // folders made for the output folder
  std::unordered_map<std::string, int> m_handles;  // relative folder -> open handle
  std::unordered_map<std::string, int> m_holders;  // relative folder -> files open in it
  std::unordered_set<std::string> m_made;          // relative folders made here, still there
};

}  // namespace velmora::engine
