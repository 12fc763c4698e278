#include "ui/search/SnippetDelegate.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPainter>
#include <QTextDocument>

namespace velmora::ui {

void SnippetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QString strHtml = index.data(kHtmlRole).toString();
  if (strHtml.isEmpty()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem item(option);
  initStyleOption(&item, index);
  item.text.clear();
  QStyle* style = item.widget ? item.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

  QTextDocument document;
  document.setDefaultFont(item.font);
  document.setDocumentMargin(0);
  document.setHtml(strHtml);
  const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
  QAbstractTextDocumentLayout::PaintContext context;
  context.palette = item.palette;
  if (item.state & QStyle::State_Selected) {
    context.palette.setColor(QPalette::Text, item.palette.color(QPalette::HighlightedText));
  }
  painter->save();
  painter->translate(textRect.left(), textRect.top() + (textRect.height() - document.size().height()) / 2);
  painter->setClipRect(textRect.translated(-textRect.topLeft()));
  document.documentLayout()->draw(painter, context);
  painter->restore();
}

}  // namespace velmora::ui
