#include "ACFUnknown.h"

namespace {
std::atomic<int32_t> sLiveObjects{0};
}

int32_t CACFUnknown::LiveObjectCount()
{
  return sLiveObjects.load(std::memory_order_acquire);
}

CACFUnknown::CACFUnknown()
{
  sLiveObjects.fetch_add(1, std::memory_order_acq_rel);
}

CACFUnknown::~CACFUnknown()
{
  sLiveObjects.fetch_sub(1, std::memory_order_acq_rel);
}

uint32_t CACFUnknown::InternalAddRef()
{
  return mRefCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t CACFUnknown::InternalRelease()
{
  const uint32_t remaining = mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (remaining == 0)
    delete this;
  return remaining;
}
