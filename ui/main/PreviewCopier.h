#pragma once
// Writes the preview pane's copies of stored files on a thread of its own,
// one copy at a time, so that no stored file holds up the window however
// long it decodes. A copy is the single-item extraction of the content
// walker, which puts the file in place only once it is complete.
//
// A stored file longer than the preview serves, or one that would leave
// less than kFreeSpaceMargin free on the preview folder's disk, is refused
// before anything is written; a file whose CHM file changed since it was
// listed is held to the same limit while it is written. Starting another
// copy or cancelling stops the one under way (its file is not put in
// place, or is left complete) and drops its result.

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace velmora::ui {

class PreviewCopier : public QObject {
  Q_OBJECT

 public:
  enum class Outcome {
    Written,      // the copy is in place
    MissingFile,  // the CHM file is gone
    NotChm,       // the CHM file cannot be read as one any more
    NotFound,     // no such stored file
    TooLarge,     // longer than the preview serves
    NoSpace,      // the preview folder's disk would be (or is) full
    Damaged,      // the stored file cannot be read or decoded
    NotWritten,   // the preview folder refused the copy
  };

  struct Request {
    QString strChmFile;
    QString strTarget;           // the preview copy
    std::string strKey;          // record key of the stored file
    std::uint64_t lngListedSize = 0;  // its length when the CHM file was listed
    std::uint64_t lngLimit = 0;  // the longest stored file the preview serves
  };

  using Finished = std::function<void(Outcome)>;

  // Free space kept on the preview folder's disk besides the copy.
  static constexpr std::uint64_t kFreeSpaceMargin = std::uint64_t(64) << 20;

  explicit PreviewCopier(QObject* parent = nullptr);
  // Cancels the copy under way and waits for its thread.
  ~PreviewCopier() override;

  // Cancels the copy under way and starts this one; finished runs on this
  // object's thread once the copy has ended, unless it is cancelled first.
  void Start(const Request& request, Finished finished);
  // Stops the copy under way; its result is dropped. True when there was one.
  bool Cancel();
  bool IsBusy() const { return m_blnBusy; }

  // On the copying thread: the copy the request asks for, by the walker.
  static Outcome Copy(const Request& request, const std::atomic<bool>& blnCancelled);

 private:
  QThreadPool m_thread;  // one thread: copies never overlap
  std::shared_ptr<std::atomic<bool>> m_cancelled;
  bool m_blnBusy = false;
};

}  // namespace velmora::ui
