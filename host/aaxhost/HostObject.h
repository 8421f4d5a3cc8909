#pragma once
// Reference counting and interface queries for the objects the host hands to a module. An object starts with
// one reference, held by whoever created it; the last Release destroys it.
#include <atomic>
#include <cstdint>

#include "ACFUnknown.h"

namespace aaxhost {

template <typename I>
class HostObject : public I
{
public:
  using Interface = I;

  HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  // [any thread] answers IACFUnknown, Interface and whatever FindInterface adds
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override
  {
    if (!out)
      return ACF_E_UNEXPECTED;
    *out = nullptr;
    IACFUnknown* found = nullptr;
    if (iid == IACFUnknown::kInterfaceID || iid == Interface::kInterfaceID)
      found = static_cast<Interface*>(this);
    else
      found = FindInterface(iid);
    if (!found)
      return ACF_E_NOINTERFACE;
    found->AddRef();
    *out = found;
    return ACF_OK;
  }

  // [any thread, lock-free]
  uint32_t AddRef() override { return mRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }
  uint32_t Release() override
  {
    const uint32_t remaining = mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0)
      delete this;
    return remaining;
  }

protected:
  virtual ~HostObject() = default;
  // further interfaces this object answers for (another object may answer them); null for none
  virtual IACFUnknown* FindInterface(const acfIID& /*iid*/) { return nullptr; }

private:
  std::atomic<uint32_t> mRefCount{1};
};

// Releases the reference it holds when it goes.
template <typename T>
class HostRef
{
public:
  HostRef() = default;
  // takes over a reference the caller holds
  explicit HostRef(T* adopted) : mObject(adopted) {}
  HostRef(const HostRef& other) : mObject(other.mObject)
  {
    if (mObject)
      mObject->AddRef();
  }
  HostRef(HostRef&& other) noexcept : mObject(other.mObject) { other.mObject = nullptr; }
  HostRef& operator=(HostRef other) noexcept
  {
    T* old = mObject;
    mObject = other.mObject;
    other.mObject = old;
    return *this;
  }
  ~HostRef() { Reset(); }

  void Reset()
  {
    if (mObject)
      mObject->Release();
    mObject = nullptr;
  }
  T* Get() const { return mObject; }
  T* operator->() const { return mObject; }
  explicit operator bool() const { return mObject != nullptr; }

private:
  T* mObject = nullptr;
};

// Our own object behind an interface pointer a module hands back, or null when the module passed something
// the host did not make. No reference is added.
template <typename T>
T* FindHostObject(IACFUnknown* unknown)
{
  if (!unknown)
    return nullptr;
  void* found = nullptr;
  if (unknown->QueryInterface(T::Interface::kInterfaceID, &found) != ACF_OK || !found)
    return nullptr;
  auto* iface = static_cast<typename T::Interface*>(found);
  T* object = dynamic_cast<T*>(iface);
  iface->Release();
  return object;
}

} // namespace aaxhost
