#pragma once
// Narrows a file-system model to one root folder: the root, its ancestors
// (so that the root can be reached) and everything below it. An empty root
// lets every folder through.

#include <QSortFilterProxyModel>

class FolderTreeFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit FolderTreeFilter(const QString& strRoot, QObject* parent = nullptr);

  // Whether strPath is strAncestor itself or lies below it.
  static bool IsWithin(const QString& strPath, const QString& strAncestor);

  // A folder has children only when it holds a visible subfolder, so the
  // tree shows no expand arrow on folders that have none.
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QString m_strRoot;
};
