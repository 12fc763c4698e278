#pragma once
// A private folder under the system's temporary folder, removed with
// everything in it when the object goes away.

#include <string>

namespace velmora::cli {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool ok() const { return m_blnCreated; }
  // The folder, or the template that could not be created.
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
  bool m_blnCreated = false;
};

}  // namespace velmora::cli
