#include "ui/main/cMainMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace velmora::ui {

namespace {

QMenu* AddMenu(QMenuBar* menuBar, const char* strName, const QString& strCaption) {
  QMenu* menu = menuBar->addMenu(strCaption);
  menu->setObjectName(QString::fromLatin1(strName));
  menu->menuAction()->setObjectName(QString::fromLatin1(strName));
  return menu;
}

QAction* AddEntry(QMenu* menu, const QString& strName, const QString& strCaption,
                  const QString& strShortcut = QString()) {
  QAction* action = menu->addAction(strCaption);
  action->setObjectName(strName);
  if (!strShortcut.isEmpty()) action->setShortcut(QKeySequence(strShortcut));
  return action;
}

QAction* AddSeparator(QMenu* menu, const QString& strName) {
  QAction* action = menu->addSeparator();
  action->setObjectName(strName);
  return action;
}

QAction* AddCheckEntry(QMenu* menu, const QString& strName, const QString& strCaption,
                       const QString& strShortcut, bool blnChecked) {
  QAction* action = AddEntry(menu, strName, strCaption, strShortcut);
  action->setCheckable(true);
  action->setChecked(blnChecked);
  return action;
}

}  // namespace

void cMainMenu::Build(QMenuBar* menuBar) {
  mnuFile = AddMenu(menuBar, "mnuFile", QStringLiteral("文件(&F)"));
  mnuOpen = AddEntry(mnuFile, QStringLiteral("mnuOpen"), QStringLiteral("打开CHM文件/列表(&O)"),
                     QStringLiteral("Ctrl+O"));
  mnuRead = AddEntry(mnuFile, QStringLiteral("mnuRead"), QStringLiteral("阅读(&R)…"), QStringLiteral("Ctrl+R"));
  mnuClose = AddEntry(mnuFile, QStringLiteral("mnuClose"), QStringLiteral("关闭CHM文件/列表(&C)"),
                      QStringLiteral("Ctrl+W"));
  mnuHR = AddSeparator(mnuFile, QStringLiteral("mnuHR"));
  mnuExit = AddEntry(mnuFile, QStringLiteral("mnuExit"), QStringLiteral("退出(&X)"));

  mnuSearch = AddMenu(menuBar, "mnuSearch", QStringLiteral("搜索(&S)"));
  mnuFind = AddEntry(mnuSearch, QStringLiteral("mnuFind"), QStringLiteral("查找(&F)"), QStringLiteral("F3"));
  mnuShelfSearch = AddEntry(mnuSearch, QStringLiteral("mnuShelfSearch"), QStringLiteral("在多个帮助文件中搜索(&M)…"));

  mnuExport = AddMenu(menuBar, "mnuExport", QStringLiteral("导出(&E)"));
  struct ExportEntry {
    const char* strCaption;
    const char* strShortcut;
  };
  static const ExportEntry kExportEntry[kExportEntries] = {
      {"所有内容(&A)", "F4"},     {"选中内容(&S)", "F6"},     {"仅所有图片(&P)", "F7"},
      {"仅所有网页(&H)", "F8"},   {"仅所有多媒体(&M)", "F9"}, {"仅当前文件(&F)", "F11"},
      {nullptr, nullptr},         {"仅文件列表", "F12"},      {"导出为可编译的工程(&J)…", ""},
  };
  for (int index = 0; index < kExportEntries; ++index) {
    const QString strName = QStringLiteral("mnuExportCHM%1").arg(index);
    if (index == kExportSeparator) {
      mnuExportCHM[index] = AddSeparator(mnuExport, strName);
      continue;
    }
    mnuExportCHM[index] = AddEntry(mnuExport, strName, QString::fromUtf8(kExportEntry[index].strCaption),
                                   QString::fromLatin1(kExportEntry[index].strShortcut));
    mnuExportCHM[index]->setEnabled(false);
  }

  mnuView = AddMenu(menuBar, "mnuView", QStringLiteral("选项(&O)"));
  mnuViewInplace = AddCheckEntry(mnuView, QStringLiteral("mnuViewInplace"),
                                 QStringLiteral("实时预览（不抽取内容，直接查看）(&I)"), QStringLiteral("Ctrl+I"), true);
  mnuPreview = AddCheckEntry(mnuView, QStringLiteral("mnuPreview"), QStringLiteral("抽取内容预览(&P)"),
                             QStringLiteral("Ctrl+V"), false);
  mnuHR5 = AddSeparator(mnuView, QStringLiteral("mnuHR5"));
  mnuAutoViewHTML = AddCheckEntry(mnuView, QStringLiteral("mnuAutoViewHTML"), QStringLiteral("自动浏览内容(&A)"),
                                  QString(), true);
  mnuHR6 = AddSeparator(mnuView, QStringLiteral("mnuHR6"));
  mnuAssociates = AddCheckEntry(mnuView, QStringLiteral("mnuAssociates"),
                                QStringLiteral("在资源管理器右键菜单关联CHM文件(&A)"), QString(), false);

  mnuHelp = AddMenu(menuBar, "mnuHelp", QStringLiteral("帮助(&H)"));
  mnuAbout = AddEntry(mnuHelp, QStringLiteral("mnuAbout"), QStringLiteral("关于(&A)"), QStringLiteral("Ctrl+F1"));
  mnuManual = AddEntry(mnuHelp, QStringLiteral("mnuManual"), QStringLiteral("使用手册(&M)..."), QStringLiteral("F1"));
  mnuHR2 = AddSeparator(mnuHelp, QStringLiteral("mnuHR2"));
  mnuDonate = AddEntry(mnuHelp, QStringLiteral("mnuDonate"), QStringLiteral("捐助我们(&D)"), QStringLiteral("Ctrl+D"));
  mnuHR3 = AddSeparator(mnuHelp, QStringLiteral("mnuHR3"));
  mnuWebsite = AddEntry(mnuHelp, QStringLiteral("mnuWebsite"), QStringLiteral("官方网站(&W)"), QStringLiteral("Ctrl+H"));
}

}  // namespace velmora::ui
