#pragma once
// Shared part of the forwarding wrappers: asks a host object for one interface, keeps a reference to it
// and forwards calls, answering AAX_ERROR_NULL_OBJECT while the host did not provide the interface.
#include <utility>

#include "AAX_Errors.h"
#include "ACFUnknown.h"

template <typename Interface>
class AAX_VInterface
{
public:
  explicit AAX_VInterface(IACFUnknown* unknown)
  {
    void* found = nullptr;
    if (unknown && unknown->QueryInterface(Interface::kInterfaceID, &found) == ACF_OK)
      mInterface = static_cast<Interface*>(found);
    if (unknown)
    {
      unknown->AddRef();
      mUnknown = unknown;
    }
  }

  ~AAX_VInterface()
  {
    if (mInterface)
      mInterface->Release();
    if (mUnknown)
      mUnknown->Release();
  }

  AAX_VInterface(const AAX_VInterface&) = delete;
  AAX_VInterface& operator=(const AAX_VInterface&) = delete;

  bool IsValid() const { return mInterface != nullptr; }
  Interface* GetInterface() const { return mInterface; }
  // the host object as given, for queries of further interfaces
  IACFUnknown* GetUnknown() const { return mUnknown; }

protected:
  template <typename Method, typename... Args>
  AAX_Result Forward(Method method, Args&&... args) const
  {
    return mInterface ? (mInterface->*method)(std::forward<Args>(args)...) : AAX_Result{AAX_ERROR_NULL_OBJECT};
  }

private:
  IACFUnknown* mUnknown = nullptr;
  Interface* mInterface = nullptr;
};
