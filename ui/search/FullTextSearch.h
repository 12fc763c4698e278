#pragma once
// The windows' way to the full-text search core: brings the index up to
// date for the CHM files of some files and folders and answers a query
// from it, on a thread of its own, so the window keeps answering. Progress
// comes while files are indexed; Cancel stops the indexing (the file being
// indexed keeps what it had) and then no results come.

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <vector>

#include "engine/search/ShelfSearch.h"

class QThread;

namespace velmora::ui {

// One CHM file searched and what became of it.
struct SearchedFile {
  QString strChmFile;  // absolute
  search::FileStatus status = search::FileStatus::Unreadable;
  std::size_t lngUnreadablePages = 0;
};

struct FullTextResult {
  QString strQuery;
  std::vector<SearchedFile> files;     // in the order searched
  std::vector<search::SearchHit> hits;  // best first, each with a snippet, at most kMaxHits
  std::size_t lngHitsFound = 0;         // before the cut
  bool blnCancelled = false;
  QString strError;  // the index could not be opened or written
};

class FullTextSearch : public QObject {
  Q_OBJECT

 public:
  // How many hits are kept (and get a snippet).
  static constexpr std::size_t kMaxHits = 500;

  explicit FullTextSearch(QObject* parent = nullptr);
  // Cancels a search still running and waits for its thread.
  ~FullTextSearch() override;

  // paths: CHM files, and folders searched for *.chm (any letter case) in
  // them and below. A search still running is cancelled first.
  void Start(const QString& strQuery, const QStringList& paths);
  void Cancel();
  bool IsRunning() const;

  // The CHM files of paths, as Start searches them.
  static QStringList ChmFilesOf(const QStringList& paths);

 signals:
  // lngFile from 0; pages of the file being indexed.
  void Progress(int lngFile, int lngFiles, const QString& strChmFile, int lngPagesRead, int lngPageCount);
  void Finished(const velmora::ui::FullTextResult& result);

 private:
  void Finish(quint64 lngSerial, const std::shared_ptr<FullTextResult>& result);

  QThread* m_thread = nullptr;
  quint64 m_lngSerial = 0;  // of the search started last
  std::shared_ptr<std::atomic<bool>> m_cancel;
};

}  // namespace velmora::ui
