#include "Module.h"

#include <array>
#include <filesystem>

#include "AAX_Errors.h"
#include "ModuleLibrary.h"

namespace aaxhost {

namespace {

template <typename Proc>
Proc As(void* symbol)
{
  return reinterpret_cast<Proc>(symbol);
}

std::string ResultText(ACFRESULT result)
{
  return std::string(AAX_ResultName(result)) + " (" + std::to_string(result) + ")";
}

} // namespace

std::shared_ptr<Module> Module::Load(const std::string& path, std::string& error, LoadOptions options)
{
  std::shared_ptr<Module> module(new Module);
  module->mBinaryPath = ResolveModuleBinary(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(module->mBinaryPath, ec))
  {
    error = "no module at '" + path + "'";
    return nullptr;
  }
  std::string reason;
  module->mLibrary = ModuleLibrary::Open(module->mBinaryPath, reason);
  if (!module->mLibrary)
  {
    error = "cannot load module '" + path + "': " + reason;
    return nullptr;
  }

  std::array<void*, eNumACFExports> symbols{};
  std::string missing;
  for (int i = 0; i < eNumACFExports; ++i)
  {
    symbols[static_cast<std::size_t>(i)] = module->mLibrary->Symbol(kACFExportNames[static_cast<std::size_t>(i)]);
    if (!symbols[static_cast<std::size_t>(i)])
      missing += std::string(missing.empty() ? "" : ", ") + kACFExportNames[static_cast<std::size_t>(i)];
  }
  if (!missing.empty())
  {
    error = "module '" + path + "' lacks the exports " + missing;
    return nullptr;
  }
  ACFExports& exports = module->mExports;
  exports.mStartup = As<ACFStartupProc>(symbols[eACFStartup]);
  exports.mShutdown = As<ACFShutdownProc>(symbols[eACFShutdown]);
  exports.mGetSDKVersion = As<ACFGetSDKVersionProc>(symbols[eACFGetSDKVersion]);
  exports.mRegisterPlugin = As<ACFRegisterPluginProc>(symbols[eACFRegisterPlugin]);
  exports.mRegisterComponent = As<ACFRegisterComponentProc>(symbols[eACFRegisterComponent]);
  exports.mGetClassFactory = As<ACFGetClassFactoryProc>(symbols[eACFGetClassFactory]);
  exports.mCanUnloadNow = As<ACFCanUnloadNowProc>(symbols[eACFCanUnloadNow]);

  if (!module->Start(options, error) || !module->Register(options, error))
  {
    error = "module '" + path + "': " + error;
    return nullptr;
  }
  return module;
}

bool Module::Start(const LoadOptions& options, std::string& error)
{
  mServices = options.mServices ? options.mServices : HostRef<HostServices>(new HostServices);
  const ACFRESULT started = mExports.mStartup(static_cast<AAX_IHostServices*>(mServices.Get()));
  if (started != ACF_OK)
  {
    error = "ACFStartup failed with " + ResultText(started);
    return false;
  }
  mStarted = true;
  if (mExports.mGetSDKVersion(&mSDKVersion) != ACF_OK)
    mSDKVersion = 0;
  return true;
}

bool Module::Register(const LoadOptions& options, std::string& error)
{
  HostRef<RecordingCollection> collection(new RecordingCollection(options.mFault));
  IACFUnknown* definition = nullptr;
  const ACFRESULT registered =
    mExports.mRegisterPlugin(static_cast<AAX_ICollection*>(collection.Get()), &definition);
  HostRef<IACFUnknown> definitionRef(definition);
  if (registered != ACF_OK)
  {
    error = "ACFRegisterPlugin failed with " + ResultText(registered);
    return false;
  }
  if (!definition)
  {
    error = "ACFRegisterPlugin handed back no plug-in definition";
    return false;
  }
  mDescription = collection->Finish();
  if (mDescription.mEffects.empty())
  {
    error = "the module describes no effect";
    return false;
  }
  return true;
}

int32_t Module::LiveObjects() const
{
  return mExports.mCanUnloadNow ? mExports.mCanUnloadNow() : 0;
}

Module::~Module()
{
  if (!mLibrary)
    return;
  if (!mStarted)
    return;
  const int32_t live = LiveObjects();
  mExports.mShutdown();
  // objects the module still has need its code: leave it mapped rather than crash later
  if (live != 0)
    mLibrary->KeepLoaded();
}

} // namespace aaxhost
