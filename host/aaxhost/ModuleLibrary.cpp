#include <filesystem>

#include "ModuleLibrary.h"

#ifndef AAXHOST_MODULE_ARCH_DIR
#error "AAXHOST_MODULE_ARCH_DIR names the bundle's folder for this platform's binaries"
#endif

namespace aaxhost {

std::string ResolveModuleBinary(const std::string& path)
{
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path bundle(path);
  if (!fs::is_directory(bundle, ec))
    return path;
  const fs::path name = bundle.filename().empty() ? bundle.parent_path().filename() : bundle.filename();
  return (bundle / "Contents" / AAXHOST_MODULE_ARCH_DIR / name).string();
}

} // namespace aaxhost
