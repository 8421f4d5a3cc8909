#include "ParameterThread.h"

namespace aaxhost {

ParameterThread::ParameterThread()
{
  std::unique_lock lock(mLock);
  mThread = std::thread([this] { Run(); });
  mId = mThread.get_id();
}

ParameterThread::~ParameterThread()
{
  {
    std::lock_guard lock(mLock);
    mStopping = true;
  }
  mWake.notify_all();
  mThread.join();
}

void ParameterThread::Post(std::function<void()> task)
{
  {
    std::lock_guard lock(mLock);
    mTasks.push_back(std::move(task));
  }
  mWake.notify_one();
}

bool ParameterThread::Flush()
{
  if (IsCurrentThread())
    return false;
  std::unique_lock lock(mLock);
  mIdle.wait(lock, [this] { return mTasks.empty() && !mRunning; });
  return true;
}

uint64_t ParameterThread::TasksRun() const
{
  std::lock_guard lock(mLock);
  return mTasksRun;
}

void ParameterThread::Run()
{
  std::unique_lock lock(mLock);
  for (;;)
  {
    mWake.wait(lock, [this] { return mStopping || !mTasks.empty(); });
    if (mTasks.empty())
      return; // stopping with nothing left
    std::function<void()> task = std::move(mTasks.front());
    mTasks.pop_front();
    mRunning = true;
    lock.unlock();
    task();
    task = nullptr;
    lock.lock();
    mRunning = false;
    ++mTasksRun;
    if (mTasks.empty())
      mIdle.notify_all();
  }
}

} // namespace aaxhost
