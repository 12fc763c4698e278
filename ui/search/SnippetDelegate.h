#pragma once
// Draws a result's snippet with its hits in bold: the item's text in
// SnippetDelegate::kHtmlRole is a small piece of HTML (escaped text and
// <b> around each hit), shown on one line.

#include <QStyledItemDelegate>

namespace velmora::ui {

class SnippetDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int kHtmlRole = Qt::UserRole + 16;

  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace velmora::ui
