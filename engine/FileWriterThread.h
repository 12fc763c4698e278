#pragma once
// Writes files on a background thread while the calling thread produces
// their bytes: each file is Begin, any number of Append calls, then End.
// Files travel in batches of up to kBatchBytes, many small files to a
// batch, and at most kBatches batches exist, so the bytes on their way
// stay bounded however large the files are. The files reach the disk
// through DiskFileWriter one after another, in the order they were begun:
// the result on disk is that of writing them on the calling thread.
//
// Several files for one target: a file is written only while no file of a
// higher rank has been written there. When ranks follow the order whose
// last successful write should win, that one remains even when the files
// come in another order.
//
// When no thread can be started, each batch is written on the calling
// thread instead, with the same result.
//
// A file that reached the writer and could not be written (folder, file,
// bytes or rename) is listed with its rank and reason by Failures(); one
// the producer dropped or that a higher rank already holds is not.

#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/BlockingQueue.h"
#include "engine/DiskFileWriter.h"
#include "engine/WriteBatch.h"

namespace velmora::engine {

class FileWriterThread {
 public:
  static constexpr std::size_t kBatchBytes = 256u << 10;
  static constexpr std::size_t kBatchSteps = 4096;
  static constexpr std::size_t kBatches = 32;

  // Files go below the output folder root (see DiskFileWriter).
  explicit FileWriterThread(OutputPath root);
  // Writes every file that was ended, drops one that was begun but not
  // ended, and waits for the thread: no thread outlives the object, even
  // when the calling thread leaves by an exception.
  ~FileWriterThread();
  FileWriterThread(const FileWriterThread&) = delete;
  FileWriterThread& operator=(const FileWriterThread&) = delete;

  // Starts a file at strTarget, relative to the output folder (see
  // DiskFileWriter::Begin). A file still open is dropped.
  void Begin(std::string strTarget, std::size_t rank);
  // Adds bytes to the open file; may wait while every batch is on its way.
  void Append(const char* data, std::size_t size);
  // Ends the open file: written when blnComplete, dropped otherwise.
  void End(bool blnComplete);
  // Returns once every ended file is written or dropped and the thread has
  // stopped. Nothing may be begun afterwards.
  void Finish();
  // After Finish: rank and reason of every file the writer could not
  // write, in the order the writer met them.
  const std::vector<std::pair<std::size_t, LossReason>>& Failures() const { return m_failures; }
  // After Finish: how many files were renamed into place.
  std::size_t Written() const { return m_written; }

 private:
  using BatchPtr = std::unique_ptr<WriteBatch>;
  static constexpr std::size_t kNotInBatch = static_cast<std::size_t>(-1);

  // Calling thread: the batch being filled, made or taken back from the
  // writer when there is none.
  WriteBatch& Current();
  // Room for one more step in the current batch.
  WriteBatch& WithRoomForStep();
  // Hands the current batch to the writer.
  void Send();
  // Closes the queue, waits for the thread and drops an unended file.
  void Stop();

  // Writer side (the thread, or the calling thread when there is none).
  void Run();
  void WriteOut(WriteBatch& batch);

  BatchPtr m_batch;
  std::size_t m_batchesMade = 0;
  bool m_begun = false;  // a file is open
  // Where the open file's Begin step is in m_batch, so dropping a file
  // that never left takes it out again; kNotInBatch once it was sent.
  std::size_t m_beginStep = kNotInBatch;
  std::size_t m_beginBytes = 0;

  DiskFileWriter m_disk;
  std::unordered_map<std::string, std::size_t> m_holder;  // target -> rank written there
  std::string m_strTarget;  // of the file being written
  std::size_t m_rank = 0;
  std::vector<std::pair<std::size_t, LossReason>> m_failures;  // writer side until Finish
  std::size_t m_written = 0;                                    // writer side until Finish

  BlockingQueue<BatchPtr> m_full;  // to the writer
  BlockingQueue<BatchPtr> m_free;  // written, back to be filled again
  std::thread m_thread;
};

}  // namespace velmora::engine
