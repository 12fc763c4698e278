#include "ui/search/FullTextSearch.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <functional>

#include "engine/search/CacheFolder.h"
#include "engine/search/SqliteDatabase.h"

namespace velmora::ui {
namespace {

// Progress is passed to the window at most this often (and at each file).
constexpr qint64 kProgressIntervalMs = 100;

std::string Native(const QString& strPath) { return QFile::encodeName(strPath).toStdString(); }

// Runs on the search thread: the index brought up to date, then the query.
void Search(const QString& strQuery, const QStringList& chmFiles, const std::atomic<bool>& cancel,
            const std::function<void(int, int, const QString&, int, int)>& progress, FullTextResult& result) {
  std::vector<std::string> paths;
  for (const QString& strFile : chmFiles) paths.push_back(search::IndexedPathOf(Native(strFile)));
  const std::string folder = search::SearchCacheFolder();
  std::string error;
  if (!search::MakeCacheFolder(folder, error)) {
    result.strError = QString::fromStdString(error);
    return;
  }
  try {
    search::ShelfSearch shelf(search::IndexFileIn(folder));
    QElapsedTimer sinceShown;
    std::size_t lngShownFile = SIZE_MAX;
    const auto reports = shelf.update(paths, [&](const search::ShelfProgress& step) {
      if (cancel) return false;
      if (step.file != lngShownFile || sinceShown.elapsed() >= kProgressIntervalMs) {
        progress(int(step.file), int(step.files), QFile::decodeName(step.chmPath->c_str()), int(step.pagesRead),
                 int(step.pageCount));
        lngShownFile = step.file;
        sinceShown.start();
      }
      return true;
    });
    std::vector<std::string> readable;
    for (std::size_t i = 0; i < paths.size(); ++i) {
      result.files.push_back({QFile::decodeName(paths[i].c_str()), reports[i].status, reports[i].unreadablePages});
      if (reports[i].status == search::FileStatus::Cancelled) result.blnCancelled = true;
      if (reports[i].status != search::FileStatus::Unreadable) readable.push_back(paths[i]);
    }
    if (cancel) result.blnCancelled = true;
    if (result.blnCancelled || readable.empty()) return;
    result.hits = shelf.search(strQuery.toStdString(), readable, FullTextSearch::kMaxHits);
    result.lngHitsFound = result.hits.size();
    if (result.hits.size() > FullTextSearch::kMaxHits) result.hits.resize(FullTextSearch::kMaxHits);
  } catch (const search::SqliteError& failure) {
    result.strError = QString::fromUtf8(failure.what());
  }
}

}  // namespace

FullTextSearch::FullTextSearch(QObject* parent) : QObject(parent) {}

FullTextSearch::~FullTextSearch() {
  if (!m_thread) return;
  *m_cancel = true;
  m_thread->wait();
  delete m_thread;
}

QStringList FullTextSearch::ChmFilesOf(const QStringList& paths) {
  QStringList files;
  for (const QString& strPath : paths) {
    const QFileInfo info(strPath);
    if (!info.isDir()) {
      if (info.isFile()) files << QDir::cleanPath(info.absoluteFilePath());
      continue;
    }
    // Links to folders are not followed (no loops); links to files are.
    QStringList found;
    QDirIterator all(info.absoluteFilePath(), QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (all.hasNext()) {
      const QString strFile = all.next();
      if (strFile.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive)) found << QDir::cleanPath(strFile);
    }
    std::sort(found.begin(), found.end());
    files << found;
  }
  files.removeDuplicates();
  return files;
}

void FullTextSearch::Start(const QString& strQuery, const QStringList& paths) {
  if (m_thread) {
    // Stops at its next page; its results are not wanted.
    *m_cancel = true;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
  }
  auto cancel = std::make_shared<std::atomic<bool>>(false);
  auto result = std::make_shared<FullTextResult>();
  result->strQuery = strQuery;
  QPointer<FullTextSearch> self(this);
  const auto progress = [self](int lngFile, int lngFiles, const QString& strFile, int lngRead, int lngCount) {
    QMetaObject::invokeMethod(
        self, [=] { if (self) emit self->Progress(lngFile, lngFiles, strFile, lngRead, lngCount); },
        Qt::QueuedConnection);
  };
  QThread* thread = QThread::create([strQuery, paths, cancel, progress, result] {
    Search(strQuery, ChmFilesOf(paths), *cancel, progress, *result);
  });
  const quint64 lngSerial = ++m_lngSerial;
  connect(thread, &QThread::finished, this, [this, lngSerial, result] { Finish(lngSerial, result); });
  m_thread = thread;
  m_cancel = cancel;
  thread->start();
}

// The thread stops at the next page it reads and reports a cancelled search.
void FullTextSearch::Cancel() {
  if (m_thread) *m_cancel = true;
}

bool FullTextSearch::IsRunning() const { return m_thread != nullptr; }

void FullTextSearch::Finish(quint64 lngSerial, const std::shared_ptr<FullTextResult>& result) {
  // A search replaced by a newer one was waited for and deleted by Start.
  if (lngSerial != m_lngSerial || !m_thread) return;
  m_thread->wait();
  delete m_thread;
  m_thread = nullptr;
  emit Finished(*result);
}

}  // namespace velmora::ui
