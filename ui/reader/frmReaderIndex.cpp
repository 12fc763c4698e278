// The index tab: the keywords, narrowed by the filter box as the user
// types; a keyword with one topic shows it, with several a chooser, and a
// "See Also" keyword leads to the keyword it names.

#include <QLineEdit>
#include <QListView>

#include "ui/reader/IndexModel.h"
#include "ui/reader/TopicChooser.h"
#include "ui/reader/frmReader.h"

namespace velmora::ui {

void frmReader::ConnectIndex() {
  m_mdlIndex = new IndexModel(this);
  m_lstIndex->setModel(m_mdlIndex);
  connect(m_txtIndexFilter, &QLineEdit::textChanged, this, [this](const QString& strText) {
    m_mdlIndex->SetFilter(strText);
    if (m_mdlIndex->rowCount() > 0) m_lstIndex->setCurrentIndex(m_mdlIndex->index(0));
  });
  connect(m_txtIndexFilter, &QLineEdit::returnPressed, this, [this] {
    lstIndex_Activated(m_lstIndex->currentIndex());
  });
  connect(m_lstIndex, &QListView::clicked, this, &frmReader::lstIndex_Activated);
  connect(m_lstIndex, &QListView::activated, this, &frmReader::lstIndex_Activated);
}

void frmReader::FillIndex() {
  m_txtIndexFilter->clear();
  m_mdlIndex->SetEntries(m_document->index);
}

void frmReader::lstIndex_Activated(const QModelIndex& index) {
  if (!index.isValid()) return;
  const ReaderEntry& entry = m_mdlIndex->Entry(index.row());
  if (entry.links.size() > 1) {
    TopicChooser::Choose(entry, this, [this](const ReaderLink& link) { Follow(link); });
  } else if (!entry.links.isEmpty()) {
    Follow(entry.links.first());
  } else if (!entry.seeAlso.isEmpty()) {
    // The keyword referred to, found among all keywords; one step only, so
    // keywords referring to each other lead nowhere endless.
    m_txtIndexFilter->setText(entry.seeAlso.first());
    const int lngRow = m_mdlIndex->RowOfKeyword(entry.seeAlso.first());
    if (lngRow >= 0) m_lstIndex->setCurrentIndex(m_mdlIndex->index(lngRow));
  }
}

}  // namespace velmora::ui
