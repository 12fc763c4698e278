#pragma once
// A first-in first-out queue between threads: Pop waits for an item until
// the queue is closed. Closing wakes every waiting thread; items already
// queued can still be popped, new ones are refused.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace velmora::engine {

template <typename T>
class BlockingQueue {
 public:
  BlockingQueue() = default;
  BlockingQueue(const BlockingQueue&) = delete;
  BlockingQueue& operator=(const BlockingQueue&) = delete;

  // Appends the item; false, with the item left as it was, once closed.
  bool Push(T& item) {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      if (m_closed) return false;
      m_items.push_back(std::move(item));
    }
    m_ready.notify_one();
    return true;
  }

  // Takes the oldest item, waiting while the queue is empty and open. False
  // when the queue is closed and empty.
  bool Pop(T& item) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ready.wait(lock, [this] { return m_closed || !m_items.empty(); });
    if (m_items.empty()) return false;
    item = std::move(m_items.front());
    m_items.pop_front();
    return true;
  }

  // Takes the oldest item if there is one, without waiting.
  bool TryPop(T& item) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_items.empty()) return false;
    item = std::move(m_items.front());
    m_items.pop_front();
    return true;
  }

  void Close() {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_closed = true;
    }
    m_ready.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_ready;
  std::deque<T> m_items;
  bool m_closed = false;
};

}  // namespace velmora::engine
