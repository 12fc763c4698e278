#pragma once
// The program's shared free procedures: program folder and version, file
// names and extensions, file and folder tests, text and byte file writing,
// and opening files or addresses with the desktop.
//
// Paths are UTF-8 and use "/" as the separator. Window operations (window
// captions, list box extents) belong to the user interface layer.

#include <string>
#include <string_view>

namespace velmora::engine::basVelmora {

// The folder of the running program, without a trailing "/".
std::string GetAppFolder();

#ifdef _WIN32
// The Windows folder; throws std::runtime_error when the system gives none.
std::string GetWindowsFolder();
#endif

// major.minor.0.revision of this build, e.g. 1.4.0.37.
std::string GetVersionString();

// The last component of a path; "/" and "\" both separate.
std::string GetFileName(std::string_view strPath);

// The lower-cased text after the last "." (empty when there is none or the
// text ends in "."). Meant for bare names: it does not stop at separators.
std::string GetFileExtension(std::string_view strName);

// The text before its first NUL character.
std::string TrimNull(std::string_view strText);

// True when the exact path names an existing file that is not a folder.
// Never fails: an empty or unusable path gives false.
bool FileExists(const std::string& strPath);

// True when the path names an existing folder; one trailing "/" or "\" is
// ignored. Never fails.
bool FolderExists(const std::string& strPath);

// Creates every missing folder up to the last "/" (the text after it is a
// file name and is not created). True when all of them exist afterwards.
bool CreateFolderPath(const std::string& strPath);

// Deletes the file when FileExists says it is there; throws
// std::filesystem::filesystem_error when it cannot be deleted.
void DeleteFileIfExists(const std::string& strPath);

// Writes the UTF-8 text and a CR LF, replacing the file (blnAppend false) or
// adding to its end (blnAppend true, a missing file is created). Throws
// std::runtime_error (or filesystem_error) on any failure.
void WriteTextFile(const std::string& strPath, std::string_view strText, bool blnAppend);

// Writes the bytes at the start of the file, creating it when missing. With
// blnOverwrite the file is deleted first; without it, bytes of an existing
// longer file beyond those written remain. False on any failure.
bool SaveBytesToFile(const std::string& strPath, std::string_view bytData, bool blnOverwrite);

// Opens a file or address with the desktop's default application, without
// waiting for it. Failures are ignored.
void ShellOpen(const std::string& strFile);

// Opens the product's donation page in the web browser.
void ShowDonatePage();

}  // namespace velmora::engine::basVelmora
