#include "ui/common/frmAbout.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "Version.h"
#include "engine/ProductInfo.h"
#include "ui/common/DesktopOpen.h"
#include "ui/common/cBorderEx.h"

QPointer<frmAbout> frmAbout::s_frmInstance;

namespace {

// Geometry in twips, 15 to the pixel.
QRect Twips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

// 宋体 where installed, else the CJK fonts a Debian desktop has.
QFont SongFont(qreal pointSize, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
  font.setPointSizeF(pointSize);
  font.setBold(bold);
  return font;
}

QString VersionText() {
  return QStringLiteral("%1.%2.0.%3")
      .arg(VELMORA_VERSION_MAJOR)
      .arg(VELMORA_VERSION_MINOR)
      .arg(VELMORA_VERSION_REVISION);
}

QString NoticeText() {
  const QString product = QLatin1String(velmora::kApplicationTitle);
  const QStringList lines = {
      product + QStringLiteral(" CHM 文件反编译器"),
      QStringLiteral("版权所有 (C) %1 开发组，保留所有权利。").arg(product),
      QString(),
      QStringLiteral("设计与开发：%1 开发组").arg(product),
      QStringLiteral("网站：") + QLatin1String(velmora::kWebsiteAddress),
      QStringLiteral("技术支持"),
      QStringLiteral("\t用户交流群：请见网站上的“技术支持”页面"),
      QString(),
      QStringLiteral("欢迎把您使用 %1 时的意见和建议告诉我们。").arg(product),
      QString(),
      QStringLiteral("警告：本程序受著作权法和国际条约保护，未经授权不得复制或传播本程序的任何部分。"),
  };
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

void frmAbout::ShowAbout(QWidget* owner, const QPixmap& headerPicture, const QIcon& icon) {
  if (!s_frmInstance) s_frmInstance = new frmAbout(owner, headerPicture, icon);
  s_frmInstance->show();
  s_frmInstance->raise();
  s_frmInstance->activateWindow();
}

frmAbout* frmAbout::Instance() { return s_frmInstance.data(); }

frmAbout::frmAbout(QWidget* owner, const QPixmap& headerPicture, const QIcon& icon)
    : QDialog(owner) {
  setObjectName(QStringLiteral("frmAbout"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setFixedSize(Twips(0, 0, 8790, 6075).size());
  setWindowTitle(QLatin1String(velmora::kApplicationTitle) + QLatin1Char(' ') + VersionText());
  setWindowIcon(icon);

  picHeader = new QLabel(this);
  picHeader->setObjectName(QStringLiteral("picHeader"));
  picHeader->setGeometry(Twips(0, 0, 8790, 750));
  picHeader->setBackgroundRole(QPalette::Base);
  picHeader->setAutoFillBackground(true);
  picHeader->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  picHeader->setPixmap(headerPicture);

  lblTitle = new QLabel(QLatin1String(velmora::kApplicationTitle), picHeader);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  lblTitle->setGeometry(Twips(360, 60, 1410, 345));
  QFont titleFont;
  titleFont.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("DejaVu Sans")});
  titleFont.setPointSize(12);
  titleFont.setBold(true);
  lblTitle->setFont(titleFont);

  lblCaption = new QLabel(QStringLiteral("关于"), picHeader);
  lblCaption->setObjectName(QStringLiteral("lblCaption"));
  lblCaption->setGeometry(Twips(600, 480, 420, 210));
  lblCaption->setFont(SongFont(10.5, false));

  imgLogo = new QLabel(picHeader);
  imgLogo->setObjectName(QStringLiteral("imgLogo"));
  imgLogo->setGeometry(Twips(8040, 120, 480, 480));
  imgLogo->setPixmap(icon.pixmap(imgLogo->size()));

  txtAbout = new QPlainTextEdit(this);
  txtAbout->setObjectName(QStringLiteral("txtAbout"));
  txtAbout->setGeometry(Twips(120, 840, 8535, 4575));
  txtAbout->setReadOnly(true);
  txtAbout->setPlainText(NoticeText());
  cBorderEx().ThinBorder(txtAbout, true);

  cmdDonate = new QPushButton(QStringLiteral("捐助我们(&D)"), this);
  cmdDonate->setObjectName(QStringLiteral("cmdDonate"));
  cmdDonate->setGeometry(Twips(5760, 5520, 1335, 435));
  cmdDonate->setFont(SongFont(9, true));
  connect(cmdDonate, &QPushButton::clicked, this, &frmAbout::cmdDonate_Click);

  cmdExit = new QPushButton(QStringLiteral("关闭(&X)"), this);
  cmdExit->setObjectName(QStringLiteral("cmdExit"));
  cmdExit->setGeometry(Twips(7200, 5520, 1335, 435));
  connect(cmdExit, &QPushButton::clicked, this, &frmAbout::cmdExit_Click);
}

void frmAbout::cmdDonate_Click() {
  velmora::ui::OpenOnDesktop(this, QLatin1String(velmora::kWebsiteAddress) + QLatin1String(velmora::kDonatePage));
}

void frmAbout::cmdExit_Click() { close(); }
