#include "ui/main/PreviewCopier.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <exception>
#include <utility>

#include "engine/basVelmora.h"
#include "engine/cCHMParser.h"

namespace velmora::ui {
namespace {

// Thrown from the walker's progress handler to end a copy early; the
// walker drops the unfinished file and raises it again.
struct CopyStopped {
  PreviewCopier::Outcome outcome;
};

// Whether lngBytes more still leave the margin free on the folder's disk
// (true when the disk cannot be asked).
bool Fits(const QString& strFolder, std::uint64_t lngBytes) {
  const QStorageInfo disk(strFolder);
  if (!disk.isValid() || disk.bytesAvailable() < 0) return true;
  return lngBytes + PreviewCopier::kFreeSpaceMargin <= std::uint64_t(disk.bytesAvailable());
}

PreviewCopier::Outcome OutcomeOfLoss(engine::LossReason reason) {
  switch (reason) {
    case engine::LossReason::Unreadable:
    case engine::LossReason::Damaged:
      return PreviewCopier::Outcome::Damaged;
    case engine::LossReason::DiskFull:
      return PreviewCopier::Outcome::NoSpace;
    default:
      return PreviewCopier::Outcome::NotWritten;
  }
}

}  // namespace

PreviewCopier::PreviewCopier(QObject* parent) : QObject(parent) { m_thread.setMaxThreadCount(1); }

PreviewCopier::~PreviewCopier() {
  Cancel();
  m_thread.clear();
  m_thread.waitForDone();
}

void PreviewCopier::Start(const Request& request, Finished finished) {
  Cancel();
  m_thread.clear();  // a cancelled copy that has not begun never does
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  m_cancelled = cancelled;
  m_blnBusy = true;
  m_thread.start([this, request, cancelled, finished = std::move(finished)] {
    if (*cancelled) return;
    const Outcome outcome = Copy(request, *cancelled);
    // Delivered on this object's thread, where Cancel sets the flag too:
    // a copy cancelled before its result is handled reports nothing.
    QMetaObject::invokeMethod(this, [this, cancelled, finished, outcome] {
      if (*cancelled) return;
      m_blnBusy = false;
      finished(outcome);
    }, Qt::QueuedConnection);
  });
}

bool PreviewCopier::Cancel() {
  const bool blnWasBusy = m_blnBusy;
  if (m_cancelled) *m_cancelled = true;
  m_cancelled.reset();
  m_blnBusy = false;
  return blnWasBusy;
}

PreviewCopier::Outcome PreviewCopier::Copy(const Request& request, const std::atomic<bool>& blnCancelled) {
  if (request.lngListedSize > request.lngLimit) return Outcome::TooLarge;
  const std::string strTarget = request.strTarget.toStdString();
  const QString strFolder = QFileInfo(request.strTarget).absolutePath();
  engine::basVelmora::CreateFolderPath(strTarget);
  if (!Fits(strFolder, request.lngListedSize)) return Outcome::NoSpace;
  // The previous copy goes first: a file that writes nothing must not leave
  // another item's page under its name.
  QFile::remove(request.strTarget);

  engine::cCHMParser parser;
  // Called every few megabytes while the file is written, with the length
  // the CHM file declares now (it may have changed since it was listed).
  parser.WriteProgress = [&](std::uint64_t done, std::uint64_t total) {
    if (blnCancelled) throw CopyStopped{Outcome::NotWritten};
    if (total > request.lngLimit) throw CopyStopped{Outcome::TooLarge};
    if (total > request.lngListedSize && !Fits(strFolder, total - done)) throw CopyStopped{Outcome::NoSpace};
  };
  engine::cCHMItemCollection colUnchanged;  // type 32 leaves it as it is
  std::int32_t lngPicCount = 0;
  std::int32_t lngHTMLCount = 0;
  std::int32_t lngMovieCount = 0;
  std::int32_t lngTotal = 0;
  bool blnRead = false;
  try {
    blnRead = parser.ParseCHM(request.strChmFile.toStdString(), strTarget, engine::kExtractSingle,
                              {request.strKey}, colUnchanged, lngPicCount, lngHTMLCount, lngMovieCount, lngTotal);
  } catch (const CopyStopped& stopped) {
    return stopped.outcome;
  } catch (const engine::ParseError&) {
    blnRead = false;
  } catch (const std::exception&) {
    // Out of memory or the like: no copy, but no end of the program either.
    return Outcome::Damaged;
  }
  if (!blnRead) {
    return engine::basVelmora::FileExists(request.strChmFile.toStdString()) ? Outcome::NotChm : Outcome::MissingFile;
  }
  if (!parser.LostItems().empty()) return OutcomeOfLoss(parser.LostItems().front().reason);
  if (parser.WrittenCount() == 1) return Outcome::Written;
  return Outcome::NotFound;
}

}  // namespace velmora::ui
