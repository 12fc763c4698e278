#include "WebTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

#include "TestPaths.h"
#include "tests/support/chm/ChmBuilder.h"

namespace velmora::testsupport {

bool LoadAndWait(QWebEngineView& view, const QUrl& url, int lngTimeoutMs) {
  QSignalSpy finished(&view, &QWebEngineView::loadFinished);
  view.setUrl(url);
  if (!finished.wait(lngTimeoutMs) && finished.isEmpty()) return false;
  return finished.first().first().toBool();
}

QVariant EvalJs(QWebEngineView& view, const QString& strScript, int lngTimeoutMs) {
  auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
  view.page()->runJavaScript(strScript, [result](const QVariant& value) { *result = {true, value}; });
  QElapsedTimer timer;
  timer.start();
  while (!result->first && timer.elapsed() < lngTimeoutMs) QTest::qWait(20);
  return result->second;
}

bool WaitForJs(QWebEngineView& view, const QString& strCondition, int lngTimeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < lngTimeoutMs) {
    if (EvalJs(view, strCondition).toBool()) return true;
    QTest::qWait(50);
  }
  return false;
}

bool WriteChm(const QString& strPath, const std::vector<std::pair<std::string, std::string>>& streams,
              unsigned lngLcid) {
  ChmBuilder builder;
  builder.languageId(lngLcid);
  for (const auto& [name, content] : streams) builder.add(name, content);
  return builder.writeTo(QFile::encodeName(strPath).toStdString());
}

bool WriteFile(const QString& strPath, const QByteArray& bytes) {
  QFile file(strPath);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray OnePixelPng() {
  return QByteArray::fromBase64(
      "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");
}

QString FixtureFile(const QString& strName) {
  return QDir(QStringLiteral(VELMORA_FIXTURE_DIR)).filePath(strName);
}

}  // namespace velmora::testsupport
