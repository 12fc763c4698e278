#include "engine/FileWriterThread.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace velmora::engine {

FileWriterThread::FileWriterThread(OutputPath root) : m_disk(std::move(root)) {
  try {
    m_thread = std::thread(&FileWriterThread::Run, this);
  } catch (const std::system_error&) {
    // No thread: Send writes each batch on the calling thread.
  }
}

FileWriterThread::~FileWriterThread() {
  m_begun = false;
  try {
    // The ended files of the current batch; the unended one is dropped.
    if (m_batch && !m_batch->steps.empty()) Send();
  } catch (...) {
    // Out of memory while handing it over: those files are lost, nothing
    // partial is left.
  }
  Stop();
}

void FileWriterThread::Begin(std::string strTarget, std::size_t rank) {
  if (m_begun) End(false);
  WriteBatch& batch = WithRoomForStep();
  m_beginStep = batch.steps.size();
  m_beginBytes = batch.bytes.size();
  WriteBatch::Step step;
  step.kind = WriteBatch::Step::Kind::Begin;
  step.strTarget = std::move(strTarget);
  step.rank = rank;
  batch.steps.push_back(std::move(step));
  m_begun = true;
}

void FileWriterThread::Append(const char* data, std::size_t size) {
  if (!m_begun) return;
  while (size > 0) {
    WriteBatch* batch = &Current();
    if (batch->bytes.size() == kBatchBytes) {
      Send();
      batch = &Current();
    }
    // Bytes that follow bytes of the same file extend their step.
    if (batch->steps.empty() || batch->steps.back().kind != WriteBatch::Step::Kind::Write) {
      batch = &WithRoomForStep();
      WriteBatch::Step step;
      step.kind = WriteBatch::Step::Kind::Write;
      batch->steps.push_back(std::move(step));
    }
    const std::size_t take = std::min(size, kBatchBytes - batch->bytes.size());
    batch->bytes.insert(batch->bytes.end(), data, data + take);
    batch->steps.back().length += take;
    data += take;
    size -= take;
  }
}

void FileWriterThread::End(bool blnComplete) {
  if (!m_begun) return;
  m_begun = false;
  if (!blnComplete && m_beginStep != kNotInBatch) {
    // The writer has seen nothing of this file.
    m_batch->steps.resize(m_beginStep);
    m_batch->bytes.resize(m_beginBytes);
  } else {
    WriteBatch& batch = WithRoomForStep();
    WriteBatch::Step step;
    step.kind = blnComplete ? WriteBatch::Step::Kind::Complete : WriteBatch::Step::Kind::Fail;
    batch.steps.push_back(std::move(step));
  }
  m_beginStep = kNotInBatch;
}

void FileWriterThread::Finish() {
  m_begun = false;
  if (m_batch && !m_batch->steps.empty()) Send();
  Stop();
}

WriteBatch& FileWriterThread::Current() {
  if (!m_batch && !m_free.TryPop(m_batch)) {
    if (m_batchesMade < kBatches) {
      m_batch = std::make_unique<WriteBatch>();
      m_batch->bytes.reserve(kBatchBytes);
      ++m_batchesMade;
    } else {
      m_free.Pop(m_batch);  // the writer gives every batch back
    }
  }
  return *m_batch;
}

WriteBatch& FileWriterThread::WithRoomForStep() {
  if (Current().steps.size() >= kBatchSteps) Send();
  return Current();
}

void FileWriterThread::Send() {
  m_beginStep = kNotInBatch;
  if (m_thread.joinable()) {
    m_full.Push(m_batch);
  } else {
    WriteOut(*m_batch);
    m_batch->Clear();
  }
}

void FileWriterThread::Stop() {
  m_full.Close();
  if (m_thread.joinable()) m_thread.join();
  m_disk.End(false);
}

void FileWriterThread::Run() {
  BatchPtr batch;
  while (m_full.Pop(batch)) {
    WriteOut(*batch);
    batch->Clear();
    m_free.Push(batch);
  }
}

void FileWriterThread::WriteOut(WriteBatch& batch) {
  using Kind = WriteBatch::Step::Kind;
  std::size_t offset = 0;
  for (WriteBatch::Step& step : batch.steps) {
    const char* data = batch.bytes.data() + offset;
    if (step.kind == Kind::Write) offset += step.length;
    try {
      switch (step.kind) {
        case Kind::Begin: {
          m_strTarget = std::move(step.strTarget);
          m_rank = step.rank;
          const auto it = m_holder.find(m_strTarget);
          if (it == m_holder.end() || it->second < m_rank) {
            if (!m_disk.Begin(m_strTarget)) m_failures.emplace_back(m_rank, m_disk.LastReason());
          } else {
            m_disk.End(false);
          }
          break;
        }
        case Kind::Write:
          if (m_disk.IsOpen() && !m_disk.Write(data, step.length)) {
            m_failures.emplace_back(m_rank, m_disk.LastReason());
            m_disk.End(false);
          }
          break;
        case Kind::Complete:
        case Kind::Fail:
          if (m_disk.IsOpen()) {
            if (m_disk.End(step.kind == Kind::Complete)) {
              m_holder[m_strTarget] = m_rank;
              ++m_written;
            } else if (step.kind == Kind::Complete) {
              m_failures.emplace_back(m_rank, m_disk.LastReason());
            }
          }
          break;
      }
    } catch (...) {
      // Out of memory on the writer side loses this file only, also when it
      // could not even be begun; no exception may leave the thread.
      try {
        if (m_disk.IsOpen() || step.kind == Kind::Begin) m_failures.emplace_back(m_rank, LossReason::WriteFailed);
        m_disk.End(false);
      } catch (...) {
      }
    }
  }
}

}  // namespace velmora::engine
