#pragma once
// Waiting on a web page from a window test: a script run in the page again
// and again until it returns true, the events of the test's loop going on
// meanwhile.

#include <QElapsedTimer>
#include <QString>
#include <QVariant>
#include <QWebEnginePage>
#include <QtTest>
#include <memory>

namespace velmora::test {

inline bool WaitForScript(QWebEnginePage* page, const QString& strScript, int lngTimeoutMs = 20000) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < lngTimeoutMs) {
    auto done = std::make_shared<int>(0);  // 0 waiting, 1 false, 2 true
    page->runJavaScript(strScript, [done](const QVariant& value) { *done = value.toBool() ? 2 : 1; });
    while (*done == 0 && timer.elapsed() < lngTimeoutMs) QTest::qWait(20);
    if (*done == 2) return true;
    QTest::qWait(50);
  }
  return false;
}

}  // namespace velmora::test
