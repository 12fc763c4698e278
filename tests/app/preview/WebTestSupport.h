#pragma once
// Helpers for driving a real web view offscreen: load and wait, run a
// script and wait for its value, and write small CHM files and pages.

#include <QString>
#include <QUrl>
#include <QVariant>
#include <string>
#include <utility>
#include <vector>

class QWebEngineView;

namespace velmora::testsupport {

// Loads the URL and waits for loadFinished; returns its ok flag.
bool LoadAndWait(QWebEngineView& view, const QUrl& url, int lngTimeoutMs = 15000);

// Runs the script in the view's page and waits for its result.
QVariant EvalJs(QWebEngineView& view, const QString& strScript, int lngTimeoutMs = 10000);

// Polls until the script returns true (for results set asynchronously).
bool WaitForJs(QWebEngineView& view, const QString& strCondition, int lngTimeoutMs = 15000);

// Writes a CHM file of stored (uncompressed) streams in the given language.
bool WriteChm(const QString& strPath, const std::vector<std::pair<std::string, std::string>>& streams,
              unsigned lngLcid = 0x409);

bool WriteFile(const QString& strPath, const QByteArray& bytes);

// A valid 1x1 PNG picture.
QByteArray OnePixelPng();

QString FixtureFile(const QString& strName);

}  // namespace velmora::testsupport
