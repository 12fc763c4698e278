// The contents tab: the contents file's tree; a click shows the entry's
// page, and the tree follows whatever page is shown. Entries whose page
// the file does not hold are greyed, with the reason as tooltip.

#include <QApplication>
#include <QStandardItemModel>
#include <QStyle>
#include <QTreeView>
#include <vector>

#include "ui/reader/frmReader.h"

namespace velmora::ui {
namespace {

constexpr int kEntryRole = Qt::UserRole + 1;  // the entry's position in the document's contents

QString PageKey(const ReaderTarget& target) {
  return target.strChmFile + QStringLiteral("::") + target.strStoredPath.toLower();
}

}  // namespace

void frmReader::ConnectContents() {
  m_mdlContents = new QStandardItemModel(this);
  m_treeContents->setModel(m_mdlContents);
  connect(m_treeContents, &QTreeView::clicked, this, &frmReader::treeContents_Clicked);
  connect(m_treeContents, &QTreeView::activated, this, &frmReader::treeContents_Clicked);
}

void frmReader::FillContents() {
  m_contentsPages.clear();
  m_mdlContents->clear();
  const QIcon icoBook = style()->standardIcon(QStyle::SP_DirIcon);
  const QIcon icoPage = style()->standardIcon(QStyle::SP_FileIcon);
  const QBrush greyed = QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
  const std::vector<ReaderEntry>& entries = m_document->contents;
  // parents[level]: the item entries of that level go under (no recursion:
  // the levels come flat, in tree order).
  std::vector<QStandardItem*> parents{m_mdlContents->invisibleRootItem()};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ReaderEntry& entry = entries[i];
    const std::size_t lngLevel = std::min(std::size_t(std::max(0, entry.lngLevel)), parents.size() - 1);
    auto* item = new QStandardItem(entry.strName);
    item->setEditable(false);
    item->setData(int(i), kEntryRole);
    const bool blnHasChildren = i + 1 < entries.size() && entries[i + 1].lngLevel > entry.lngLevel;
    item->setIcon(blnHasChildren ? icoBook : icoPage);
    const ReaderLink link = entry.FirstLink();
    if (link.kind == ReaderLink::Kind::Page && link.blnMissing) {
      item->setForeground(greyed);
      item->setToolTip(QStringLiteral("未找到：") + link.strText);
    } else if (link.kind == ReaderLink::Kind::Refused) {
      item->setForeground(greyed);
      item->setToolTip(QStringLiteral("不打开此类链接：") + link.strText);
    } else if (link.kind != ReaderLink::Kind::None) {
      item->setToolTip(link.strText);
    }
    if (link.kind == ReaderLink::Kind::Page && !link.blnMissing && !m_contentsPages.contains(PageKey(link.target))) {
      m_contentsPages.insert(PageKey(link.target), item);
    }
    parents[lngLevel]->appendRow(item);
    parents.resize(lngLevel + 1);
    parents.push_back(item);
  }
}

void frmReader::treeContents_Clicked(const QModelIndex& index) {
  const int lngEntry = index.data(kEntryRole).toInt();
  if (!m_document || !index.isValid() || lngEntry < 0 || std::size_t(lngEntry) >= m_document->contents.size()) return;
  const ReaderEntry& entry = m_document->contents[std::size_t(lngEntry)];
  if (entry.FirstLink().kind == ReaderLink::Kind::None) {
    m_treeContents->setExpanded(index, !m_treeContents->isExpanded(index));
    return;
  }
  Follow(entry.FirstLink());
}

void frmReader::SelectInContents(const ReaderTarget& target) {
  QStandardItem* item = m_contentsPages.value(PageKey(target));
  if (!item) {
    m_treeContents->clearSelection();
    return;
  }
  const QModelIndex index = item->index();
  for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
    m_treeContents->expand(parent);
  }
  m_treeContents->setCurrentIndex(index);
  m_treeContents->scrollTo(index);
}

QList<ReaderTarget> frmReader::TopicsInOrder() const {
  QList<ReaderTarget> topics;
  if (!m_document) return topics;
  for (const ReaderEntry& entry : m_document->contents) {
    const ReaderLink link = entry.FirstLink();
    if (link.kind == ReaderLink::Kind::Page && !link.blnMissing) topics << link.target;
  }
  return topics;
}

}  // namespace velmora::ui
