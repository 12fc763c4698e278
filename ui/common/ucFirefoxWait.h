#pragma once
// The 16 x 16 busy indicator: a ring of eight dots whose darkest dot steps
// clockwise while playing, and a still ring of light-grey dots when idle.
// The artwork is a strip of nine 16 x 16 cells drawn on a magenta key colour;
// the key colour is replaced by BackColor so the spinner blends into its
// background.
//
// Colours are 32-bit values in the form 0x00BBGGRR (red in the low byte);
// a negative value names a system colour and stands for the default colour
// (the button-face colour sampled when the control is created).

#include <QImage>
#include <QVariantMap>
#include <QWidget>

class QLabel;
class QTimer;

class ucFirefoxWait : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int AnimationSpeed READ AnimationSpeed WRITE SetAnimationSpeed)
  Q_PROPERTY(qint32 BackColor READ BackColor WRITE SetBackColor)
  Q_PROPERTY(bool IsPlaying READ IsPlaying WRITE SetIsPlaying)

 public:
  explicit ucFirefoxWait(QWidget* parent = nullptr);

  // Play the animation.
  void PlayWait();
  // Return to an idle state.
  void StopWait();

  // Time in milliseconds before each frame in the animation displays.
  // Use larger numbers for slower speed.
  int AnimationSpeed() const { return m_lngAnimationSpeed; }
  void SetAnimationSpeed(int lngSpeed);

  qint32 BackColor() const { return m_lngBackColor; }
  void SetBackColor(qint32 lngColor);

  // Returns/sets a value that determines whether the animation is running or
  // not. Writing only stores the flag; it neither starts nor stops the timer.
  bool IsPlaying() const { return m_blnIsPlaying; }
  void SetIsPlaying(bool blnPlaying);

  // The colour sampled from the system button face when the control was made.
  qint32 DefaultColor() const { return m_lngDefaultColor; }
  // Index of the cell last drawn by the animation (0-7).
  int FrameIndex() const { return m_lngFrameIndex; }

  // The container's property bag: keys "AnimationSpeed", "BackColor" and
  // "IsPlaying". Values equal to their defaults are not stored, so a missing
  // key reads as its default; a value that cannot be read keeps the previous
  // setting.
  void ReadProperties(const QVariantMap& bag);
  QVariantMap WriteProperties() const;

  // Converts between the 0x00BBGGRR form and QColor.
  static QColor ToQColor(qint32 lngColor);
  static qint32 FromQColor(const QColor& color);

 signals:
  // A persisted property changed (for the container to save it).
  void PropertyChanged(const QString& strName);

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SampleDefaultColor();
  void PrepareStrip();
  void DrawNextFrame();
  void DrawIdleFrame();
  void DrawCell(int lngCell);
  void ApplyTimer();

  QLabel* picDestination = nullptr;   // the visible spinner
  QWidget* picColor = nullptr;        // hidden; source of the default colour
  QTimer* tmrPlay = nullptr;          // frame clock
  QImage m_picOriginal;               // the untouched strip
  QImage m_picSource;                 // the strip with the key colour replaced

  int m_lngFrameIndex = 0;
  qint32 m_lngDefaultColor = 0;
  qint32 m_lngBackColor = 0;
  bool m_blnIsPlaying = false;
  int m_lngAnimationSpeed = 100;
  bool m_blnTimerEnabled = false;
};
