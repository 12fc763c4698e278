#include "ui/search/SearchResultTree.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QHash>

#include "ui/search/SnippetDelegate.h"

namespace velmora::ui {
namespace {

QString Utf8(const std::string& strText) { return QString::fromStdString(strText); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The snippet as HTML, every hit in bold.
QString SnippetHtml(const search::Snippet& snippet) {
  const std::string_view text(snippet.text);
  QString strHtml;
  std::size_t at = 0;
  for (const auto& [first, second] : snippet.marks) {
    strHtml += Utf8(text.substr(at, first - at)).toHtmlEscaped();
    strHtml += QStringLiteral("<b>") + Utf8(text.substr(first, second - first)).toHtmlEscaped() + QStringLiteral("</b>");
    at = second;
  }
  return strHtml + Utf8(text.substr(at)).toHtmlEscaped();
}

QString FirstHit(const search::Snippet& snippet) {
  if (snippet.marks.empty()) return QString();
  const auto& [first, second] = snippet.marks.front();
  return Utf8(std::string_view(snippet.text).substr(first, second - first));
}

// "3 个结果；12 页无法读取" and the like.
QString FileSummary(int lngHits, const SearchedFile& file) {
  if (file.status == search::FileStatus::Unreadable) return QStringLiteral("无法读取（不是chm文件或已损坏）");
  QString strText = QStringLiteral("%1 个结果").arg(lngHits);
  if (file.lngUnreadablePages > 0) strText += QStringLiteral("；%1 页无法读取").arg(file.lngUnreadablePages);
  return strText;
}

}  // namespace

SearchResultTree::SearchResultTree(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(3);
  setHeaderLabels({QStringLiteral("标题"), QStringLiteral("位置"), QStringLiteral("摘要")});
  setItemDelegateForColumn(kSnippetColumn, new SnippetDelegate(this));
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  header()->setStretchLastSection(true);
  header()->resizeSection(kTitleColumn, 220);
  header()->resizeSection(kPathColumn, 180);
  connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ChooseItem(item); });
  connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { ChooseItem(item); });
}

void SearchResultTree::ShowResult(const FullTextResult& result, bool blnByFile) {
  clear();
  m_lngHits = 0;
  setRootIsDecorated(blnByFile);
  QHash<QString, int> hitsOfFile;
  for (const search::SearchHit& hit : result.hits) ++hitsOfFile[Utf8(hit.chmPath)];

  // The files in the order of their best hit, then those without hits that
  // have something to say (pages or all of it unreadable).
  QHash<QString, QTreeWidgetItem*> groups;
  const auto groupOf = [&](const SearchedFile& file) {
    // One line across the columns: the name, what was found, the folder.
    auto* group = new QTreeWidgetItem(this);
    const QFileInfo info(file.strChmFile);
    group->setText(kTitleColumn, QStringLiteral("%1 — %2 — %3")
                                     .arg(info.fileName(), FileSummary(hitsOfFile.value(file.strChmFile), file),
                                          QDir::toNativeSeparators(info.path())));
    group->setToolTip(kTitleColumn, file.strChmFile);
    group->setData(kTitleColumn, kChmFileRole, file.strChmFile);
    QFont font = group->font(kTitleColumn);
    font.setBold(true);
    group->setFont(kTitleColumn, font);
    group->setFirstColumnSpanned(true);
    groups.insert(file.strChmFile, group);
    return group;
  };
  QHash<QString, const SearchedFile*> files;
  for (const SearchedFile& file : result.files) files.insert(file.strChmFile, &file);

  for (const search::SearchHit& hit : result.hits) {
    const QString strChmFile = Utf8(hit.chmPath);
    QTreeWidgetItem* parent = nullptr;
    if (blnByFile) {
      parent = groups.value(strChmFile);
      if (!parent) {
        SearchedFile file{strChmFile};
        file.status = search::FileStatus::Indexed;
        parent = groupOf(files.contains(strChmFile) ? *files.value(strChmFile) : file);
      }
    }
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(kTitleColumn, hit.title.empty() ? Utf8(hit.path) : Utf8(hit.title));
    item->setText(kPathColumn, Utf8(hit.path));
    item->setToolTip(kPathColumn, strChmFile + QStringLiteral("::") + Utf8(hit.path));
    item->setText(kSnippetColumn, Utf8(hit.snippet.text));
    item->setData(kSnippetColumn, SnippetDelegate::kHtmlRole, SnippetHtml(hit.snippet));
    item->setData(kTitleColumn, kChmFileRole, strChmFile);
    item->setData(kTitleColumn, kStoredPathRole, Utf8(hit.path));
    item->setData(kTitleColumn, kHighlightRole, FirstHit(hit.snippet));
    ++m_lngHits;
  }
  if (!blnByFile) return;
  for (const SearchedFile& file : result.files) {
    const bool blnTells = file.status == search::FileStatus::Unreadable || file.lngUnreadablePages > 0;
    if (!groups.contains(file.strChmFile) && blnTells) groupOf(file);
  }
  expandAll();
}

void SearchResultTree::ChooseItem(QTreeWidgetItem* item) {
  if (!item) return;
  const QString strStoredPath = item->data(kTitleColumn, kStoredPathRole).toString();
  if (strStoredPath.isEmpty()) return;
  emit HitChosen(item->data(kTitleColumn, kChmFileRole).toString(), strStoredPath,
                 item->data(kTitleColumn, kHighlightRole).toString());
}

}  // namespace velmora::ui
