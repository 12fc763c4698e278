// The main window's controls, at their designed rectangles (twips). The
// controls that the layout moves get their places from m_layout.

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "ui/common/ucFirefoxWait.h"
#include "ui/main/MainArtwork.h"
#include "ui/main/MainFonts.h"
#include "ui/main/cListBox.h"
#include "ui/main/cModeButton.h"
#include "ui/main/cPreviewBrowser.h"
#include "ui/main/frmVelmora.h"

namespace velmora::ui {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const QString& strName) {
  widget->setObjectName(strName);
  return widget;
}

QLabel* NewLabel(QWidget* container, const QString& strName, const QString& strCaption, const TwipRect& rect) {
  QLabel* label = Named(new QLabel(strCaption, container), strName);
  MoveInTwips(label, rect);
  return label;
}

}  // namespace

void frmVelmora::CreateControls() {
  m_client = Named(new QWidget(this), QStringLiteral("frmVelmoraClient"));
  m_client->setFont(WindowFont());
  m_client->installEventFilter(this);
  setCentralWidget(m_client);

  CreateHeader(m_client);
  optMode[0] = Named(new cModeButton(QStringLiteral("单个预览(&P)"), m_client), QStringLiteral("optMode0"));
  MoveInTwips(optMode[0], TwipRect{60, 900, 1900, 375});
  optMode[1] = Named(new cModeButton(QStringLiteral("批量处理(&B)"), m_client), QStringLiteral("optMode1"));
  MoveInTwips(optMode[1], TwipRect{1960, 900, 1900, 375});
  m_optModeGroup = new QButtonGroup(this);
  m_optModeGroup->addButton(optMode[0], 0);
  m_optModeGroup->addButton(optMode[1], 1);
  optMode[0]->setChecked(true);

  CreateSinglePanel(m_client);
  CreateBatchPanel(m_client);
  CreateCommandStrip(m_client);
  ApplyLayout(m_layout);
  SetTabOrder();
}

void frmVelmora::CreateHeader(QWidget* client) {
  picHeader = Named(new QLabel(client), QStringLiteral("picHeader"));
  // The system window colour shows where the banner does not reach.
  QPalette palette = picHeader->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Base));
  picHeader->setPalette(palette);
  picHeader->setAutoFillBackground(true);
  picHeader->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picHeader->setPixmap(m_picHeaderBanner);
  MoveInTwips(picHeader, TwipRect{0, 0, MainLayout::kDesignClientWidth, MainLayout::kHeaderHeight});
  picHeader->installEventFilter(this);

  imgLogo = NewLabel(picHeader, QStringLiteral("imgLogo"), QString(),
                     TwipRect{9480, 90, MainLayout::kLogoWidth, MainLayout::kLogoWidth});
  lblTitle = NewLabel(picHeader, QStringLiteral("lblTitle"), QStringLiteral("Velmora"), TwipRect{360, 0, 1410, 345});
  lblTitle->setFont(HeaderTitleFont());
  lblCaption[0] =
      NewLabel(picHeader, QStringLiteral("lblCaption0"), QStringLiteral("Velmora"), TwipRect{600, 435, 1260, 210});
  lblCaption[0]->setFont(HeaderCaptionFont());
}

void frmVelmora::CreateSinglePanel(QWidget* client) {
  fraSingle = Named(new QFrame(client), QStringLiteral("fraSingle"));
  lblCaption[1] =
      NewLabel(fraSingle, QStringLiteral("lblCaption1"), QStringLiteral("内容列表："), TwipRect{0, 120, 975, 195});
  lblCaption[2] =
      NewLabel(fraSingle, QStringLiteral("lblCaption2"), QStringLiteral("预览："), TwipRect{4680, 120, 585, 195});
  lstItems = Named(new cListBox(fraSingle), QStringLiteral("lstItems"));
  lstItems->setToolTip(QStringLiteral("单击预览内容，双击保存文件"));
  wbPreview = Named(new cPreviewBrowser(fraSingle), QStringLiteral("wbPreview"));
}

void frmVelmora::CreateBatchPanel(QWidget* client) {
  fraBatch = Named(new QFrame(client), QStringLiteral("fraBatch"));
  lblCaption[3] = NewLabel(fraBatch, QStringLiteral("lblCaption3"),
                           QStringLiteral("文件列表：(双击列表里面的文件进行预览)"), TwipRect{0, 120, 3720, 195});
  cmdRemoveFiles = Named(new QPushButton(QStringLiteral("移除选中文件"), fraBatch), QStringLiteral("cmdRemoveFiles"));
  lstFiles = Named(new cListBox(fraBatch), QStringLiteral("lstFiles"));
  lstFiles->setToolTip(QStringLiteral("双击列表里面的文件进行预览"));
}

void frmVelmora::CreateCommandStrip(QWidget* client) {
  fraCommands = Named(new QFrame(client), QStringLiteral("fraCommands"));
  lblProgress =
      NewLabel(fraCommands, QStringLiteral("lblProgress"), QStringLiteral("进度："), TwipRect{0, 120, 585, 195});
  txtProgress = Named(new QLineEdit(fraCommands), QStringLiteral("txtProgress"));
  txtProgress->setReadOnly(true);
  // The busy indicator sits over the left end of the status line, whose
  // text starts with four blanks and a margin to leave room for it.
  fwProgress = Named(new ucFirefoxWait(fraCommands), QStringLiteral("fwProgress"));
  MoveInTwips(fwProgress, TwipRect{760, 120, 240, 240});
  // White like the status line under it.
  fwProgress->SetBackColor(0xFFFFFF);
  fwProgress->raise();
}

void frmVelmora::SetTabOrder() {
  // Controls that cannot take the focus (labels, frames, header) drop out.
  QWidget* order[] = {txtProgress, wbPreview, lstItems, optMode[0], optMode[1], lstFiles, cmdRemoveFiles};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace velmora::ui
