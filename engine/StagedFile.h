#pragma once
// A file written under a temporary name beside its target and renamed into
// place only when complete, so readers never see a partial file and a
// failed write leaves an earlier file at the target untouched.

#include <cstddef>
#include <string>

namespace velmora::engine {

class StagedFile {
 public:
  // Creates a new temporary file in the target's folder, which must exist.
  explicit StagedFile(std::string strTarget);
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

 private:
  std::string m_strTarget;
  std::string m_strTemp;
  int m_fd = -1;
};

}  // namespace velmora::engine
