#pragma once
// The host's parameter thread: one worker that runs posted tasks in order. Host updates of every instance are
// delivered on it, as a real host delivers automation and the answers to set-value requests.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace aaxhost {

class ParameterThread
{
public:
  ParameterThread();
  // runs what is queued, then stops the thread
  ~ParameterThread();
  ParameterThread(const ParameterThread&) = delete;
  ParameterThread& operator=(const ParameterThread&) = delete;

  // [any thread] queues the task; tasks may post further tasks
  void Post(std::function<void()> task);
  // [any thread but this one] waits until the queue is empty and no task runs; false (without waiting) when
  // called on the parameter thread itself
  bool Flush();
  // [any thread]
  bool IsCurrentThread() const { return std::this_thread::get_id() == mId; }
  std::thread::id Id() const { return mId; }
  // [any thread] tasks run so far
  uint64_t TasksRun() const;

private:
  void Run();

  mutable std::mutex mLock;
  std::condition_variable mWake;
  std::condition_variable mIdle;
  std::deque<std::function<void()>> mTasks;
  bool mRunning = false;
  bool mStopping = false;
  uint64_t mTasksRun = 0;
  std::thread::id mId;
  std::thread mThread;
};

} // namespace aaxhost
