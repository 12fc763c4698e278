#pragma once
// A file written without a name and linked into place only when complete,
// so readers never see a partial file and a failed write leaves an earlier
// file at the target untouched.
//
// Where the system lets this process name an unnamed file (O_TMPFILE and
// linkat with AT_EMPTY_PATH, which needs CAP_DAC_READ_SEARCH), the file is
// made unnamed: placing it is one link when the target does not exist, and
// a failed or interrupted write leaves nothing at all. Elsewhere it is
// written under a temporary name beside its target and renamed into place.
//
// The file is made relative to a folder handle, so a folder swapped for a
// symbolic link after the handle was opened cannot redirect it, and the
// temporary file is created with O_NOFOLLOW. The rename replaces a symbolic
// link at the target instead of writing through it.

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace velmora::engine {

class StagedFile {
 public:
  // The system calls that make a staged file and put it in place, taken
  // from a table that tests replace to make one of them fail (or throw, as
  // running out of memory would).
  struct SystemCalls {
    int (*openat)(int dirFd, const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, std::size_t length);
    int (*close)(int fd);
    int (*linkat)(int fromDirFd, const char* from, int toDirFd, const char* to, int flags);
    int (*renameat)(int fromDirFd, const char* from, int toDirFd, const char* to);
  };
  // The system's own calls.
  static const SystemCalls& OwnSystemCalls();
  // Makes every staged file use calls (null restores the system's own);
  // calls must stay valid until it is replaced.
  static void SetSystemCalls(const SystemCalls* calls);

  // Creates a new temporary file in the target's folder, which must exist
  // (the target is a path; its folder is opened, following links).
  explicit StagedFile(std::string strTarget);
  // Creates the temporary file in the open folder dirFd (kept open by the
  // caller while this object lives) for the target strName in that folder.
  StagedFile(int dirFd, std::string strName);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  // Appends bytes; false on any write error.
  bool Write(const char* data, std::size_t length);
  // Closes the temporary file and renames it over the target. On failure the
  // temporary file is removed and the target left as it was.
  bool Commit();
  // Closes and removes the temporary file (done by the destructor as well).
  void Discard();
  // errno of the call that failed last (0 when none did).
  int LastError() const { return m_error; }

  // false makes every later file a named one even where unnamed files are
  // allowed (so both ways can be tried on one system); true restores that.
  static void AllowUnnamedFiles(bool allowed);

 private:
  void Create();
  void CreateNamed();
  // Gives the unnamed file the target's name; false with m_error set.
  bool LinkUnnamed();

  int m_dirFd = -1;
  bool m_unnamed = false;  // made with O_TMPFILE, m_strTemp empty
  bool m_ownsDir = false;
  std::string m_strName;  // target, relative to m_dirFd
  std::string m_strTemp;  // temporary name, relative to m_dirFd
  int m_fd = -1;
  int m_error = 0;
};

}  // namespace velmora::engine
