// The pipe between a decoding worker and the engine: the worker waits while
// the buffer is full, a reader that goes away or stops reading frees it,
// a range start drops bytes, and a failed stream reads as an error after
// the bytes that came.

#include <QTest>
#include <atomic>
#include <thread>

#include "app/preview/ChmStreamDevice.h"

using velmora::app::ChmStreamDevice;
using velmora::app::ChmStreamPipe;

class ChmStreamDeviceTest : public QObject {
  Q_OBJECT

 private slots:
  void writerWaitsForTheReader();
  void writerFreed_data();
  void writerFreed();
  void seekDropsBytes();
  void failedStream();
};

// 4 MiB through the 1 MiB buffer: never more than the capacity waits, and
// the bytes arrive whole and in order.
void ChmStreamDeviceTest::writerWaitsForTheReader() {
  auto pipe = std::make_shared<ChmStreamPipe>();
  const int lngChunk = 64 * 1024, lngChunks = 64;
  std::thread writer([&] {
    QByteArray chunk(lngChunk, '\0');
    for (int i = 0; i < lngChunks; ++i) {
      chunk.fill(char('a' + i % 26));
      if (!pipe->Write(chunk.constData(), chunk.size())) return;
    }
    pipe->Finish(true);
  });
  ChmStreamDevice device(pipe, qint64(lngChunk) * lngChunks);
  QByteArray received;
  qint64 lngMostWaiting = 0;
  char buffer[10000];
  bool blnFailed = false;
  while (!device.atEnd() && !blnFailed) {
    lngMostWaiting = std::max(lngMostWaiting, device.bytesAvailable());
    const qint64 lngRead = device.read(buffer, sizeof buffer);
    blnFailed = lngRead < 0;
    if (lngRead > 0) received.append(buffer, qsizetype(lngRead));
    if (lngRead == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (blnFailed) device.close();
  writer.join();
  QVERIFY(!blnFailed);
  QVERIFY(lngMostWaiting <= ChmStreamPipe::kCapacity + lngChunk);
  QCOMPARE(received.size(), lngChunk * lngChunks);
  for (int i = 0; i < lngChunks; ++i) QCOMPARE(received.at(i * lngChunk + lngChunk - 1), char('a' + i % 26));
}

void ChmStreamDeviceTest::writerFreed_data() {
  QTest::addColumn<bool>("closed");
  QTest::newRow("the engine closes the device") << true;
  QTest::newRow("the engine stops reading") << false;
}

// A full buffer nobody drains does not hold the worker for ever.
void ChmStreamDeviceTest::writerFreed() {
  QFETCH(bool, closed);
  auto pipe = std::make_shared<ChmStreamPipe>();
  ChmStreamDevice device(pipe, 4 * ChmStreamPipe::kCapacity);
  const QByteArray full(ChmStreamPipe::kCapacity, 'x');
  QVERIFY(pipe->Write(full.constData(), full.size()));
  std::atomic<int> result{-1};
  std::thread writer([&] { result = pipe->Write("y", 1, closed ? 60000 : 200) ? 1 : 0; });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const int lngMeanwhile = result.load();
  if (closed) device.close();
  writer.join();
  QCOMPARE(lngMeanwhile, -1);  // it was waiting
  QCOMPARE(result.load(), 0);
}

void ChmStreamDeviceTest::seekDropsBytes() {
  auto pipe = std::make_shared<ChmStreamPipe>();
  ChmStreamDevice device(pipe, 10);
  QVERIFY(pipe->Write("0123", 4));
  QVERIFY(device.seek(6));  // two bytes still to come are dropped
  QVERIFY(!device.seek(2));  // never backwards
  QVERIFY(pipe->Write("4567", 4));
  QVERIFY(pipe->Write("89", 2));
  pipe->Finish(true);
  QCOMPARE(device.readAll(), QByteArray("6789"));
  QVERIFY(device.atEnd());
}

void ChmStreamDeviceTest::failedStream() {
  auto pipe = std::make_shared<ChmStreamPipe>();
  ChmStreamDevice device(pipe, 10);
  QVERIFY(pipe->Write("abc", 3));
  pipe->Finish(false);
  char buffer[10];
  QCOMPARE(device.read(buffer, sizeof buffer), qint64(3));
  QCOMPARE(device.read(buffer, sizeof buffer), qint64(-1));
  QVERIFY(!device.atEnd());
}

int RunChmStreamDeviceTest(int argc, char** argv) {
  ChmStreamDeviceTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ChmStreamDeviceTest.moc"
