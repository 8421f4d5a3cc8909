#pragma once
// A mutex that knows its owner: a thread that already owns it passes Lock without waiting and without taking
// it again, and must then leave the unlocking to the outer Lock. One file per platform (AAX_Mutex_<os>.cpp).
#include <atomic>
#include <cstdint>

class AAX_CMutex
{
public:
  AAX_CMutex();
  ~AAX_CMutex();
  AAX_CMutex(const AAX_CMutex&) = delete;
  AAX_CMutex& operator=(const AAX_CMutex&) = delete;

  // [any thread] waits without limit unless the caller owns the mutex already; returns true when this call
  // took it (the caller then unlocks), false when the caller owned it before
  bool Lock();
  // [owning thread] false when the caller is not the owner
  bool Unlock();
  // [any thread] never waits; true when this call took the mutex
  bool TryLock();
  // [any thread, lock-free]
  bool IsOwnedByCurrentThread() const;

private:
  static uint64_t CurrentThreadID(); // never 0

  void* mHandle = nullptr;            // the platform mutex
  std::atomic<uint64_t> mOwner{0};    // 0 when unowned
};
