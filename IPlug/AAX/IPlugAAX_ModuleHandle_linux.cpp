// A shared object's entry is not told its handle; the load address of the image holding this code names it,
// for a module and for a program that links the binding alike.
#include <dlfcn.h>

#include "IPlugAAX_ModuleHandle.h"

namespace iplug {

namespace {

void* FindModuleImage()
{
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&FindModuleImage), &info) == 0)
    return nullptr;
  return info.dli_fbase;
}

} // namespace

void* GetModuleInstanceHandle()
{
  // on first use, so that a static initialiser asking for it gets it too
  static void* const image = FindModuleImage();
  return image;
}

} // namespace iplug
