#pragma once
// Writes files one after another below one output folder: finds or
// creates the folder of each through OutputFolders, stages it through
// StagedFile so it appears complete or not at all, and has the folders
// made for a file that fails removed again.
//
// Nothing is ever written outside the output folder, whatever it already
// holds: the file is created relative to its folder's handle, which
// OutputFolders opened without following links, so a symbolic link on a
// file's path (planted before or during the extraction) stops that file
// instead of leading it elsewhere. Each failure keeps its reason.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ExtractionLoss.h"
#include "engine/OutputFolders.h"
#include "engine/OutputPath.h"
#include "engine/StagedFile.h"

namespace velmora::engine {

class DiskFileWriter {
 public:
  // root is the output folder; it is created (parents first) with the
  // first file and removed again while no file has been written into it.
  // A made-up one is never a link (see OutputPath).
  explicit DiskFileWriter(OutputPath root);
  // Writes below folders shared with other writers, on other threads too.
  explicit DiskFileWriter(std::shared_ptr<OutputFolders> folders);
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
  // Puts the open file in place when blnComplete, drops it otherwise.
  // True only when the file was put in place; a file that is not leaves
  // the folders made for it removed again.
  bool End(bool blnComplete);
  // Why the last Begin, Write or End that should have succeeded did not.
  LossReason LastReason() const { return m_reason; }

 private:
  void Fail(LossReason reason) { m_reason = reason; }

  std::shared_ptr<OutputFolders> m_folders;
  std::string m_strFolder;  // of the open file, relative to the output folder
  std::optional<StagedFile> m_file;
  LossReason m_reason = LossReason::WriteFailed;
};

}  // namespace velmora::engine
