#pragma once
// A fixed ring of N element pointers (null marks a free slot). Writers are serialised by the queue's mutex;
// the single reader pops and peeks without a lock, so it never waits on a writer.
#include <array>
#include <atomic>
#include <cstdint>

#include "AAX_Mutex.h"

class AAX_IContainer
{
public:
  // Codes 2 and 3 belong to kinds of container this layer does not have.
  enum EStatus : int32_t
  {
    eStatus_Success = 0,
    eStatus_Full = 1,
    eStatus_NullElement = 4
  };

  virtual ~AAX_IContainer() = default;
  // [reader thread, or while no one else uses the queue] empties every slot; the elements are not freed
  virtual void Clear() = 0;
};

template <typename T>
class AAX_IPointerQueue : public AAX_IContainer
{
public:
  // [any thread] eStatus_Full leaves the queue as it was
  virtual EStatus Push(T* element) = 0;
  // [single reader thread, lock-free] the oldest element, or null when empty
  virtual T* Pop() = 0;
  virtual T* Peek() const = 0;
};

template <typename T, uint32_t N>
class AAX_CAtomicQueue : public AAX_IPointerQueue<T>
{
  static_assert(N > 0, "a queue holds at least one element");

public:
  using EStatus = AAX_IContainer::EStatus;

  void Clear() override
  {
    for (auto& slot : mSlots)
      slot.store(nullptr, std::memory_order_release);
  }

  EStatus Push(T* element) override
  {
    if (!element)
      return AAX_IContainer::eStatus_NullElement;
    const bool locked = mMutex.Lock();
    uint32_t write = mWriteIndex.fetch_add(1, std::memory_order_acq_rel) + 1;
    const uint32_t slot = write % N;
    T* expected = nullptr;
    EStatus status = AAX_IContainer::eStatus_Success;
    if (!mSlots[slot].compare_exchange_strong(expected, element, std::memory_order_acq_rel))
    {
      // the slot still holds an unread element: the queue is full, so take the step back
      mWriteIndex.compare_exchange_strong(write, write == 0 ? N : write - 1, std::memory_order_acq_rel);
      status = AAX_IContainer::eStatus_Full;
    }
    else if (slot < write)
    {
      // fold the index back into the ring once it has passed the end
      mWriteIndex.compare_exchange_strong(write, slot, std::memory_order_acq_rel);
    }
    if (locked)
      mMutex.Unlock();
    return status;
  }

  T* Pop() override
  {
    const uint32_t read = (mReadIndex.load(std::memory_order_relaxed) + 1) % N;
    T* element = mSlots[read].exchange(nullptr, std::memory_order_acq_rel);
    if (element)
      mReadIndex.store(read, std::memory_order_relaxed);
    return element;
  }

  T* Peek() const override
  {
    const uint32_t read = (mReadIndex.load(std::memory_order_relaxed) + 1) % N;
    return mSlots[read].load(std::memory_order_acquire);
  }

  static constexpr uint32_t Capacity() { return N; }

protected:
  // for a writer that pushes a run of elements under one lock
  AAX_CMutex& Mutex() { return mMutex; }

private:
  AAX_CMutex mMutex;
  std::atomic<uint32_t> mReadIndex{0};
  std::atomic<uint32_t> mWriteIndex{0};
  std::array<std::atomic<T*>, N> mSlots{};
};
