#include <dlfcn.h>

#include "ModuleLibrary.h"

namespace aaxhost {

std::unique_ptr<ModuleLibrary> ModuleLibrary::Open(const std::string& path, std::string& error)
{
  // a module's symbols stay its own, so two modules built on the same library layer do not mix
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle)
  {
    const char* reason = ::dlerror();
    error = reason ? reason : "unknown loader error";
    return nullptr;
  }
  return std::unique_ptr<ModuleLibrary>(new ModuleLibrary(handle));
}

ModuleLibrary::~ModuleLibrary()
{
  if (!mKeepLoaded)
    ::dlclose(mHandle);
}

void* ModuleLibrary::Symbol(const char* name) const
{
  return ::dlsym(mHandle, name);
}

} // namespace aaxhost
