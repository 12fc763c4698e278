#include "app/preview/AboutPages.h"

namespace velmora::app {

QString FolderPageAddress() { return QStringLiteral("about:(这是目录)"); }

QString RefusedPageAddress(const QString& strName) {
  return QStringLiteral("about:<font color=red>(危险文件，已经忽略：") + strName.toHtmlEscaped() +
         QStringLiteral(")</font>");
}

QByteArray PreviewErrorPage(const QString& strItem, PreviewFailure failure) {
  QString strReason;
  switch (failure) {
    case PreviewFailure::NotFound:
      strReason = QStringLiteral("找不到该文件。");
      break;
    case PreviewFailure::Refused:
      strReason = QStringLiteral("只能打开同一文件夹中的其他CHM文件。");
      break;
    case PreviewFailure::TooLarge:
      strReason = QStringLiteral("文件太大，不能实时预览，请抽取后查看。");
      break;
    case PreviewFailure::Damaged:
      strReason = QStringLiteral("文件已损坏，无法读取。");
      break;
    case PreviewFailure::NoSpace:
      strReason = QStringLiteral("磁盘空间不足，无法抽取预览。");
      break;
    case PreviewFailure::CannotWrite:
      strReason = QStringLiteral("无法写入预览文件夹。");
      break;
  }
  const QString strName = strItem.toHtmlEscaped();
  return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>无法预览：") + strName +
          QStringLiteral("</title></head><body><p><font color=red>(无法预览：") + strName +
          QStringLiteral(")</font></p><p>") + strReason + QStringLiteral("</p></body></html>"))
      .toUtf8();
}

QString PreviewErrorPageAddress(const QString& strItem, PreviewFailure failure) {
  return QStringLiteral("about:") + QString::fromUtf8(PreviewErrorPage(strItem, failure));
}

}  // namespace velmora::app
