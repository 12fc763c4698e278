#pragma once
// The bytes of one stored file on their way to the web engine. A worker
// thread decodes the stream into a bounded buffer (ChmStreamPipe) and the
// engine reads it through ChmStreamDevice on its own thread. When the
// buffer is full the worker waits for the engine, so a stream of any
// length is never held whole in memory and never written to disk.

#include <QByteArray>
#include <QIODevice>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace velmora::app {

class ChmStreamPipe {
 public:
  // At most this many bytes wait for the engine.
  static constexpr qsizetype kCapacity = 1024 * 1024;

  // Worker side. Write waits while the buffer is full; false once the
  // reader went away, or after the engine has taken nothing for
  // lngStallMs (a media element that stopped reading holds no worker).
  bool Write(const char* bytes, qsizetype length, int lngStallMs = 30000);
  void Finish(bool blnComplete);

  // Reader side (the device, on the engine's thread).
  qint64 Read(char* bytes, qint64 lngMax);  // 0: nothing yet; -1: failed
  qint64 Available() const;
  // The next lngCount bytes written are dropped instead of kept.
  void Skip(qint64 lngCount);
  bool AtEnd() const;
  void Cancel();

  // Where "bytes arrived" is announced (readyRead), once the engine has the
  // device; null to stop.
  void Attach(QIODevice* device);

 private:
  void Announce();  // with the lock held

  mutable std::mutex m_mutex;
  std::condition_variable m_space;
  QByteArray m_buffer;
  qsizetype m_lngRead = 0;  // bytes of m_buffer already read
  qint64 m_lngSkip = 0;     // bytes still to drop
  bool m_blnFinished = false;
  bool m_blnFailed = false;
  bool m_blnCancelled = false;
  QIODevice* m_device = nullptr;
};

class ChmStreamDevice : public QIODevice {
  Q_OBJECT

 public:
  // lngSize: the stream's full length, which the engine announces as the
  // content length.
  ChmStreamDevice(std::shared_ptr<ChmStreamPipe> pipe, qint64 lngSize, QObject* parent = nullptr);
  ~ChmStreamDevice() override;

  // Not sequential: the engine finishes a sequential device's reply only
  // when it is closed. Seeking goes forward only (the start of a range
  // request), by dropping bytes.
  bool isSequential() const override { return false; }
  bool seek(qint64 lngPos) override;
  qint64 bytesAvailable() const override;
  bool atEnd() const override;
  qint64 size() const override { return m_lngSize; }
  void close() override;

 protected:
  qint64 readData(char* data, qint64 lngMax) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::shared_ptr<ChmStreamPipe> m_pipe;
  qint64 m_lngSize;
};

}  // namespace velmora::app
