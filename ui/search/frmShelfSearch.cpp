#include "ui/search/frmShelfSearch.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/search/SearchQuery.h"
#include "ui/common/cBrowseForFolder.h"
#include "ui/search/SearchFolders.h"
#include "ui/search/SearchResultTree.h"
#include "ui/search/SearchStatusText.h"

namespace velmora::ui {

frmShelfSearch::frmShelfSearch(QWidget* parent) : QDialog(parent), m_search(new FullTextSearch(this)) {
  setWindowTitle(QStringLiteral("在多个帮助文件中搜索"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(900, 600);

  m_txtQuery = new QLineEdit(this);
  m_txtQuery->setPlaceholderText(QStringLiteral("要找的文字；空格分开的词都要出现，\"引号\"内为一个词组"));
  m_cmdSearch = new QPushButton(QStringLiteral("搜索(&S)"), this);
  m_cmdSearch->setDefault(true);
  m_cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
  m_cmdCancel->setEnabled(false);
  auto* queryRow = new QHBoxLayout;
  queryRow->addWidget(new QLabel(QStringLiteral("搜索内容："), this));
  queryRow->addWidget(m_txtQuery, 1);
  queryRow->addWidget(m_cmdSearch);
  queryRow->addWidget(m_cmdCancel);

  m_lstFolders = new QListWidget(this);
  m_lstFolders->setMaximumHeight(90);
  m_lstFolders->addItems(SearchFolders::Load());
  m_cmdAddFolder = new QPushButton(QStringLiteral("添加文件夹(&A)…"), this);
  m_cmdRemoveFolder = new QPushButton(QStringLiteral("移除(&R)"), this);
  auto* folderButtons = new QVBoxLayout;
  folderButtons->addWidget(m_cmdAddFolder);
  folderButtons->addWidget(m_cmdRemoveFolder);
  folderButtons->addStretch();
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(m_lstFolders, 1);
  folderRow->addLayout(folderButtons);

  m_prgIndex = new QProgressBar(this);
  m_prgIndex->setVisible(false);
  m_lblStatus = new QLabel(this);
  m_treeResults = new SearchResultTree(this);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(queryRow);
  layout->addWidget(new QLabel(QStringLiteral("在这些文件夹（含子文件夹）中的CHM文件里搜索："), this));
  layout->addLayout(folderRow);
  layout->addWidget(m_prgIndex);
  layout->addWidget(m_lblStatus);
  layout->addWidget(m_treeResults, 1);

  connect(m_txtQuery, &QLineEdit::returnPressed, this, &frmShelfSearch::StartSearch);
  connect(m_cmdSearch, &QPushButton::clicked, this, &frmShelfSearch::StartSearch);
  connect(m_cmdCancel, &QPushButton::clicked, m_search, &FullTextSearch::Cancel);
  connect(m_cmdAddFolder, &QPushButton::clicked, this, &frmShelfSearch::AddFolder);
  connect(m_cmdRemoveFolder, &QPushButton::clicked, this, &frmShelfSearch::RemoveFolder);
  connect(m_search, &FullTextSearch::Progress, this, &frmShelfSearch::ShowProgress);
  connect(m_search, &FullTextSearch::Finished, this, &frmShelfSearch::ShowResult);
  connect(m_treeResults, &SearchResultTree::HitChosen, this, &frmShelfSearch::PageChosen);
}

QStringList frmShelfSearch::Folders() const {
  QStringList folders;
  for (int i = 0; i < m_lstFolders->count(); ++i) folders << m_lstFolders->item(i)->text();
  return folders;
}

void frmShelfSearch::StartSearch() {
  if (search::ParseQuery(m_txtQuery->text().toStdString()).empty()) {
    m_lblStatus->setText(QStringLiteral("请输入要搜索的文字。"));
    return;
  }
  if (m_lstFolders->count() == 0) {
    m_lblStatus->setText(QStringLiteral("请先添加要搜索的文件夹。"));
    return;
  }
  m_treeResults->clear();
  m_lblStatus->setText(QStringLiteral("正在搜索…"));
  SetRunning(true);
  m_search->Start(m_txtQuery->text(), Folders());
}

void frmShelfSearch::AddFolder() {
  cBrowseForFolder browser;
  browser.SetHwndOwner(this);
  browser.SetTitle(QStringLiteral("请选择要搜索的文件夹"));
  browser.SetUseNewUI(true);
  const QString strFolder = browser.BrowseForFolder();
  if (strFolder.isEmpty()) return;
  const QString strClean = QDir::cleanPath(strFolder);
  if (!Folders().contains(strClean)) m_lstFolders->addItem(strClean);
  SaveFolders();
}

void frmShelfSearch::RemoveFolder() {
  delete m_lstFolders->currentItem();
  SaveFolders();
}

void frmShelfSearch::SaveFolders() { SearchFolders::Save(Folders()); }

void frmShelfSearch::ShowProgress(int lngFile, int lngFiles, const QString& strChmFile, int lngPagesRead,
                                  int lngPageCount) {
  m_prgIndex->setVisible(true);
  m_prgIndex->setRange(0, std::max(1, lngPageCount));
  m_prgIndex->setValue(std::min(lngPagesRead, std::max(1, lngPageCount)));
  m_lblStatus->setText(IndexingText(lngFile, lngFiles, strChmFile, lngPagesRead, lngPageCount));
}

void frmShelfSearch::ShowResult(const FullTextResult& result) {
  SetRunning(false);
  m_treeResults->ShowResult(result, true);
  m_lblStatus->setText(ResultText(result));
}

void frmShelfSearch::SetRunning(bool blnRunning) {
  m_cmdCancel->setEnabled(blnRunning);
  m_cmdSearch->setEnabled(!blnRunning);
  if (!blnRunning) m_prgIndex->setVisible(false);
}

}  // namespace velmora::ui
