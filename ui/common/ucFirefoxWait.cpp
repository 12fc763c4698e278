#include "ui/common/ucFirefoxWait.h"

#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <QTimer>

#include "ui/common/FirefoxWaitStrip.h"

namespace {

constexpr int kSize = FirefoxWaitStrip::kCellSize;
constexpr int kDefaultSpeed = 100;
const QString kKeySpeed = QStringLiteral("AnimationSpeed");
const QString kKeyBackColor = QStringLiteral("BackColor");
const QString kKeyIsPlaying = QStringLiteral("IsPlaying");

bool ReadInt(const QVariant& value, int& target) {
  bool ok = false;
  const int number = value.toInt(&ok);
  if (ok) target = number;
  return ok;
}

bool ReadBool(const QVariant& value, bool& target) {
  if (value.typeId() == QMetaType::Bool) {
    target = value.toBool();
    return true;
  }
  int number = 0;
  if (!ReadInt(value, number)) return false;
  target = number != 0;
  return true;
}

}  // namespace

ucFirefoxWait::ucFirefoxWait(QWidget* parent) : QWidget(parent) {
  setFixedSize(kSize, kSize);

  picDestination = new QLabel(this);
  picDestination->setObjectName(QStringLiteral("picDestination"));
  picDestination->setGeometry(0, 0, kSize, kSize);

  // A plain surface in the standard background of picture boxes, the button
  // face; never shown, only rendered to read its colour.
  picColor = new QWidget(this);
  picColor->setObjectName(QStringLiteral("picColor"));
  picColor->setGeometry(0, 0, kSize, kSize);
  picColor->setBackgroundRole(QPalette::Button);
  picColor->setAutoFillBackground(true);
  picColor->hide();

  tmrPlay = new QTimer(this);
  tmrPlay->setObjectName(QStringLiteral("tmrPlay"));
  tmrPlay->setInterval(kDefaultSpeed);
  connect(tmrPlay, &QTimer::timeout, this, &ucFirefoxWait::DrawNextFrame);

  m_picOriginal = FirefoxWaitStrip::Make();
  SampleDefaultColor();
  m_lngBackColor = m_lngDefaultColor;
  PrepareStrip();
  DrawIdleFrame();
}

void ucFirefoxWait::PlayWait() {
  if (m_blnIsPlaying) return;
  m_blnIsPlaying = true;
  m_blnTimerEnabled = true;
  ApplyTimer();
}

void ucFirefoxWait::StopWait() {
  if (!m_blnIsPlaying) return;
  m_blnIsPlaying = false;
  m_blnTimerEnabled = false;
  ApplyTimer();
  m_lngFrameIndex = 0;
  DrawIdleFrame();
}

void ucFirefoxWait::SetAnimationSpeed(int lngSpeed) {
  m_lngAnimationSpeed = lngSpeed;
  emit PropertyChanged(kKeySpeed);
  ApplyTimer();
}

void ucFirefoxWait::SetBackColor(qint32 lngColor) {
  m_lngBackColor = lngColor < 0 ? m_lngDefaultColor : lngColor;
  emit PropertyChanged(kKeyBackColor);
  PrepareStrip();
  DrawIdleFrame();
}

void ucFirefoxWait::SetIsPlaying(bool blnPlaying) {
  m_blnIsPlaying = blnPlaying;
  emit PropertyChanged(kKeyIsPlaying);
}

void ucFirefoxWait::ReadProperties(const QVariantMap& bag) {
  ReadInt(bag.value(kKeySpeed, kDefaultSpeed), m_lngAnimationSpeed);
  int lngColor = m_lngBackColor;
  if (ReadInt(bag.value(kKeyBackColor, m_lngDefaultColor), lngColor)) {
    m_lngBackColor = lngColor < 0 ? m_lngDefaultColor : lngColor;
  }
  ReadBool(bag.value(kKeyIsPlaying, false), m_blnIsPlaying);
  ApplyTimer();
  PrepareStrip();
  DrawIdleFrame();
}

QVariantMap ucFirefoxWait::WriteProperties() const {
  QVariantMap bag;
  if (m_lngAnimationSpeed != kDefaultSpeed) bag.insert(kKeySpeed, m_lngAnimationSpeed);
  if (m_lngBackColor != m_lngDefaultColor) bag.insert(kKeyBackColor, m_lngBackColor);
  if (m_blnIsPlaying) bag.insert(kKeyIsPlaying, true);
  return bag;
}

QColor ucFirefoxWait::ToQColor(qint32 lngColor) {
  return QColor(lngColor & 0xFF, (lngColor >> 8) & 0xFF, (lngColor >> 16) & 0xFF);
}

qint32 ucFirefoxWait::FromQColor(const QColor& color) {
  return color.red() | (color.green() << 8) | (color.blue() << 16);
}

void ucFirefoxWait::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  PrepareStrip();
  DrawIdleFrame();
}

void ucFirefoxWait::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (event->size() != QSize(kSize, kSize)) setFixedSize(kSize, kSize);
}

// The colour of pixel (1, 1) of the rendered button-face surface.
void ucFirefoxWait::SampleDefaultColor() {
  const QImage sample = picColor->grab().toImage();
  m_lngDefaultColor = FromQColor(sample.pixelColor(1, 1));
}

void ucFirefoxWait::PrepareStrip() {
  m_picSource = m_picOriginal.copy();
  FirefoxWaitStrip::ReplaceColor(m_picSource, FirefoxWaitStrip::kKeyColor,
                                 ToQColor(m_lngBackColor).rgb());
}

void ucFirefoxWait::DrawNextFrame() {
  m_lngFrameIndex = m_lngFrameIndex == 7 ? 0 : m_lngFrameIndex + 1;
  DrawCell(m_lngFrameIndex);
}

void ucFirefoxWait::DrawIdleFrame() { DrawCell(FirefoxWaitStrip::kIdleCell); }

void ucFirefoxWait::DrawCell(int lngCell) {
  const QImage cell = m_picSource.copy(kSize * lngCell, 0, kSize, kSize);
  picDestination->setPixmap(QPixmap::fromImage(cell));
}

// The frame clock ticks while it is enabled and its interval is positive; a
// zero or negative interval stops it, as the desktop's timers do.
void ucFirefoxWait::ApplyTimer() {
  tmrPlay->setInterval(qMax(0, m_lngAnimationSpeed));
  if (m_blnTimerEnabled && m_lngAnimationSpeed > 0) {
    if (!tmrPlay->isActive()) tmrPlay->start();
  } else {
    tmrPlay->stop();
  }
}
