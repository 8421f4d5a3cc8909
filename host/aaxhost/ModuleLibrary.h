#pragma once
// The platform's shared-library loader, one file per platform (ModuleLibrary_<os>.cpp).
#include <memory>
#include <string>

namespace aaxhost {

class ModuleLibrary
{
public:
  // the loaded library, or null with the loader's reason in error
  static std::unique_ptr<ModuleLibrary> Open(const std::string& path, std::string& error);
  // unloads unless KeepLoaded was called
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // the exported symbol, or null
  void* Symbol(const char* name) const;
  // for a module that still has live objects: its code must stay mapped
  void KeepLoaded() { mKeepLoaded = true; }

private:
  explicit ModuleLibrary(void* handle) : mHandle(handle) {}

  void* mHandle;
  bool mKeepLoaded = false;
};

// A bundle directory (NAME.aaxplugin) names its binary NAME.aaxplugin/Contents/<arch>/NAME.aaxplugin; any other
// path is taken as the binary itself.
std::string ResolveModuleBinary(const std::string& path);

} // namespace aaxhost
