#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "ITransferQueue.h"

using iplug::IParamTransfer;
using iplug::ITransferQueue;

TEST(TransferQueue, PushBeyondCapacityIsDroppedAndTheRestArriveInOrder)
{
  constexpr int kCapacity = 512;
  auto queue = std::make_unique<ITransferQueue<IParamTransfer, kCapacity>>();
  for (int i = 0; i < kCapacity; ++i)
    ASSERT_TRUE(queue->Push({i % 22, i * 0.5}));
  EXPECT_FALSE(queue->Push({0, -1.0}));
  EXPECT_EQ(queue->ElementsAvailable(), kCapacity);

  for (int i = 0; i < kCapacity; ++i)
  {
    IParamTransfer t{};
    ASSERT_TRUE(queue->Pop(t));
    EXPECT_EQ(t.mIdx, i % 22);
    EXPECT_EQ(t.mValue, i * 0.5);
  }
  IParamTransfer untouched{7, 7.0};
  EXPECT_FALSE(queue->Pop(untouched));
  EXPECT_EQ(untouched.mIdx, 7);
  EXPECT_EQ(queue->ElementsAvailable(), 0);
}

TEST(TransferQueue, CountStaysRightAfterTheIndicesWrap)
{
  ITransferQueue<int, 4> queue;
  int out = 0;
  for (int round = 0; round < 3; ++round)
  {
    for (int i = 0; i < 3; ++i)
      queue.Push(round * 10 + i);
    EXPECT_EQ(queue.ElementsAvailable(), 3);
    EXPECT_TRUE(queue.Pop(out));
    EXPECT_EQ(out, round * 10);
    EXPECT_TRUE(queue.Pop(out));
    EXPECT_EQ(queue.ElementsAvailable(), 1);
    EXPECT_TRUE(queue.Pop(out));
    EXPECT_EQ(out, round * 10 + 2);
  }
  // write index now sits below where the read index was: count must not go negative
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(queue.Push(i));
  EXPECT_FALSE(queue.Push(99));
  EXPECT_EQ(queue.ElementsAvailable(), 4);
}

TEST(TransferQueue, ProducerAndConsumerThreadsPassEveryValueInOrder)
{
  constexpr int kValues = 200000;
  auto queue = std::make_unique<ITransferQueue<IParamTransfer, 64>>();
  std::thread producer([&] {
    for (int i = 0; i < kValues; ++i)
      while (!queue->Push({i, static_cast<double>(i) * 0.25}))
        std::this_thread::yield();
  });

  int next = 0;
  bool inOrder = true;
  while (next < kValues)
  {
    IParamTransfer t{};
    if (!queue->Pop(t))
    {
      std::this_thread::yield();
      continue;
    }
    inOrder = inOrder && t.mIdx == next && t.mValue == static_cast<double>(next) * 0.25;
    ++next;
  }
  producer.join();
  EXPECT_TRUE(inOrder);
  EXPECT_EQ(queue->ElementsAvailable(), 0);
}
