#pragma once
// What an extraction could not write: the stream's record key and why.
// The walker collects them, velmora-cli prints them one per line and the
// window sums them up in one message after the walk.

#include <cstddef>
#include <string>
#include <vector>

namespace velmora::engine {

enum class LossReason {
  Unreadable,      // the stream could not be opened or read
  Damaged,         // decompression failed or delivered the wrong length
  DiskFull,        // no space (or quota) left
  NameTooLong,     // the file system refused the name's length
  FolderInTheWay,  // a folder already has the file's name
  FileInTheWay,    // a file already has the name of a folder on the path
  SymbolicLink,    // a folder on the path is a symbolic link
  WriteFailed,     // any other write error
};

struct LostItem {
  std::string strKey;  // record key: "\a.htm", "html\a.htm"
  LossReason reason = LossReason::WriteFailed;
};

// The reason as the user reads it, e.g. "路径中有符号链接".
std::string LossReasonText(LossReason reason);

// The reason for a failed file-system call's errno.
LossReason LossReasonOfErrno(int error);

// "未能导出：" + key + "（" + reason + "）", the key with control
// characters shown as \xNN.
std::string LostItemLine(const LostItem& item);

// "共N个内容未能导出。"
std::string LostCountLine(std::size_t lngLost);

// The window's message after a walk that lost something: "以下内容未能导出：",
// then up to kMaxListedLosses keys one per line, "……" when more were lost,
// then LostCountLine. Empty when nothing was lost.
inline constexpr std::size_t kMaxListedLosses = 20;
std::string LostItemsMessage(const std::vector<std::string>& strKeys);

}  // namespace velmora::engine
