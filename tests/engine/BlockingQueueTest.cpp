// The queue between the walker and its writer thread: order, waiting and
// closing.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "engine/BlockingQueue.h"

namespace velmora::engine {
namespace {

TEST(BlockingQueueTest, ItemsArriveInOrderAcrossThreads) {
  BlockingQueue<int> queue;
  std::thread producer([&queue] {
    for (int i = 0; i < 10000; ++i) queue.Push(i);
    queue.Close();
  });
  std::vector<int> received;
  int item = -1;
  while (queue.Pop(item)) received.push_back(item);
  producer.join();
  ASSERT_EQ(received.size(), 10000u);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(received[i], i);
}

TEST(BlockingQueueTest, PopWaitsForAPush) {
  BlockingQueue<int> queue;
  auto popped = std::async(std::launch::async, [&queue] {
    int item = 0;
    return queue.Pop(item) ? item : -1;
  });
  EXPECT_EQ(popped.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  int item = 42;
  ASSERT_TRUE(queue.Push(item));
  EXPECT_EQ(popped.get(), 42);
}

TEST(BlockingQueueTest, CloseWakesAWaitingPop) {
  BlockingQueue<int> queue;
  auto popped = std::async(std::launch::async, [&queue] {
    int item = 0;
    return queue.Pop(item);
  });
  queue.Close();
  EXPECT_FALSE(popped.get());
}

TEST(BlockingQueueTest, ItemsQueuedBeforeCloseAreStillPopped) {
  BlockingQueue<int> queue;
  for (int i = 1; i <= 2; ++i) queue.Push(i);
  queue.Close();
  int item = 0;
  ASSERT_TRUE(queue.Pop(item));
  EXPECT_EQ(item, 1);
  ASSERT_TRUE(queue.TryPop(item));
  EXPECT_EQ(item, 2);
  EXPECT_FALSE(queue.Pop(item));
  EXPECT_FALSE(queue.TryPop(item));
}

TEST(BlockingQueueTest, PushAfterCloseKeepsTheItem) {
  BlockingQueue<std::unique_ptr<int>> queue;
  queue.Close();
  auto item = std::make_unique<int>(7);
  EXPECT_FALSE(queue.Push(item));
  ASSERT_TRUE(item);
  EXPECT_EQ(*item, 7);
}

TEST(BlockingQueueTest, TryPopOnAnEmptyQueueReturnsAtOnce) {
  BlockingQueue<int> queue;
  int item = 5;
  EXPECT_FALSE(queue.TryPop(item));
  EXPECT_EQ(item, 5);
}

}  // namespace
}  // namespace velmora::engine
