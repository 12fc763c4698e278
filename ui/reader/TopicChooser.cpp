#include "ui/reader/TopicChooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

TopicChooser::TopicChooser(const ReaderEntry& entry, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("dlgTopics"));
  setWindowTitle(QStringLiteral("已找到的主题"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("“%1”有多个主题，请选择要显示的主题：").arg(entry.strName), this));
  m_lstTopics = new QListWidget(this);
  m_lstTopics->setObjectName(QStringLiteral("lstTopics"));
  for (const ReaderLink& link : entry.links) {
    auto* item = new QListWidgetItem(link.strTitle.isEmpty() ? link.strText : link.strTitle, m_lstTopics);
    item->setToolTip(link.blnMissing ? QStringLiteral("未找到：") + link.strText : link.strText);
    if (!link.IsFollowable()) item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
  }
  m_lstTopics->setCurrentRow(0);
  layout->addWidget(m_lstTopics, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("显示(&D)"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_lstTopics, &QListWidget::itemActivated, this, &QDialog::accept);
  resize(420, 300);
}

TopicChooser* TopicChooser::Choose(const ReaderEntry& entry, QWidget* parent,
                                   std::function<void(const ReaderLink&)> chosen) {
  auto* dialog = new TopicChooser(entry, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  const QList<ReaderLink> links = entry.links;
  connect(dialog, &QDialog::accepted, parent, [dialog, links, chosen] {
    const int lngRow = dialog->m_lstTopics->currentRow();
    if (lngRow >= 0 && lngRow < links.size()) chosen(links[lngRow]);
  });
  dialog->open();
  return dialog;
}

}  // namespace velmora::ui
