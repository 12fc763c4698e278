#include "ui/search/SearchStatusText.h"

#include <QFileInfo>

namespace velmora::ui {

QString IndexingText(int lngFile, int lngFiles, const QString& strChmFile, int lngPagesRead, int lngPageCount) {
  return QStringLiteral("正在建立索引（%1/%2）：%3，%4/%5 页")
      .arg(lngFile + 1)
      .arg(lngFiles)
      .arg(QFileInfo(strChmFile).fileName())
      .arg(lngPagesRead)
      .arg(lngPageCount);
}

QString ResultText(const FullTextResult& result) {
  if (!result.strError.isEmpty()) return QStringLiteral("无法使用搜索索引：") + result.strError;
  if (result.blnCancelled) return QStringLiteral("已取消。");
  if (result.files.empty()) return QStringLiteral("没有找到CHM文件。");
  if (result.lngHitsFound == 0) return QStringLiteral("没有找到“%1”。").arg(result.strQuery);
  if (result.lngHitsFound > result.hits.size()) {
    return QStringLiteral("找到 %1 个结果，列出前 %2 个。").arg(result.lngHitsFound).arg(result.hits.size());
  }
  return QStringLiteral("找到 %1 个结果。").arg(result.lngHitsFound);
}

}  // namespace velmora::ui
