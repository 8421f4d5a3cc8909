#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool tArmed = false;
thread_local std::size_t tCount = 0;

void* CountedAlloc(std::size_t size, std::size_t align)
{
  if (tArmed)
    ++tCount;
  if (size == 0)
    size = 1;
  void* p = align > alignof(std::max_align_t) ? std::aligned_alloc(align, (size + align - 1) / align * align)
                                              : std::malloc(size);
  if (!p)
    throw std::bad_alloc();
  return p;
}
} // namespace

namespace testsupport {

AllocationScope::AllocationScope() : mStart(tCount), mWasArmed(tArmed) { tArmed = true; }
AllocationScope::~AllocationScope() { tArmed = mWasArmed; }
std::size_t AllocationScope::Count() const { return tCount - mStart; }

} // namespace testsupport

void* operator new(std::size_t size) { return CountedAlloc(size, 0); }
void* operator new[](std::size_t size) { return CountedAlloc(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) { return CountedAlloc(size, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return CountedAlloc(size, static_cast<std::size_t>(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  try { return CountedAlloc(size, 0); } catch (...) { return nullptr; }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
  try { return CountedAlloc(size, 0); } catch (...) { return nullptr; }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
