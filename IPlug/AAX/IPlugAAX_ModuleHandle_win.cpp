// The loader hands a DLL its instance handle only through DllMain, so the entry keeps it for the module's
// lifetime. A program that links the binding gets no DllMain call: its own image holds the resources then.
#include <windows.h>

#include "IPlugAAX_ModuleHandle.h"

namespace {

HINSTANCE gModuleInstance = nullptr;

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
  if (reason == DLL_PROCESS_ATTACH)
    gModuleInstance = instance;
  return TRUE;
}

namespace iplug {

void* GetModuleInstanceHandle()
{
  return gModuleInstance ? gModuleInstance : ::GetModuleHandleW(nullptr);
}

} // namespace iplug
