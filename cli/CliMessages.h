#pragma once
// The texts velmora-cli writes on standard error. The first two are the
// window's own messages for the same situations.

namespace velmora::cli {

inline constexpr const char* kMissingFileMessage = "文件不存在：";
inline constexpr const char* kNotChmMessage = "解释文件失败，可能该文件不是chm文件。";
inline constexpr const char* kStorageNotFileMessage = "这是目录，不是文件，不能保存。";
inline constexpr const char* kNoSuchItemMessage = "找不到文件：";
inline constexpr const char* kReadFailedMessage = "读取文件失败：";
inline constexpr const char* kWriteFailedMessage = "写入文件失败：";
inline constexpr const char* kUsageErrorMessage = "用法错误：";
inline constexpr const char* kNoContentsMessage = "该文件没有目录（.hhc）：";
inline constexpr const char* kNoIndexMessage = "该文件没有索引（.hhk）：";
inline constexpr const char* kSitemapTruncatedMessage = "条目过多，只列出前几项，上限：";
// After a target the file does not hold.
inline constexpr const char* kMissingTargetMark = "缺失";
inline constexpr const char* kSearchIndexFailedMessage = "搜索索引出错：";
inline constexpr const char* kUnreadablePagesMessage = " 个页面无法读取";
inline constexpr const char* kNoChmFileReadMessage = "没有可以读取的CHM文件。";

}  // namespace velmora::cli
