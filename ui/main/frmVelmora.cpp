#include "ui/main/frmVelmora.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include "engine/ProductInfo.h"
#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"
#include "settings/ConfigPath.h"
#include "settings/basAssociation.h"
#include "ui/common/cBorderEx.h"
#include "ui/common/ucFirefoxWait.h"
#include "ui/main/MainArtwork.h"
#include "ui/main/cListBox.h"
#include "ui/main/cModeButton.h"
#include "ui/main/cPreviewBrowser.h"

namespace velmora::ui {

frmVelmora::frmVelmora(QWidget* parent) : QMainWindow(parent), m_picHeaderBanner(HeaderBanner()) {
  setObjectName(QStringLiteral("frmVelmora"));
  setWindowIcon(VelmoraIcon());
  m_mnu.Build(menuBar());
  CreateControls();
  ConnectEvents();
  ConnectMenuCommands();
  ConnectOpenEvents();
  ConnectBatchListEvents();
  ConnectPreviewEvents();
  ConnectExportCommands();
  // After the preview's handlers: it tells which row changes they previewed.
  ConnectSearchCommands();
  // Before the pane loads its first page.
  PreparePreviewPane();
  const QRect client =
      ToPixels(TwipRect{0, 0, MainLayout::kDesignClientWidth, MainLayout::kDesignClientHeight});
  resize(client.width(), client.height() + menuBar()->sizeHint().height());
}

frmVelmora::~frmVelmora() = default;

void frmVelmora::Form_Load() {
  // 1. The status line gets its thin one-pixel edge.
  cBorderEx().ThinBorder(txtProgress, true);
  //    The busy indicator covers the line's left end: its text starts
  //    right of it (the edge just set moved the text).
  ClearStatusTextOfSpinner();
  // 2. The window's own icon in the header.
  imgLogo->setPixmap(windowIcon().pixmap(imgLogo->size(), devicePixelRatioF()));
  // 3. The configuration file "Velmora.config" (in the program's folder, or
  //    in the user's config folder when the program's folder is read-only).
  m_ini.SetPath(settings::DefaultConfigPath());
  m_ini.SetSystem(false);
  // 4. The panels have no border.
  fraSingle->setFrameShape(QFrame::NoFrame);
  fraBatch->setFrameShape(QFrame::NoFrame);
  // 5. A native window handle is not needed: Qt reaches the window through
  //    this object.
  // 6. The title: the application title, a blank and the version.
  setWindowTitle(QString::fromUtf8(kApplicationTitle) + QLatin1Char(' ') +
                 QString::fromStdString(engine::basVelmora::GetVersionString()));
  // 7. No file open, export entries off, single mode in front.
  ResetWindow(true);
  EnableExportMenus(false);
  ShowModeFrame(0);
  // 8. The association switch shows whether the context-menu verb exists.
  m_mnu.mnuAssociates->setChecked(settings::IsContextMenuRegistered());
  // 9. One layout pass for the designed size.
  Form_Resize();
  // 10. The one parser of the window's life.
  m_ucmCHMParser = std::make_unique<engine::cCHMParser>();
  ConnectParserEvents();
  // 11. Last of all: the command-line extraction.
  ProcessCommandLine();
}

void frmVelmora::closeEvent(QCloseEvent* event) {
  // Form_Unload. A walk that is still running (it lets events run while it
  // reports progress, so the window can be closed meanwhile) keeps its
  // parser; the destructor releases it after the walk has returned.
  if (m_ucmCHMParser && !m_ucmCHMParser->IsBusy()) m_ucmCHMParser.reset();
  // A preview copy being made stops; nothing is shown of it.
  m_previewCopier->Cancel();
  event->accept();
}

bool frmVelmora::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == m_client) {
      Form_Resize();
    } else if (watched == picHeader) {
      picHeader_Resize();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void frmVelmora::ShowStatus(const QString& strText) {
  txtProgress->setText(QStringLiteral("    ") + strText);
  QCoreApplication::processEvents();
}

void frmVelmora::ShowModeFrame(int index) {
  if (index != 0 && index != 1) return;
  QFrame* front = index == 0 ? fraSingle : fraBatch;
  QFrame* back = index == 0 ? fraBatch : fraSingle;
  // The panel behind is hidden as well, so it takes neither focus nor drops.
  front->raise();
  front->show();
  back->hide();
}

void frmVelmora::ResetWindow(bool blnClearLists) {
  m_colItems = engine::cCHMItemCollection();
  CloseFileForPreview();
  if (blnClearLists) {
    for (cListBox* list : {lstItems, lstFiles}) {
      list->hide();
      list->clear();
      list->show();
    }
  }
  EnableExportMenus(false);
  m_blnLoaded = false;
  wbPreview->Navigate(QStringLiteral("about:欢迎使用") + windowTitle() +
                      QStringLiteral("<BR><BR>请打开CHM文件，然后选择左边的内容列表项目预览，或者点击导出..."));
  ShowStatus(QStringLiteral("请打开CHM文件。"));
}

void frmVelmora::EnableExportMenus(bool blnEnabled) {
  m_mnu.mnuExportCHM[0]->setEnabled(blnEnabled);
  for (int index = 1; index < cMainMenu::kExportEntries; ++index) {
    if (index == cMainMenu::kExportSeparator) continue;
    m_mnu.mnuExportCHM[index]->setEnabled(m_mnu.mnuExportCHM[0]->isEnabled());
  }
}

int frmVelmora::CurrentMode() const { return optMode[1]->isChecked() ? 1 : 0; }

void frmVelmora::ConnectEvents() {
  connect(m_optModeGroup, &QButtonGroup::idToggled, this, [this](int index, bool blnChecked) {
    if (blnChecked) optMode_Click(index);
  });
  connect(lstItems, &cListBox::MouseReleased, this, &frmVelmora::lstItems_MouseUp);
}

void frmVelmora::Form_Resize() {
  const int lngWidth = m_client->width() * kTwipsPerPixel;
  const int lngHeight = m_client->height() * kTwipsPerPixel;
  // The header is aligned to the top edge: always the full client width.
  MoveInTwips(picHeader, TwipRect{0, 0, lngWidth, MainLayout::kHeaderHeight});
  m_layout = LayOutMainWindow(m_layout, lngWidth, lngHeight);
  ApplyLayout(m_layout);
}

void frmVelmora::picHeader_Resize() {
  MoveInTwips(imgLogo, TwipRect{HeaderLogoLeft(picHeader->width() * kTwipsPerPixel), 90, MainLayout::kLogoWidth,
                                MainLayout::kLogoWidth});
}

void frmVelmora::ApplyLayout(const MainLayout& layout) {
  MoveInTwips(fraCommands, layout.fraCommands);
  MoveInTwips(txtProgress, layout.txtProgress);
  MoveInTwips(fraSingle, layout.fraSingle);
  MoveInTwips(lstItems, layout.lstItems);
  MoveInTwips(wbPreview, layout.wbPreview);
  MoveInTwips(fraBatch, layout.fraBatch);
  MoveInTwips(lstFiles, layout.lstFiles);
  MoveInTwips(cmdRemoveFiles, layout.cmdRemoveFiles);
}

void frmVelmora::optMode_Click(int index) { ShowModeFrame(index); }

void frmVelmora::ClearStatusTextOfSpinner() {
  // Where the text would start: the line's contents, then the line edit's
  // own margin of 2 pixels, then the four blanks every status text begins
  // with. A left text margin makes up what they lack to clear the spinner.
  constexpr int kLineEditMargin = 2;
  constexpr int kGap = 3;
  QStyleOptionFrame option;
  option.initFrom(txtProgress);
  option.lineWidth = txtProgress->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, txtProgress);
  const int lngContentsLeft =
      txtProgress->style()->subElementRect(QStyle::SE_LineEditContents, &option, txtProgress).left();
  const int lngBlanks = txtProgress->fontMetrics().horizontalAdvance(QStringLiteral("    "));
  const int lngSpinnerRight = fwProgress->geometry().right() + 1 - txtProgress->x();
  const int lngMargin = lngSpinnerRight + kGap - (lngContentsLeft + kLineEditMargin + lngBlanks);
  txtProgress->setTextMargins(qMax(0, lngMargin), 0, 0, 0);
}

void frmVelmora::lstItems_MouseUp(Qt::MouseButton button, const QPoint& globalPos) {
  // The export menu doubles as the content list's context menu, with its
  // entries enabled or disabled as they stand.
  if (button == Qt::RightButton) m_mnu.mnuExport->popup(globalPos);
}

}  // namespace velmora::ui
