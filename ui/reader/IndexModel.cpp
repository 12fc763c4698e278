#include "ui/reader/IndexModel.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

namespace velmora::ui {

IndexModel::IndexModel(QObject* parent) : QAbstractListModel(parent) {}

QString IndexModel::Folded(const QString& strText) {
  return strText.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

void IndexModel::SetEntries(std::vector<ReaderEntry> entries) {
  beginResetModel();
  m_entries = std::move(entries);
  m_folded.clear();
  m_folded.reserve(m_entries.size());
  for (const ReaderEntry& entry : m_entries) m_folded.push_back(Folded(entry.strName));
  m_visible.resize(m_entries.size());
  for (std::size_t i = 0; i < m_entries.size(); ++i) m_visible[i] = int(i);
  endResetModel();
}

void IndexModel::SetFilter(const QString& strFilter) {
  const QString strFolded = Folded(strFilter.trimmed());
  std::vector<bool> shown(m_entries.size(), strFolded.isEmpty());
  if (!strFolded.isEmpty()) {
    // ancestors[level]: the entry last seen at that level (-1: none), for
    // bringing a matching sub-keyword's keywords along.
    std::vector<int> ancestors;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
      ancestors.resize(std::size_t(std::max(0, m_entries[i].lngLevel)), -1);
      if (m_folded[i].contains(strFolded)) {
        shown[i] = true;
        for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
          if (*it < 0) continue;
          if (shown[std::size_t(*it)]) break;
          shown[std::size_t(*it)] = true;
        }
      }
      ancestors.push_back(int(i));
    }
  }
  beginResetModel();
  m_visible.clear();
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i]) m_visible.push_back(int(i));
  }
  endResetModel();
}

int IndexModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_visible.size()); }

QVariant IndexModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(m_visible.size())) return {};
  const ReaderEntry& entry = Entry(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return QString(entry.lngLevel * 4, QLatin1Char(' ')) + entry.strName;
    case Qt::ToolTipRole: {
      const ReaderLink link = entry.FirstLink();
      if (link.kind == ReaderLink::Kind::Page && link.blnMissing && entry.links.size() == 1) {
        return QStringLiteral("未找到：") + link.strText;
      }
      if (!entry.seeAlso.isEmpty() && entry.links.isEmpty()) {
        return QStringLiteral("参见：") + entry.seeAlso.join(QStringLiteral("; "));
      }
      return {};
    }
    case Qt::ForegroundRole: {
      bool blnFollowable = !entry.seeAlso.isEmpty();
      for (const ReaderLink& link : entry.links) blnFollowable = blnFollowable || link.IsFollowable();
      if (blnFollowable || entry.links.isEmpty()) return {};
      return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    }
    default:
      return {};
  }
}

Qt::ItemFlags IndexModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int IndexModel::RowOfKeyword(const QString& strKeyword) const {
  const QString strFolded = Folded(strKeyword.trimmed());
  for (std::size_t row = 0; row < m_visible.size(); ++row) {
    const std::size_t i = std::size_t(m_visible[row]);
    if (m_entries[i].lngLevel == 0 && m_folded[i] == strFolded) return int(row);
  }
  return -1;
}

}  // namespace velmora::ui
