#include "ui/common/FolderTreeFilter.h"

#include <QDirIterator>
#include <QFileSystemModel>

FolderTreeFilter::FolderTreeFilter(const QString& strRoot, QObject* parent)
    : QSortFilterProxyModel(parent), m_strRoot(strRoot) {}

bool FolderTreeFilter::IsWithin(const QString& strPath, const QString& strAncestor) {
  if (strPath == strAncestor) return true;
  const QString prefix =
      strAncestor.endsWith(QLatin1Char('/')) ? strAncestor : strAncestor + QLatin1Char('/');
  return strPath.startsWith(prefix);
}

bool FolderTreeFilter::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return QSortFilterProxyModel::hasChildren(parent);
  const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
  const QModelIndex source = mapToSource(parent);
  if (!model->isDir(source)) return false;
  // Loaded folders answer from the model; others from one look at the disk
  // (the first subfolder is enough), with the model's own filter.
  if (!model->canFetchMore(source)) return QSortFilterProxyModel::hasChildren(parent);
  QDirIterator it(model->filePath(source), model->filter() & ~QDir::Files);
  return it.hasNext();
}

bool FolderTreeFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (m_strRoot.isEmpty()) return true;
  const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
  const QString path = model->filePath(model->index(sourceRow, 0, sourceParent));
  return IsWithin(path, m_strRoot) || IsWithin(m_strRoot, path);
}
