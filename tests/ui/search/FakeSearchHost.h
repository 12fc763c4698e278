#pragma once
// A stand-in for the main window: a real window with the two real lists, the
// mode as a plain number, and a record of the rows it was asked to preview.

#include <QList>
#include <QListWidget>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include "ui/search/SearchHost.h"

namespace velmora::ui {

class FakeSearchHost : public SearchHost {
 public:
  FakeSearchHost() {
    window.setObjectName(QStringLiteral("frmVelmora"));
    header.fill(Qt::darkBlue);
    QPixmap icon(32, 32);
    icon.fill(Qt::red);
    window.setWindowIcon(QIcon(icon));
    for (QListWidget* list : {&lstItems, &lstFiles}) {
      list->setParent(&window);
      list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    lstItems.setObjectName(QStringLiteral("lstItems"));
    lstFiles.setObjectName(QStringLiteral("lstFiles"));
    window.show();
  }

  QWidget* SearchOwner() override { return &window; }
  int CurrentMode() const override { return mode; }
  QListWidget* ModeList(int index) override { return index == 0 ? &lstItems : &lstFiles; }
  QPixmap HeaderPicture() const override { return header; }
  void ContentRowMadeCurrent(int row) override { previewed.append(row); }

  static void Fill(QListWidget& list, const QStringList& rows) {
    list.clear();
    list.addItems(rows);
  }

  // Declared before the lists so it is destroyed after them.
  QWidget window;
  QPixmap header{QSize(64, 8)};
  QListWidget lstItems;
  QListWidget lstFiles;
  int mode = 0;
  QList<int> previewed;
};

}  // namespace velmora::ui
