// The search tab: the full text of the file shown, through the search
// index; a hit shows its page with the hit found in it. And the way to the
// shelf search over many files.

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/search/SearchQuery.h"
#include "ui/reader/ShelfSearchLauncher.h"
#include "ui/reader/frmReader.h"
#include "ui/search/FullTextSearch.h"
#include "ui/search/SearchResultTree.h"
#include "ui/search/SearchStatusText.h"

namespace velmora::ui {

QWidget* frmReader::CreateSearchPane() {
  auto* pane = new QWidget(m_tabs);
  m_txtSearch = new QLineEdit(pane);
  m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
  m_txtSearch->setPlaceholderText(QStringLiteral("键入要搜索的文字，按回车"));
  m_txtSearch->setClearButtonEnabled(true);
  m_cmdSearchCancel = new QPushButton(QStringLiteral("取消"), pane);
  m_cmdSearchCancel->setObjectName(QStringLiteral("cmdSearchCancel"));
  m_cmdSearchCancel->setEnabled(false);
  m_lblSearchStatus = new QLabel(pane);
  m_lblSearchStatus->setObjectName(QStringLiteral("lblSearchStatus"));
  m_lblSearchStatus->setWordWrap(true);
  m_treeSearch = new SearchResultTree(pane);
  m_treeSearch->setObjectName(QStringLiteral("treeSearch"));
  m_treeSearch->hideColumn(SearchResultTree::kPathColumn);
  m_fullText = new FullTextSearch(this);

  auto* queryRow = new QHBoxLayout;
  queryRow->addWidget(m_txtSearch, 1);
  queryRow->addWidget(m_cmdSearchCancel);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(queryRow);
  layout->addWidget(m_lblSearchStatus);
  layout->addWidget(m_treeSearch, 1);

  connect(m_txtSearch, &QLineEdit::returnPressed, this, &frmReader::StartFullTextSearch);
  connect(m_cmdSearchCancel, &QPushButton::clicked, m_fullText, &FullTextSearch::Cancel);
  connect(m_fullText, &FullTextSearch::Progress, this,
          [this](int lngFile, int lngFiles, const QString& strFile, int lngRead, int lngCount) {
            m_lblSearchStatus->setText(IndexingText(lngFile, lngFiles, strFile, lngRead, lngCount));
          });
  connect(m_fullText, &FullTextSearch::Finished, this, &frmReader::ShowFullTextResult);
  connect(m_treeSearch, &SearchResultTree::HitChosen, this,
          [this](const QString& strChmFile, const QString& strStoredPath, const QString& strHighlight) {
            OpenAt(strChmFile, strStoredPath, strHighlight);
          });
  return pane;
}

void frmReader::StartFullTextSearch() {
  if (m_strChmFile.isEmpty() || search::ParseQuery(m_txtSearch->text().toStdString()).empty()) return;
  m_treeSearch->clear();
  m_lblSearchStatus->setText(QStringLiteral("正在搜索…"));
  m_cmdSearchCancel->setEnabled(true);
  m_fullText->Start(m_txtSearch->text(), {m_strChmFile});
}

void frmReader::ShowFullTextResult(const FullTextResult& result) {
  m_cmdSearchCancel->setEnabled(false);
  m_treeSearch->ShowResult(result, false);
  QString strText = ResultText(result);
  if (!result.files.empty() && result.files.front().lngUnreadablePages > 0) {
    strText += QStringLiteral("（%1 页无法读取）").arg(result.files.front().lngUnreadablePages);
  }
  m_lblSearchStatus->setText(strText);
}

void frmReader::mnuShelfSearch_Click() { OpenShelfSearch(this, this); }

}  // namespace velmora::ui
