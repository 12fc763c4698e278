#include "ui/search/frmSearch.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "engine/ProductInfo.h"
#include "ui/common/cBorderEx.h"
#include "ui/search/KeywordPattern.h"
#include "ui/search/SearchHost.h"

namespace velmora::ui {
namespace {

// The keyword of the latest search, kept for the whole run of the program.
QString& LastKeyword() {
  static QString strLastKeyword;
  return strLastKeyword;
}

// Design units are twips, 15 to a pixel at 96 dots per inch.
QRect Twips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

// The design fonts come from Windows; the Noto and DejaVu families a Debian
// desktop has stand in for them so the Chinese texts never show as boxes.
QFont DesignFont(const QStringList& families, double points, bool bold = false) {
  QFont font;
  font.setFamilies(families);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QLabel* HeaderLabel(QWidget* header, const QString& name, const QString& text, const QFont& font,
                    const QRect& rect) {
  auto* label = new QLabel(text, header);
  label->setObjectName(name);
  label->setFont(font);
  label->setGeometry(rect);
  return label;
}

}  // namespace

frmSearch* frmSearch::ShowFind(SearchHost& host) {
  QWidget* owner = host.SearchOwner();
  auto* dialog = owner->findChild<frmSearch*>(QString(), Qt::FindDirectChildrenOnly);
  if (dialog == nullptr) dialog = new frmSearch(host);
  dialog->SetLists(host.ModeList(host.CurrentMode() == 0 ? 0 : 1));
  if (!dialog->isVisible()) {
    dialog->Form_Load();
    dialog->show();
  }
  dialog->raise();
  dialog->activateWindow();
  return dialog;
}

frmSearch::frmSearch(SearchHost& host) : QDialog(host.SearchOwner()), m_host(host) {
  setObjectName(QStringLiteral("frmSearch"));
  setModal(false);
  CreateControls();
}

void frmSearch::CreateControls() {
  setFont(DesignFont({"Tahoma", "DejaVu Sans", "Noto Sans CJK SC"}, 9));
  setFixedSize(Twips(0, 0, 4950, 2235).size());

  m_picHeader = new QLabel(this);
  m_picHeader->setObjectName(QStringLiteral("picHeader"));
  m_picHeader->setGeometry(Twips(0, 0, 4950, 750));
  m_picHeader->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_picHeader->setBackgroundRole(QPalette::Base);
  m_picHeader->setAutoFillBackground(true);
  HeaderLabel(m_picHeader, QStringLiteral("lblTitle"), QStringLiteral("Velmora"),
              DesignFont({"Arial Black", "DejaVu Sans", "Noto Sans CJK SC"}, 12, true),
              Twips(360, 60, 1410, 345));
  HeaderLabel(m_picHeader, QStringLiteral("lblCaption"), QStringLiteral("搜索"),
              DesignFont({"SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC"}, 10.5),
              Twips(600, 480, 420, 210));
  m_imgLogo = new QLabel(m_picHeader);
  m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
  m_imgLogo->setGeometry(Twips(4320, 120, 480, 480));

  auto* lblKeywords = new QLabel(QStringLiteral("关键字(&K)："), this);
  lblKeywords->setObjectName(QStringLiteral("lblKeywords"));
  lblKeywords->setGeometry(Twips(120, 1200, 1155, 210));

  m_txtKeywords = new QLineEdit(this);
  m_txtKeywords->setObjectName(QStringLiteral("txtKeywords"));
  m_txtKeywords->setGeometry(Twips(1200, 1080, 3495, 375));
  lblKeywords->setBuddy(m_txtKeywords);
  // The window itself never keeps the focus: it passes it to the keyword box.
  setFocusProxy(m_txtKeywords);

  m_cmdSearch = new QPushButton(QStringLiteral("搜索(&S)"), this);
  m_cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
  m_cmdSearch->setGeometry(Twips(3480, 1680, 1215, 375));
  m_cmdSearch->setDefault(true);
  connect(m_cmdSearch, &QPushButton::clicked, this, &frmSearch::cmdSearch_Click);

  // Esc reaches done() through reject(), like this button.
  m_cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
  m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  m_cmdCancel->setGeometry(Twips(2160, 1680, 1215, 375));
  connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::close);

  m_chkCheckAll = new QCheckBox(QStringLiteral("选中所有类似"), this);
  m_chkCheckAll->setObjectName(QStringLiteral("chkCheckAll"));
  m_chkCheckAll->setGeometry(Twips(120, 1740, 1815, 255));

  setTabOrder(m_txtKeywords, m_cmdSearch);
  setTabOrder(m_cmdSearch, m_cmdCancel);
  setTabOrder(m_cmdCancel, m_chkCheckAll);
}

void frmSearch::SetLists(QListWidget* ctlLists) { m_lists = ctlLists; }

void frmSearch::Form_Load() {
  const QWidget* owner = m_host.SearchOwner();
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setWindowIcon(owner->windowIcon());
  m_picHeader->setPixmap(m_host.HeaderPicture());
  const QSize logo = m_imgLogo->size();
  m_imgLogo->setPixmap(owner->windowIcon().pixmap(logo));
  cBorderEx().ThinBorder(m_txtKeywords, true);
  m_txtKeywords->setText(LastKeyword());
  m_chkCheckAll->setChecked(m_blnCheckAllItems);
  m_txtKeywords->setFocus();
}

void frmSearch::done(int result) {
  m_blnCheckAllItems = m_chkCheckAll->isChecked();
  QDialog::done(result);
}

void frmSearch::cmdSearch_Click() {
  const QString strKeyword = m_txtKeywords->text();
  if (strKeyword.isEmpty()) return;
  setCursor(Qt::WaitCursor);
  LastKeyword() = strKeyword;
  SearchNext(strKeyword);
  unsetCursor();
}

void frmSearch::SearchNext(const QString& strKeyword) {
  QListWidget* list = m_lists;
  if (list == nullptr) return;
  const int lngCount = list->count();
  // The list was replaced by a shorter one since the last search: start again
  // at the top rather than finding nothing until it grows back.
  if (m_lngSearchPosition >= lngCount) m_lngSearchPosition = 0;
  if (lngCount == 0) return;

  const KeywordPattern pattern(
      (QLatin1Char('*') + strKeyword.toLower() + QLatin1Char('*')).toStdU32String());
  int lngFound = -1;
  for (int i = m_lngSearchPosition; i < lngCount && pattern.IsValid(); ++i) {
    if (pattern.Matches(list->item(i)->text().toLower().toStdU32String())) {
      lngFound = i;
      break;
    }
  }
  // No match, or a match on the last row: the next press starts at the top.
  m_lngSearchPosition = (lngFound < 0 || lngFound == lngCount - 1) ? 0 : lngFound + 1;
  if (lngFound < 0) return;

  // Select the row without touching the other rows' selection, then make it
  // current; for the content list that counts as a click and previews it.
  list->setCurrentRow(lngFound, QItemSelectionModel::Select);
  list->scrollToItem(list->item(lngFound));
  if (list == m_host.ModeList(0)) m_host.ContentRowMadeCurrent(lngFound);
}

}  // namespace velmora::ui
