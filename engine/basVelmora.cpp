#include "engine/basVelmora.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "Version.h"
#include "engine/ProductInfo.h"
#include "platform/desktop/DesktopLauncher.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velmora::engine::basVelmora {

namespace fs = std::filesystem;

std::string GetAppFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  std::string folder = exe.parent_path().string();
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

#ifdef _WIN32
std::string GetWindowsFolder() {
  char buffer[256] = {};
  const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) throw std::runtime_error("GetWindowsDirectoryA gave no folder");
  return TrimNull(std::string_view(buffer, sizeof buffer));
}
#endif

std::string GetVersionString() {
  return std::to_string(VELMORA_VERSION_MAJOR) + "." + std::to_string(VELMORA_VERSION_MINOR) + ".0." +
         std::to_string(VELMORA_VERSION_REVISION);
}

std::string GetFileName(std::string_view strPath) {
  const auto pos = strPath.find_last_of("/\\");
  return std::string(pos == std::string_view::npos ? strPath : strPath.substr(pos + 1));
}

std::string GetFileExtension(std::string_view strName) {
  const auto pos = strName.rfind('.');
  if (pos == std::string_view::npos) return {};
  std::string ext(strName.substr(pos + 1));
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext;
}

std::string TrimNull(std::string_view strText) {
  return std::string(strText.substr(0, strText.find('\0')));
}

bool FileExists(const std::string& strPath) {
  struct stat st {};
  return !strPath.empty() && ::stat(strPath.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& strPath) {
  std::string path = strPath;
  if (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolderPath(const std::string& strPath) {
  const auto pos = strPath.rfind('/');
  if (pos == std::string::npos || pos == 0) return true;  // nothing but a name, or the root
  const fs::path folder = strPath.substr(0, pos);
  std::error_code ec;
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec);
}

void DeleteFileIfExists(const std::string& strPath) {
  if (FileExists(strPath)) fs::remove(strPath);
}

void WriteTextFile(const std::string& strPath, std::string_view strText, bool blnAppend) {
  if (!blnAppend) DeleteFileIfExists(strPath);
  std::ofstream file(strPath, std::ios::binary | (blnAppend ? std::ios::app : std::ios::trunc));
  if (!file) throw std::runtime_error("cannot open " + strPath + " for writing");
  file.write(strText.data(), static_cast<std::streamsize>(strText.size()));
  file.write("\r\n", 2);
  file.close();
  if (!file) throw std::runtime_error("cannot write " + strPath);
}

bool SaveBytesToFile(const std::string& strPath, std::string_view bytData, bool blnOverwrite) {
  try {
    if (blnOverwrite) DeleteFileIfExists(strPath);
  } catch (const fs::filesystem_error&) {
    return false;
  }
  const int fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < bytData.size()) {
    const ssize_t n = ::write(fd, bytData.data() + done, bytData.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      ok = false;
    }
  }
  return ::close(fd) == 0 && ok;
}

void ShellOpen(const std::string& strFile) {
  platform::DesktopLauncher::OpenWithDefaultApplication(strFile);
}

void ShowDonatePage() {
  ShellOpen(std::string(kWebsiteAddress) + kDonatePage);
}

}  // namespace velmora::engine::basVelmora
