#pragma once
// Where a walk writes, and who named that place. A folder the user chose
// ("-o", the folder dialog, "/path=") is taken as given and may be a
// symbolic link to a folder elsewhere. A folder the program made up (the
// CHM file's path with "_文件内容" or "_工程" appended, a numbered folder of
// a batch export) lies beside a file that came from somewhere else, and
// whoever delivered the file may have put a link of that name beside it
// (an archive restores links): such a name is never followed, it is
// created and opened as a folder of its own or not at all.

#include <string>
#include <utility>

namespace velmora::engine {

struct OutputPath {
  // A path the user chose. Implicit, so a chosen path is passed as text.
  OutputPath(std::string path) : strPath(std::move(path)) {}
  OutputPath(const char* path) : strPath(path) {}

  // A folder name the program made up.
  static OutputPath MadeUp(std::string path) {
    OutputPath result(std::move(path));
    result.blnMadeUp = true;
    return result;
  }

  std::string strPath;
  bool blnMadeUp = false;
};

// Whether strPath itself is a symbolic link (the link is not followed).
bool IsSymbolicLink(const std::string& strPath);

// The message when a made-up output folder is found to be a symbolic
// link: "默认的输出文件夹是符号链接，为安全起见不写入：" + path.
std::string MadeUpFolderIsLinkMessage(const std::string& strPath);

}  // namespace velmora::engine
