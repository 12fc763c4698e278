#include "ui/common/FolderTreeFilter.h"

#include <QFileSystemModel>

FolderTreeFilter::FolderTreeFilter(const QString& strRoot, QObject* parent)
    : QSortFilterProxyModel(parent), m_strRoot(strRoot) {}

bool FolderTreeFilter::IsWithin(const QString& strPath, const QString& strAncestor) {
  if (strPath == strAncestor) return true;
  const QString prefix =
      strAncestor.endsWith(QLatin1Char('/')) ? strAncestor : strAncestor + QLatin1Char('/');
  return strPath.startsWith(prefix);
}

bool FolderTreeFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
  if (m_strRoot.isEmpty()) return true;
  const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
  const QString path = model->filePath(model->index(sourceRow, 0, sourceParent));
  return IsWithin(path, m_strRoot) || IsWithin(m_strRoot, path);
}
