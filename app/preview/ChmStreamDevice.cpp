#include "app/preview/ChmStreamDevice.h"

#include <QMetaObject>
#include <chrono>
#include <algorithm>
#include <cstring>

namespace velmora::app {

bool ChmStreamPipe::Write(const char* bytes, qsizetype length, int lngStallMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  // Bytes the reader skipped over are dropped. Checked again after waiting
  // for space: a seek made meanwhile skips the bytes of this very write.
  const auto dropSkipped = [&] {
    const qint64 lngDropped = std::min<qint64>(m_lngSkip, length);
    m_lngSkip -= lngDropped;
    bytes += lngDropped;
    length -= qsizetype(lngDropped);
  };
  dropSkipped();
  if (length == 0) return !m_blnCancelled;
  const auto hasSpace = [this] { return m_blnCancelled || m_buffer.size() - m_lngRead < kCapacity; };
  if (!m_space.wait_for(lock, std::chrono::milliseconds(lngStallMs), hasSpace)) m_blnCancelled = true;
  if (m_blnCancelled) return false;
  dropSkipped();
  if (length == 0) return true;
  // Read bytes are dropped once they are half the buffer, so it stays small.
  if (m_lngRead > 0 && m_lngRead >= m_buffer.size() / 2) {
    m_buffer.remove(0, m_lngRead);
    m_lngRead = 0;
  }
  const bool blnWasEmpty = m_buffer.size() == m_lngRead;
  m_buffer.append(bytes, length);
  if (blnWasEmpty) Announce();
  return true;
}

void ChmStreamPipe::Finish(bool blnComplete) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_blnFinished = true;
  m_blnFailed = !blnComplete;
  Announce();
}

qint64 ChmStreamPipe::Read(char* bytes, qint64 lngMax) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const qint64 lngCount = std::min<qint64>(lngMax, m_buffer.size() - m_lngRead);
  if (lngCount <= 0) return m_blnFailed || m_blnCancelled ? -1 : 0;
  std::memcpy(bytes, m_buffer.constData() + m_lngRead, std::size_t(lngCount));
  m_lngRead += lngCount;
  m_space.notify_all();
  return lngCount;
}

qint64 ChmStreamPipe::Available() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_buffer.size() - m_lngRead;
}

void ChmStreamPipe::Skip(qint64 lngCount) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const qint64 lngBuffered = std::min<qint64>(lngCount, m_buffer.size() - m_lngRead);
  m_lngRead += qsizetype(lngBuffered);
  m_lngSkip += lngCount - lngBuffered;
  m_space.notify_all();
}

bool ChmStreamPipe::AtEnd() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_blnFinished && !m_blnFailed && m_buffer.size() == m_lngRead;
}

void ChmStreamPipe::Cancel() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_blnCancelled = true;
  m_device = nullptr;
  m_buffer.clear();
  m_lngRead = 0;
  m_space.notify_all();
}

void ChmStreamPipe::Attach(QIODevice* device) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_device = device;
}

// Posted to the device's thread: an event for a device deleted meanwhile is
// dropped with it, and the device detaches under the lock before it goes.
void ChmStreamPipe::Announce() {
  if (!m_device) return;
  QIODevice* device = m_device;
  QMetaObject::invokeMethod(device, [device] { emit device->readyRead(); }, Qt::QueuedConnection);
}

ChmStreamDevice::ChmStreamDevice(std::shared_ptr<ChmStreamPipe> pipe, qint64 lngSize, QObject* parent)
    : QIODevice(parent), m_pipe(std::move(pipe)), m_lngSize(lngSize) {
  // Unbuffered: every read goes to the pipe, which is shared with the worker.
  QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  m_pipe->Attach(this);
}

ChmStreamDevice::~ChmStreamDevice() { m_pipe->Cancel(); }

qint64 ChmStreamDevice::bytesAvailable() const { return m_pipe->Available(); }

bool ChmStreamDevice::atEnd() const { return m_pipe->AtEnd(); }

// The engine closes the device when the request ends or is cancelled: the
// worker stops decoding.
void ChmStreamDevice::close() {
  m_pipe->Cancel();
  QIODevice::close();
}

bool ChmStreamDevice::seek(qint64 lngPos) {
  if (lngPos < pos() || lngPos > m_lngSize) return false;
  m_pipe->Skip(lngPos - pos());
  return QIODevice::seek(lngPos);
}

qint64 ChmStreamDevice::readData(char* data, qint64 lngMax) { return m_pipe->Read(data, lngMax); }

}  // namespace velmora::app
