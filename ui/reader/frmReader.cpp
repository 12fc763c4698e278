#include "ui/reader/frmReader.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "app/preview/ChmPreviewService.h"
#include "app/preview/PreviewSandbox.h"
#include "engine/ProductInfo.h"
#include "ui/common/UiServices.h"
#include "ui/reader/FindBar.h"
#include "ui/search/SearchResultTree.h"

namespace velmora::ui {
namespace {

struct EncodingChoice {
  const char* strName;  // as a web page and iconv name it; empty: automatic
  const char* strCaption;
};

const EncodingChoice kEncodings[] = {
    {"", "自动(&A)"},
    {"GBK", "简体中文 (GBK)"},
    {"Big5", "繁体中文 (Big5)"},
    {"Shift_JIS", "日文 (Shift_JIS)"},
    {"EUC-KR", "韩文 (EUC-KR)"},
    {"UTF-8", "Unicode (UTF-8)"},
    {"windows-1252", "西欧 (windows-1252)"},
    {"windows-1251", "西里尔文 (windows-1251)"},
    {"windows-1250", "中欧 (windows-1250)"},
};

}  // namespace

frmReader::frmReader(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmReader"));
  CreateControls();
  CreateMenus();
  ConnectPage();
  ConnectContents();
  ConnectIndex();
  resize(1000, 720);
}

frmReader::~frmReader() = default;

frmReader* frmReader::OpenWindow(const QString& strChmFile, QWidget* messageOwner) {
  auto* reader = new frmReader;
  reader->setAttribute(Qt::WA_DeleteOnClose);
  if (messageOwner) reader->setWindowIcon(messageOwner->windowIcon());
  if (!reader->OpenFile(strChmFile)) {
    delete reader;
    return nullptr;
  }
  reader->show();
  return reader;
}

QAction* frmReader::Action(const QString& strName) const { return findChild<QAction*>(strName); }

void frmReader::CreateControls() {
  m_splitter = new QSplitter(Qt::Horizontal, this);
  m_splitter->setObjectName(QStringLiteral("splitter"));
  m_splitter->setChildrenCollapsible(false);

  m_tabs = new QTabWidget(m_splitter);
  m_tabs->setObjectName(QStringLiteral("tabs"));
  m_treeContents = new QTreeView(m_tabs);
  m_treeContents->setObjectName(QStringLiteral("treeContents"));
  m_treeContents->setHeaderHidden(true);
  m_treeContents->setUniformRowHeights(true);
  m_treeContents->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_tabs->addTab(m_treeContents, QStringLiteral("目录(&C)"));

  auto* indexPane = new QWidget(m_tabs);
  auto* indexLayout = new QVBoxLayout(indexPane);
  indexLayout->setContentsMargins(2, 2, 2, 2);
  m_txtIndexFilter = new QLineEdit(indexPane);
  m_txtIndexFilter->setObjectName(QStringLiteral("txtIndexFilter"));
  m_txtIndexFilter->setPlaceholderText(QStringLiteral("键入要查找的关键字"));
  m_txtIndexFilter->setClearButtonEnabled(true);
  m_lstIndex = new QListView(indexPane);
  m_lstIndex->setObjectName(QStringLiteral("lstIndex"));
  m_lstIndex->setUniformItemSizes(true);
  m_lstIndex->setEditTriggers(QAbstractItemView::NoEditTriggers);
  indexLayout->addWidget(m_txtIndexFilter);
  indexLayout->addWidget(m_lstIndex, 1);
  m_tabs->addTab(indexPane, QStringLiteral("索引(&N)"));
  m_tabs->addTab(CreateSearchPane(), QStringLiteral("搜索(&S)"));

  auto* pagePane = new QWidget(m_splitter);
  auto* pageLayout = new QVBoxLayout(pagePane);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->setSpacing(0);
  m_view = new QWebEngineView(pagePane);
  m_view->setObjectName(QStringLiteral("wbPage"));
  // Before anything loads: the preview's sandbox, profile and schemes.
  app::HardenPreview(m_view);
  m_findBar = new FindBar(pagePane);
  m_findBar->SetPage(m_view->page());
  pageLayout->addWidget(m_view, 1);
  pageLayout->addWidget(m_findBar);

  m_splitter->addWidget(m_tabs);
  m_splitter->addWidget(pagePane);
  m_splitter->setStretchFactor(0, 0);
  m_splitter->setStretchFactor(1, 1);
  m_splitter->setSizes({280, 720});
  setCentralWidget(m_splitter);

  m_lblStatus = new QLabel(this);
  m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
  statusBar()->addWidget(m_lblStatus, 1);
}

QAction* frmReader::AddAction(QMenu* menu, const char* strName, const QString& strCaption,
                              const QKeySequence& shortcut) {
  QAction* action = menu->addAction(strCaption);
  action->setObjectName(QString::fromLatin1(strName));
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

void frmReader::CreateMenus() {
  QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("文件(&F)"));
  connect(AddAction(mnuFile, "mnuOpen", QStringLiteral("打开(&O)…"), QKeySequence::Open), &QAction::triggered, this,
          &frmReader::mnuOpen_Click);
  m_mnuRecent = mnuFile->addMenu(QStringLiteral("最近阅读(&R)"));
  m_mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
  connect(m_mnuRecent, &QMenu::aboutToShow, this, &frmReader::FillRecentMenu);
  mnuFile->addSeparator();
  connect(AddAction(mnuFile, "mnuPrint", QStringLiteral("打印为PDF文件(&P)…"), QKeySequence::Print),
          &QAction::triggered, this, &frmReader::mnuPrint_Click);
  mnuFile->addSeparator();
  connect(AddAction(mnuFile, "mnuClose", QStringLiteral("关闭(&C)"), QKeySequence(QStringLiteral("Ctrl+W"))),
          &QAction::triggered, this, &QWidget::close);

  QMenu* mnuEdit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
  connect(AddAction(mnuEdit, "mnuCopy", QStringLiteral("复制(&C)"), QKeySequence::Copy), &QAction::triggered, this,
          &frmReader::mnuCopy_Click);
  mnuEdit->addSeparator();
  connect(AddAction(mnuEdit, "mnuFind", QStringLiteral("在页面中查找(&F)…"), QKeySequence::Find),
          &QAction::triggered, m_findBar, &FindBar::Open);
  connect(AddAction(mnuEdit, "mnuFindNext", QStringLiteral("查找下一个(&N)"), QKeySequence(QStringLiteral("F3"))),
          &QAction::triggered, m_findBar, [this] {
            if (m_findBar->isHidden()) m_findBar->Open(); else m_findBar->FindNext();
          });
  connect(AddAction(mnuEdit, "mnuFindPrevious", QStringLiteral("查找上一个(&V)"),
                    QKeySequence(QStringLiteral("Shift+F3"))),
          &QAction::triggered, m_findBar, &FindBar::FindPrevious);
  mnuEdit->addSeparator();
  connect(AddAction(mnuEdit, "mnuShelfSearch", QStringLiteral("在多个帮助文件中搜索(&M)…")), &QAction::triggered, this,
          &frmReader::mnuShelfSearch_Click);

  QMenu* mnuGo = menuBar()->addMenu(QStringLiteral("转到(&G)"));
  QAction* mnuBack = AddAction(mnuGo, "mnuBack", QStringLiteral("后退(&B)"), QKeySequence::Back);
  QAction* mnuForward = AddAction(mnuGo, "mnuForward", QStringLiteral("前进(&F)"), QKeySequence::Forward);
  QAction* mnuHome = AddAction(mnuGo, "mnuHome", QStringLiteral("主页(&H)"), QKeySequence(QStringLiteral("Alt+Home")));
  mnuGo->addSeparator();
  QAction* mnuPrevious = AddAction(mnuGo, "mnuPreviousTopic", QStringLiteral("上一主题(&P)"),
                                   QKeySequence(QStringLiteral("Alt+Up")));
  QAction* mnuNext = AddAction(mnuGo, "mnuNextTopic", QStringLiteral("下一主题(&N)"),
                               QKeySequence(QStringLiteral("Alt+Down")));
  mnuBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  mnuForward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  mnuHome->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  mnuPrevious->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
  mnuNext->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
  connect(mnuBack, &QAction::triggered, m_view, &QWebEngineView::back);
  connect(mnuForward, &QAction::triggered, m_view, &QWebEngineView::forward);
  connect(mnuHome, &QAction::triggered, this, &frmReader::GoHome);
  connect(mnuPrevious, &QAction::triggered, this, [this] { GoTopic(-1); });
  connect(mnuNext, &QAction::triggered, this, [this] { GoTopic(1); });
  // History follows the page's own record of it.
  for (const auto& [action, pageAction] : {std::pair{mnuBack, QWebEnginePage::Back},
                                           std::pair{mnuForward, QWebEnginePage::Forward}}) {
    QAction* source = m_view->pageAction(pageAction);
    action->setEnabled(source->isEnabled());
    connect(source, &QAction::changed, action, [action, source] { action->setEnabled(source->isEnabled()); });
  }

  QMenu* mnuView = menuBar()->addMenu(QStringLiteral("查看(&V)"));
  connect(AddAction(mnuView, "mnuZoomIn", QStringLiteral("放大(&I)"), QKeySequence::ZoomIn), &QAction::triggered,
          this, [this] { StepZoom(1); });
  connect(AddAction(mnuView, "mnuZoomOut", QStringLiteral("缩小(&O)"), QKeySequence::ZoomOut), &QAction::triggered,
          this, [this] { StepZoom(-1); });
  connect(AddAction(mnuView, "mnuZoomReset", QStringLiteral("实际大小(&R)"), QKeySequence(QStringLiteral("Ctrl+0"))),
          &QAction::triggered, this, [this] { SetZoom(1.0); });
  // Ctrl+= as well: on most keyboards "+" needs Shift.
  auto* mnuZoomInAlt = new QAction(this);
  mnuZoomInAlt->setShortcut(QKeySequence(QStringLiteral("Ctrl+=")));
  addAction(mnuZoomInAlt);
  connect(mnuZoomInAlt, &QAction::triggered, this, [this] { StepZoom(1); });
  mnuView->addSeparator();
  m_mnuEncoding = mnuView->addMenu(QStringLiteral("编码(&E)"));
  m_mnuEncoding->setObjectName(QStringLiteral("mnuEncoding"));
  m_grpEncoding = new QActionGroup(this);
  for (const EncodingChoice& choice : kEncodings) {
    const QString strName = QString::fromLatin1(choice.strName);
    QAction* action = m_mnuEncoding->addAction(QString::fromUtf8(choice.strCaption));
    action->setObjectName(QStringLiteral("mnuEncoding_") + (strName.isEmpty() ? QStringLiteral("auto") : strName));
    action->setData(strName);
    action->setCheckable(true);
    m_grpEncoding->addAction(action);
    connect(action, &QAction::triggered, this, [this, strName] { mnuEncoding_Click(strName); });
    if (strName.isEmpty()) m_mnuEncoding->addSeparator();
  }

  QToolBar* toolbar = addToolBar(QStringLiteral("导航"));
  toolbar->setObjectName(QStringLiteral("toolbar"));
  toolbar->setMovable(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  toolbar->addActions({mnuBack, mnuForward, mnuHome});
  toolbar->addSeparator();
  toolbar->addActions({mnuPrevious, mnuNext});
}

void frmReader::FillRecentMenu() {
  m_mnuRecent->clear();
  const QStringList files = ReaderSettings::RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    const QString strFile = files[i];
    QString strCaption = strFile;
    strCaption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* action = m_mnuRecent->addAction(QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(strCaption));
    action->setObjectName(QStringLiteral("mnuRecent%1").arg(i));
    connect(action, &QAction::triggered, this, [this, strFile] { OpenFile(strFile); });
  }
  if (files.isEmpty()) m_mnuRecent->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

QString frmReader::ChooseChmFile(QWidget* owner, const QString& strFolder) {
  FileDialogRequest request;
  request.owner = owner;
  request.title = QStringLiteral("阅读CHM文件");
  request.initialFolder = strFolder;
  request.nameFilters = {QStringLiteral("CHM文件 (*.chm)"), QStringLiteral("所有文件 (*)")};
  request.fileMustExist = true;
  request.pathMustExist = true;
  const FileDialogResult result = Services().ShowFileDialog(request);
  return result.accepted ? result.files.value(0) : QString();
}

void frmReader::mnuOpen_Click() {
  const QString strFile = ChooseChmFile(this, QFileInfo(m_strChmFile).absolutePath());
  if (!strFile.isEmpty()) OpenFile(strFile);
}

bool frmReader::OpenFile(const QString& strChmFile) {
  if (!TakeFile(strChmFile)) return false;
  const ReaderTarget remembered = TargetInFile(m_strChmFile, m_state.strPage);
  if (!remembered.IsEmpty()) {
    ShowTarget(remembered);
  } else {
    GoHome();
  }
  return true;
}

bool frmReader::TakeFile(const QString& strChmFile) {
  if (!m_strChmFile.isEmpty()) SaveState();
  const ReaderFileState state = ReaderSettings::Load(strChmFile);
  if (!LoadDocument(strChmFile, state.strEncoding)) {
    ShowMessage(QStringLiteral("无法阅读该文件（文件不存在、不是CHM文件或已损坏）：") + strChmFile);
    return false;
  }
  m_state = state;
  if (!m_state.geometry.isEmpty()) restoreGeometry(m_state.geometry);
  if (m_state.lngTreeWidth > 0) {
    const int lngTotal = m_splitter->width() > 0 ? m_splitter->width() : width();
    m_splitter->setSizes({m_state.lngTreeWidth, std::max(1, lngTotal - m_state.lngTreeWidth)});
  }
  m_view->setZoomFactor(m_state.dblZoom);
  return true;
}

bool frmReader::LoadDocument(const QString& strChmFile, const QString& strEncoding) {
  std::unique_ptr<ReaderDocument> document = LoadReaderDocument(strChmFile, strEncoding);
  if (!document) return false;
  m_document = std::move(document);
  m_strChmFile = m_document->strChmFile;
  app::ChmPreviewService::Shared().SetPageCharset(m_strChmFile, strEncoding.toLatin1());
  ReaderSettings::AddRecentFile(m_strChmFile);
  for (QAction* action : m_grpEncoding->actions()) action->setChecked(action->data().toString() == strEncoding);
  FillContents();
  FillIndex();
  m_tabs->setTabEnabled(0, !m_document->contents.empty());
  m_tabs->setTabEnabled(1, !m_document->index.empty());
  // The search tab is always there: a file without contents and index can
  // still be searched.
  if (!m_tabs->isTabEnabled(m_tabs->currentIndex())) {
    m_tabs->setCurrentIndex(m_tabs->isTabEnabled(0) ? 0 : m_tabs->isTabEnabled(1) ? 1 : 2);
  }
  // Results of the file shown before are not this file's.
  m_treeSearch->clear();
  m_lblSearchStatus->clear();
  UpdateTitle();
  return true;
}

void frmReader::UpdateTitle() {
  const QString strName = QFileInfo(m_strChmFile).fileName();
  setWindowTitle(m_document->strTitle.isEmpty() ? strName : m_document->strTitle + QStringLiteral(" - ") + strName);
}

void frmReader::mnuEncoding_Click(const QString& strEncoding) {
  if (m_strChmFile.isEmpty() || strEncoding == m_state.strEncoding) return;
  m_state.strEncoding = strEncoding;
  const ReaderTarget current = m_current;
  LoadDocument(m_strChmFile, strEncoding);
  SaveState();
  m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
  if (!current.IsEmpty()) SelectInContents(current);
}

void frmReader::SaveState() {
  if (m_strChmFile.isEmpty()) return;
  if (m_current.strChmFile == m_strChmFile) m_state.strPage = m_current.PathWithFragment();
  m_state.dblZoom = m_view->zoomFactor();
  m_state.lngTreeWidth = m_splitter->sizes().value(0);
  m_state.geometry = saveGeometry();
  ReaderSettings::Save(m_strChmFile, m_state);
}

void frmReader::closeEvent(QCloseEvent* event) {
  if (m_blnPrinting) {
    m_blnCloseWhenPrinted = true;
    statusBar()->showMessage(QStringLiteral("正在打印，完成后关闭窗口…"));
    event->ignore();
    return;
  }
  SaveState();
  event->accept();
}

void frmReader::ShowMessage(const QString& strText) {
  MessageRequest request;
  request.owner = isVisible() ? this : nullptr;
  request.text = strText;
  request.caption = QString::fromUtf8(kApplicationTitle);
  request.icon = MsgIcon::Information;
  Services().ShowMessage(request);
}

}  // namespace velmora::ui
