#pragma once
// A cache of owned objects keyed by name and scale, guarded by its own lock and
// reference-counted by its users: the last user to release it empties it. Used for the
// process-wide bitmap and SVG caches of the context and the backend's caches, which
// several editor instances of one process share.
// [any thread; every operation takes the cache's lock]
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace iplug::igraphics {

// 64-bit FNV-1a of the name followed by "-%.1fx" of the scale ("BG.png-2.0x").
uint64_t CacheKey(const char* name, double scale);

template <class T>
class StaticStorage
{
public:
  // for a lookup and an insertion that must not be separated
  std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock<std::recursive_mutex>(mMutex); }

  // null when no entry has exactly this name and scale
  T* Find(const char* name, double scale)
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    const uint64_t key = CacheKey(name, scale);
    for (const Entry& e : mEntries)
      if (e.key == key && e.scale == scale && e.name == name)
        return e.data.get();
    return nullptr;
  }

  // takes ownership; an existing entry is never replaced
  void Add(T* data, const char* name, double scale)
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    mEntries.push_back({CacheKey(name, scale), name, scale, std::unique_ptr<T>(data)});
  }

  void Remove(T* data)
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    std::erase_if(mEntries, [data](const Entry& e) { return e.data.get() == data; });
  }

  void Clear()
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    mEntries.clear();
  }

  void Retain()
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    ++mCount;
  }

  void Release()
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    if (mCount > 0 && --mCount == 0)
      mEntries.clear();
  }

  int RefCount()
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    return mCount;
  }

  int Size()
  {
    const std::lock_guard<std::recursive_mutex> lock(mMutex);
    return static_cast<int>(mEntries.size());
  }

private:
  struct Entry
  {
    uint64_t key;
    std::string name;
    double scale;
    std::unique_ptr<T> data;
  };

  std::recursive_mutex mMutex;
  std::vector<Entry> mEntries;
  int mCount = 0;
};

} // namespace iplug::igraphics
