// The page view: what is shown follows the page (contents selection, the
// document of another CHM file a link led to), history, topics in contents
// order, zoom, copying, printing to PDF and web links.

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QPointer>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <array>

#include "app/preview/SandboxPage.h"
#include "engine/ProductInfo.h"
#include "ui/common/DesktopOpen.h"
#include "ui/common/UiServices.h"
#include "ui/reader/FindBar.h"
#include "ui/reader/frmReader.h"

namespace velmora::ui {
namespace {

// The zoom steps of Ctrl++ and Ctrl+-.
constexpr std::array<double, 13> kZoomSteps{0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 3.0};

}  // namespace

void frmReader::ConnectPage() {
  connect(m_view, &QWebEngineView::urlChanged, this, &frmReader::PageUrlChanged);
  connect(m_view->page(), &QWebEnginePage::linkHovered, this, [this](const QString& strUrl) {
    m_lblStatus->setText(strUrl);
  });
  if (auto* page = qobject_cast<app::SandboxPage*>(m_view->page())) {
    connect(page, &app::SandboxPage::WebLinkRefused, this, &frmReader::WebLinkRefused);
  }
  // The page OpenAt asked for: neither the view's url() (the new one as
  // soon as it is asked for) nor the load reported (a load replaced before
  // it showed anything may be reported for the page that replaced it) can
  // tell, so the document is asked where it is.
  connect(m_view, &QWebEngineView::loadFinished, this, [this](bool blnOk) {
    if (m_strPendingHighlight.isEmpty() || !blnOk) return;
    QPointer<frmReader> self(this);
    m_view->page()->runJavaScript(QStringLiteral("location.href"), QWebEngineScript::ApplicationWorld,
                                  [self](const QVariant& href) {
                                    if (self) self->HighlightWhenShown(QUrl(href.toString()));
                                  });
  });
  connect(m_view->page(), &QWebEnginePage::pdfPrintingFinished, this, [this](const QString& strFile, bool blnOk) {
    m_blnPrinting = false;
    if (m_blnCloseWhenPrinted) {
      close();
      return;
    }
    if (blnOk) {
      statusBar()->showMessage(QStringLiteral("已打印到：") + strFile, 10000);
    } else {
      ShowMessage(QStringLiteral("无法写入PDF文件：") + strFile);
    }
  });
}

void frmReader::HighlightWhenShown(const QUrl& shown) {
  if (m_strPendingHighlight.isEmpty()) return;
  // Page addresses name the file by its canonical path, which may differ.
  const std::optional<ReaderTarget> page = TargetOfUrl(shown);
  if (!page || page->strStoredPath.compare(m_highlightTarget.strStoredPath, Qt::CaseInsensitive) != 0 ||
      QFileInfo(page->strChmFile).canonicalFilePath() != QFileInfo(m_highlightTarget.strChmFile).canonicalFilePath()) {
    return;
  }
  const QString strText = m_strPendingHighlight;
  m_strPendingHighlight.clear();
  m_findBar->OpenWith(strText);
}

bool frmReader::OpenAt(const QString& strChmFile, const QString& strStoredPath, const QString& strHighlight) {
  const ReaderTarget target = TargetInFile(strChmFile, strStoredPath);
  // One navigation: a page of the file shown first would race with it.
  const bool blnSameFile =
      QFileInfo(target.strChmFile).canonicalFilePath() == QFileInfo(m_strChmFile).canonicalFilePath();
  if (!blnSameFile && !TakeFile(target.strChmFile)) return false;
  m_strPendingHighlight = strHighlight;
  m_highlightTarget = target;
  ShowTarget(target);
  return true;
}

void frmReader::ShowTarget(const ReaderTarget& target) {
  const QUrl url = PageUrl(target);
  if (url.isEmpty()) return;
  m_current = target;
  m_view->setUrl(url);
}

void frmReader::PageUrlChanged(const QUrl& url) {
  const std::optional<ReaderTarget> target = TargetOfUrl(url);
  if (!target) return;
  // A link to another CHM file beside this one: the reader now reads that
  // file (its contents and index), the history still holds both.
  if (target->strChmFile != m_strChmFile && QFileInfo(target->strChmFile).isFile()) {
    SaveState();  // with the page of the file left
    const ReaderFileState state = ReaderSettings::Load(target->strChmFile);
    if (LoadDocument(target->strChmFile, state.strEncoding)) m_state = state;
  }
  m_current = *target;
  SelectInContents(*target);
}

void frmReader::GoHome() {
  if (!m_document) return;
  if (!m_document->home.IsEmpty()) {
    ShowTarget(m_document->home);
    return;
  }
  const QList<ReaderTarget> topics = TopicsInOrder();
  if (!topics.isEmpty()) ShowTarget(topics.first());
}

void frmReader::GoTopic(int lngStep) {
  const QList<ReaderTarget> topics = TopicsInOrder();
  if (topics.isEmpty()) return;
  int lngAt = -1;
  for (int i = 0; i < topics.size(); ++i) {
    if (topics[i].SamePage(m_current)) {
      lngAt = i;
      break;
    }
  }
  // Several entries may show one page: the step goes to the next other page.
  int lngNext = lngAt < 0 ? (lngStep > 0 ? 0 : int(topics.size()) - 1) : lngAt + lngStep;
  while (lngNext >= 0 && lngNext < topics.size() && lngAt >= 0 && topics[lngNext].SamePage(m_current)) {
    lngNext += lngStep;
  }
  if (lngNext >= 0 && lngNext < topics.size()) ShowTarget(topics[lngNext]);
}

void frmReader::SetZoom(double dblZoom) {
  m_view->setZoomFactor(std::clamp(dblZoom, kZoomSteps.front(), kZoomSteps.back()));
  m_state.dblZoom = m_view->zoomFactor();
  statusBar()->showMessage(QStringLiteral("缩放：%1%").arg(qRound(m_view->zoomFactor() * 100)), 3000);
}

void frmReader::StepZoom(int lngStep) {
  const double dblZoom = m_view->zoomFactor();
  if (lngStep > 0) {
    const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), dblZoom + 0.001);
    SetZoom(next == kZoomSteps.end() ? kZoomSteps.back() : *next);
  } else {
    const auto below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), dblZoom - 0.001);
    SetZoom(below == kZoomSteps.begin() ? kZoomSteps.front() : *(below - 1));
  }
}

void frmReader::mnuCopy_Click() { m_view->triggerPageAction(QWebEnginePage::Copy); }

void frmReader::mnuPrint_Click() {
  QString strName = m_document && !m_document->strTitle.isEmpty() ? m_document->strTitle
                                                                   : QFileInfo(m_strChmFile).completeBaseName();
  // A title may hold characters a file name cannot.
  strName.replace(QLatin1Char('/'), QLatin1Char('_'));
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::Save;
  request.owner = this;
  request.title = QStringLiteral("打印为PDF文件");
  request.fileName = strName + QStringLiteral(".pdf");
  request.nameFilters = {QStringLiteral("PDF文件 (*.pdf)")};
  request.pathMustExist = true;
  request.overwritePrompt = true;
  request.defaultSuffix = QStringLiteral("pdf");
  if (m_blnPrinting) return;
  const FileDialogResult result = Services().ShowFileDialog(request);
  if (!result.accepted || result.files.isEmpty()) return;
  m_blnPrinting = true;
  m_view->page()->printToPdf(result.files.first());
}

void frmReader::Follow(const ReaderLink& link) {
  switch (link.kind) {
    case ReaderLink::Kind::Page:
      if (link.blnMissing) {
        statusBar()->showMessage(QStringLiteral("未找到：") + link.strText, 10000);
      } else {
        ShowTarget(link.target);
      }
      break;
    case ReaderLink::Kind::Web:
      WebLinkRefused(QUrl(link.strText));
      break;
    case ReaderLink::Kind::Refused:
      statusBar()->showMessage(QStringLiteral("不打开此类链接：") + link.strText, 10000);
      break;
    case ReaderLink::Kind::None:
      break;
  }
}

void frmReader::WebLinkRefused(const QUrl& url) {
  MessageRequest request;
  request.owner = this;
  request.text = QStringLiteral("该链接指向网络上的网页，要用浏览器打开吗？\n\n") + url.toDisplayString();
  request.caption = QString::fromUtf8(kApplicationTitle);
  request.icon = MsgIcon::Question;
  request.buttons = MsgButtons::YesNo;
  request.defaultButton = MsgAnswer::No;
  if (Services().ShowMessage(request) == MsgAnswer::Yes) OpenOnDesktop(this, url.toString());
}

}  // namespace velmora::ui
