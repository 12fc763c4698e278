#pragma once
// The index as a flat list of keywords, sub-keywords indented under their
// keyword, narrowed by a filter as the user types. Matching finds the
// filter anywhere in a keyword, ignoring Latin letter case and the
// difference between full-width and half-width forms (both sides are
// compared in NFKC, case-folded); a sub-keyword that matches brings its
// keywords along. The folded names are made once, so a filter over
// thousands of keywords is one pass of substring searches.

#include <QAbstractListModel>
#include <vector>

#include "ui/reader/ReaderEntry.h"

namespace velmora::ui {

class IndexModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit IndexModel(QObject* parent = nullptr);

  void SetEntries(std::vector<ReaderEntry> entries);
  // Shows the keywords that match; an empty filter shows all.
  void SetFilter(const QString& strFilter);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The entry a visible row shows.
  const ReaderEntry& Entry(int lngRow) const { return m_entries[std::size_t(m_visible[std::size_t(lngRow)])]; }
  // The first visible row of a top-level keyword equal to strKeyword
  // (folded as the filter is); -1 when none.
  int RowOfKeyword(const QString& strKeyword) const;

  // The form names and filters are compared in.
  static QString Folded(const QString& strText);

 private:
  std::vector<ReaderEntry> m_entries;
  std::vector<QString> m_folded;  // m_folded[i]: entry i's name, folded
  std::vector<int> m_visible;     // entries shown, in order
};

}  // namespace velmora::ui
