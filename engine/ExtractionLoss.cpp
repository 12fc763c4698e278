#include "engine/ExtractionLoss.h"

#include <cerrno>

#include "engine/ReportText.h"

namespace velmora::engine {

std::string LossReasonText(LossReason reason) {
  switch (reason) {
    case LossReason::Unreadable:
      return "无法读取";
    case LossReason::Damaged:
      return "数据损坏，无法解压";
    case LossReason::DiskFull:
      return "磁盘空间不足";
    case LossReason::NameTooLong:
      return "名称过长";
    case LossReason::FolderInTheWay:
      return "已有同名文件夹";
    case LossReason::FileInTheWay:
      return "路径中已有同名文件";
    case LossReason::SymbolicLink:
      return "路径中有符号链接";
    case LossReason::WriteFailed:
      break;
  }
  return "无法写入";
}

LossReason LossReasonOfErrno(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return LossReason::DiskFull;
    case ENAMETOOLONG:
      return LossReason::NameTooLong;
    case EISDIR:
      return LossReason::FolderInTheWay;
    case ENOTDIR:
      return LossReason::FileInTheWay;
    case ELOOP:
      return LossReason::SymbolicLink;
    default:
      return LossReason::WriteFailed;
  }
}

std::string LostItemLine(const LostItem& item) {
  return "未能导出：" + EscapeControlChars(item.strKey) + "（" + LossReasonText(item.reason) + "）";
}

std::string LostCountLine(std::size_t lngLost) { return "共" + std::to_string(lngLost) + "个内容未能导出。"; }

std::string LostItemsMessage(const std::vector<std::string>& strKeys) {
  if (strKeys.empty()) return {};
  std::string text = "以下内容未能导出：\n";
  for (std::size_t i = 0; i < strKeys.size() && i < kMaxListedLosses; ++i) text += EscapeControlChars(strKeys[i]) + "\n";
  if (strKeys.size() > kMaxListedLosses) text += "……\n";
  return text + LostCountLine(strKeys.size());
}

}  // namespace velmora::engine
