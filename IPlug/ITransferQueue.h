#pragma once
// Lock-free single-producer single-consumer ring for values crossing from the host/audio side to the editor
// and back. One slot stays free to tell full from empty, so capacity N takes N + 1 slots.
#include <array>
#include <atomic>
#include <cstdint>
#include <type_traits>

namespace iplug {

// a parameter's real value on its way to the editor
struct IParamTransfer
{
  int32_t mIdx = 0;
  double mValue = 0.0;
};

template <typename T, int N>
class ITransferQueue
{
  static_assert(N > 0, "a transfer queue holds at least one element");
  static_assert(std::is_trivially_copyable_v<T>, "elements are copied on the real-time side and must not allocate");

public:
  // [producer thread, lock-free] false when the queue is full: the element is dropped
  bool Push(const T& item)
  {
    const int write = mWriteIndex.load(std::memory_order_relaxed);
    const int next = Advance(write);
    if (next == mReadIndex.load(std::memory_order_acquire))
      return false;
    mSlots[write] = item;
    mWriteIndex.store(next, std::memory_order_release);
    return true;
  }

  // [consumer thread, lock-free] false when the queue is empty, leaving item untouched
  bool Pop(T& item)
  {
    const int read = mReadIndex.load(std::memory_order_relaxed);
    if (read == mWriteIndex.load(std::memory_order_acquire))
      return false;
    item = mSlots[read];
    mReadIndex.store(Advance(read), std::memory_order_release);
    return true;
  }

  // [any thread, lock-free] a snapshot: the consumer can pop at least this many, the producer push at least N minus it
  int ElementsAvailable() const
  {
    const int count = mWriteIndex.load(std::memory_order_acquire) - mReadIndex.load(std::memory_order_acquire);
    return count < 0 ? count + kNumSlots : count;
  }

  static constexpr int Capacity() { return N; }

private:
  static constexpr int kNumSlots = N + 1;
  // keeps the two indices (and the slots) on separate cache lines so producer and consumer do not contend
  static constexpr int kCacheLineBytes = 64;

  static constexpr int Advance(int index) { return index + 1 == kNumSlots ? 0 : index + 1; }

  alignas(kCacheLineBytes) std::atomic<int> mWriteIndex{0};
  alignas(kCacheLineBytes) std::atomic<int> mReadIndex{0};
  alignas(kCacheLineBytes) std::array<T, kNumSlots> mSlots{};
};

} // namespace iplug
