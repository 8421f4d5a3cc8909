#include "AllocationCounter.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
thread_local bool tArmed = false;
thread_local std::size_t tCount = 0;

bool OverAligned(std::size_t align)
{
  return align > alignof(std::max_align_t);
}

// carved from malloc by hand (not every C library has aligned_alloc); the block's start sits just below
void* AlignedAlloc(std::size_t size, std::size_t align)
{
  void* raw = std::malloc(size + align + sizeof(void*));
  if (!raw)
    return nullptr;
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
  void** p = reinterpret_cast<void**>((first + align - 1) & ~std::uintptr_t(align - 1));
  p[-1] = raw;
  return p;
}

void FreeAligned(void* p, std::size_t align)
{
  if (p && OverAligned(align))
    std::free(static_cast<void**>(p)[-1]);
  else
    std::free(p);
}

void* CountedAlloc(std::size_t size, std::size_t align)
{
  if (tArmed)
    ++tCount;
  if (size == 0)
    size = 1;
  void* p = OverAligned(align) ? AlignedAlloc(size, align) : std::malloc(size);
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
void operator delete(void* p, std::align_val_t a) noexcept { FreeAligned(p, static_cast<std::size_t>(a)); }
void operator delete[](void* p, std::align_val_t a) noexcept { FreeAligned(p, static_cast<std::size_t>(a)); }
void operator delete(void* p, std::size_t, std::align_val_t a) noexcept { FreeAligned(p, static_cast<std::size_t>(a)); }
void operator delete[](void* p, std::size_t, std::align_val_t a) noexcept { FreeAligned(p, static_cast<std::size_t>(a)); }
