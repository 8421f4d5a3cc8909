#pragma once
// The module's own instance handle, which the editor's graphics object needs to find the module's resources.
// Recorded by the module entry, one file per platform (IPlugAAX_ModuleHandle_<os>.cpp).

namespace iplug {

// [any thread] the loaded module this binding is linked into (an HINSTANCE on Windows, the load address
// elsewhere); in a program that links the binding directly, the program's own image
void* GetModuleInstanceHandle();

} // namespace iplug
