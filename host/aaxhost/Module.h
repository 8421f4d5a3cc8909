#pragma once
// A loaded AAX module: the library, its seven exports, the host services it was started with and the
// description it registered. Instances keep their module alive; the last owner unloads it (ACFCanUnloadNow,
// ACFShutdown, then the library is closed). A binary is loaded by one Module at a time, since a module's
// start-up state is process-wide. [host main thread] throughout.
#include <cstdint>
#include <memory>
#include <string>

#include "ACFModule.h"
#include "Description.h"
#include "HostServices.h"
#include "RecordingDescription.h"

namespace aaxhost {

class ModuleLibrary;

struct ACFExports
{
  ACFStartupProc mStartup = nullptr;
  ACFShutdownProc mShutdown = nullptr;
  ACFGetSDKVersionProc mGetSDKVersion = nullptr;
  ACFRegisterPluginProc mRegisterPlugin = nullptr;
  ACFRegisterComponentProc mRegisterComponent = nullptr;
  ACFGetClassFactoryProc mGetClassFactory = nullptr;
  ACFCanUnloadNowProc mCanUnloadNow = nullptr;
};

struct LoadOptions
{
  DescriptionFault mFault;            // a description call the host refuses
  HostRef<HostServices> mServices;    // diagnostics to use (kept by the caller to read after a failed load)
};

class Module
{
public:
  // the started and registered module, or null with a message in error
  static std::shared_ptr<Module> Load(const std::string& path, std::string& error, LoadOptions options = {});
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  const std::string& BinaryPath() const { return mBinaryPath; }
  const ModuleDescription& Description() const { return mDescription; }
  HostServices& Services() const { return *mServices.Get(); }
  const ACFExports& Exports() const { return mExports; }
  uint64_t SDKVersion() const { return mSDKVersion; }
  // the module's live objects (ACFCanUnloadNow)
  int32_t LiveObjects() const;

private:
  Module() = default;
  bool Start(const LoadOptions& options, std::string& error);
  bool Register(const LoadOptions& options, std::string& error);

  std::string mBinaryPath;
  std::unique_ptr<ModuleLibrary> mLibrary;
  ACFExports mExports;
  HostRef<HostServices> mServices;
  bool mStarted = false;
  uint64_t mSDKVersion = 0;
  ModuleDescription mDescription;
};

} // namespace aaxhost
