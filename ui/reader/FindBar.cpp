#include "ui/reader/FindBar.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>

namespace velmora::ui {

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("findBar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->addWidget(new QLabel(QStringLiteral("查找："), this));
  m_txtFind = new QLineEdit(this);
  m_txtFind->setObjectName(QStringLiteral("txtFind"));
  m_txtFind->setClearButtonEnabled(true);
  layout->addWidget(m_txtFind, 1);
  m_lblCount = new QLabel(this);
  m_lblCount->setObjectName(QStringLiteral("lblFindCount"));
  m_lblCount->setMinimumWidth(m_lblCount->fontMetrics().horizontalAdvance(QStringLiteral("0000/0000")));
  layout->addWidget(m_lblCount);
  const auto button = [this, layout](const char* strName, const QString& strText, const QString& strTip) {
    auto* cmd = new QToolButton(this);
    cmd->setObjectName(QString::fromLatin1(strName));
    cmd->setText(strText);
    cmd->setToolTip(strTip);
    cmd->setAutoRaise(true);
    layout->addWidget(cmd);
    return cmd;
  };
  m_cmdPrevious = button("cmdFindPrevious", QStringLiteral("▲"), QStringLiteral("上一个 (Shift+F3)"));
  m_cmdNext = button("cmdFindNext", QStringLiteral("▼"), QStringLiteral("下一个 (F3)"));
  m_cmdClose = button("cmdFindClose", QStringLiteral("✕"), QStringLiteral("关闭 (Esc)"));
  connect(m_txtFind, &QLineEdit::textChanged, this, [this] {
    m_lngRetries = 0;  // the user's own text: its answer is shown as it comes
    Find(false);
  });
  connect(m_txtFind, &QLineEdit::returnPressed, this, [this] {
    Find(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
  });
  connect(m_cmdPrevious, &QToolButton::clicked, this, &FindBar::FindPrevious);
  connect(m_cmdNext, &QToolButton::clicked, this, &FindBar::FindNext);
  connect(m_cmdClose, &QToolButton::clicked, this, &FindBar::Close);
  hide();
}

void FindBar::SetPage(QWebEnginePage* page) {
  if (m_page) disconnect(m_page, nullptr, this, nullptr);
  m_page = page;
  if (m_page) connect(m_page, &QWebEnginePage::findTextFinished, this, &FindBar::ShowResult);
}

void FindBar::Open() {
  show();
  m_txtFind->setFocus(Qt::ShortcutFocusReason);
  m_txtFind->selectAll();
  if (!m_txtFind->text().isEmpty()) Find(false);
}

void FindBar::OpenWith(const QString& strText) {
  m_lblCount->clear();
  m_lngRetries = 8;
  {
    const QSignalBlocker blocker(m_txtFind);
    m_txtFind->setText(strText);
  }
  Open();
}

void FindBar::Close() {
  m_lngRetries = 0;
  hide();
  m_lblCount->clear();
  // An empty search clears the highlights.
  if (m_page) m_page->findText(QString());
}

void FindBar::FindNext() { Find(false); }

void FindBar::FindPrevious() { Find(true); }

QString FindBar::CountText() const { return m_lblCount->text(); }

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void FindBar::Find(bool blnBackward) {
  if (!m_page) return;
  if (m_txtFind->text().isEmpty()) {
    m_lblCount->clear();
    m_page->findText(QString());
    return;
  }
  m_page->findText(m_txtFind->text(), blnBackward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void FindBar::ShowResult(const QWebEngineFindTextResult& result) {
  if (m_txtFind->text().isEmpty()) return;
  if (result.numberOfMatches() == 0 && m_lngRetries > 0) {
    --m_lngRetries;
    QTimer::singleShot(250, this, [this] {
      if (isVisible()) Find(false);
    });
    return;
  }
  m_lngRetries = 0;
  m_lblCount->setText(result.numberOfMatches() == 0
                          ? QStringLiteral("无匹配")
                          : QStringLiteral("%1/%2").arg(result.activeMatch()).arg(result.numberOfMatches()));
}

}  // namespace velmora::ui
