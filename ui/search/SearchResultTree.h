#pragma once
// The hits of a full-text search: grouped under their CHM file (its name,
// how many hits, how many of its pages could not be read) or, for one
// file, as a plain list; each hit with its title, stored path and snippet,
// the hits in bold. Clicking a hit (or Enter on it) chooses it.

#include <QTreeWidget>

#include "ui/search/FullTextSearch.h"

namespace velmora::ui {

class SearchResultTree : public QTreeWidget {
  Q_OBJECT

 public:
  enum Column { kTitleColumn, kPathColumn, kSnippetColumn };
  // Where a hit row keeps its place.
  static constexpr int kChmFileRole = Qt::UserRole + 1;
  static constexpr int kStoredPathRole = Qt::UserRole + 2;
  static constexpr int kHighlightRole = Qt::UserRole + 3;

  explicit SearchResultTree(QWidget* parent = nullptr);

  // blnByFile: a row for each CHM file with its hits below it.
  void ShowResult(const FullTextResult& result, bool blnByFile);
  // The number of hit rows.
  int HitCount() const { return m_lngHits; }

 signals:
  // strHighlight: the text of the snippet's first hit, as the page has it.
  void HitChosen(const QString& strChmFile, const QString& strStoredPath, const QString& strHighlight);

 private:
  void ChooseItem(QTreeWidgetItem* item);

  int m_lngHits = 0;
};

}  // namespace velmora::ui
