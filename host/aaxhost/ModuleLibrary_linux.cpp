#include <dlfcn.h>

#include <filesystem>

#include "ModuleLibrary.h"

namespace aaxhost {

namespace {
constexpr const char* kArchDir = "x86_64-linux";
}

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

std::string ResolveModuleBinary(const std::string& path)
{
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path bundle(path);
  if (!fs::is_directory(bundle, ec))
    return path;
  const fs::path name = bundle.filename().empty() ? bundle.parent_path().filename() : bundle.filename();
  return (bundle / "Contents" / kArchDir / name).string();
}

} // namespace aaxhost
