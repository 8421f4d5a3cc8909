#include "AAX_Mutex.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
pthread_mutex_t* Native(void* handle)
{
  return static_cast<pthread_mutex_t*>(handle);
}
} // namespace

AAX_CMutex::AAX_CMutex() : mHandle(new pthread_mutex_t)
{
  pthread_mutex_init(Native(mHandle), nullptr);
}

AAX_CMutex::~AAX_CMutex()
{
  pthread_mutex_destroy(Native(mHandle));
  delete Native(mHandle);
}

uint64_t AAX_CMutex::CurrentThreadID()
{
  // one system call per thread, not per lock
  static thread_local const uint64_t sID = static_cast<uint64_t>(syscall(SYS_gettid));
  return sID;
}

bool AAX_CMutex::IsOwnedByCurrentThread() const
{
  return mOwner.load(std::memory_order_acquire) == CurrentThreadID();
}

bool AAX_CMutex::Lock()
{
  if (IsOwnedByCurrentThread())
    return false;
  pthread_mutex_lock(Native(mHandle));
  mOwner.store(CurrentThreadID(), std::memory_order_release);
  return true;
}

bool AAX_CMutex::TryLock()
{
  if (IsOwnedByCurrentThread() || pthread_mutex_trylock(Native(mHandle)) != 0)
    return false;
  mOwner.store(CurrentThreadID(), std::memory_order_release);
  return true;
}

bool AAX_CMutex::Unlock()
{
  if (!IsOwnedByCurrentThread())
    return false;
  mOwner.store(0, std::memory_order_release);
  pthread_mutex_unlock(Native(mHandle));
  return true;
}
