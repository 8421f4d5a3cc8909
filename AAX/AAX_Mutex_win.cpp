#include "AAX_Mutex.h"

#include <windows.h>

namespace {
HANDLE Native(void* handle)
{
  return static_cast<HANDLE>(handle);
}

// an abandoned mutex (its owner thread ended holding it) still passes to the waiter
bool Acquired(DWORD waitResult)
{
  return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED;
}
} // namespace

AAX_CMutex::AAX_CMutex() : mHandle(CreateMutexW(nullptr, FALSE, nullptr))
{
}

AAX_CMutex::~AAX_CMutex()
{
  if (mHandle)
    CloseHandle(Native(mHandle));
}

uint64_t AAX_CMutex::CurrentThreadID()
{
  return GetCurrentThreadId(); // never 0 for a running thread
}

bool AAX_CMutex::IsOwnedByCurrentThread() const
{
  return mOwner.load(std::memory_order_acquire) == CurrentThreadID();
}

bool AAX_CMutex::Lock()
{
  if (IsOwnedByCurrentThread() || !Acquired(WaitForSingleObject(Native(mHandle), INFINITE)))
    return false;
  mOwner.store(CurrentThreadID(), std::memory_order_release);
  return true;
}

bool AAX_CMutex::TryLock()
{
  if (IsOwnedByCurrentThread() || !Acquired(WaitForSingleObject(Native(mHandle), 0)))
    return false;
  mOwner.store(CurrentThreadID(), std::memory_order_release);
  return true;
}

bool AAX_CMutex::Unlock()
{
  if (!IsOwnedByCurrentThread())
    return false;
  mOwner.store(0, std::memory_order_release);
  ReleaseMutex(Native(mHandle));
  return true;
}
