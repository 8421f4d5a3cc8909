#pragma once
// The seven entry points of an AAX module, looked up by name with C linkage, so that a module and its host
// agree on names and signatures. A module defines them with ACF_EXPORT (the declarations below check its
// definitions); a host resolves them as the function-pointer types. [host main thread] for all of them.
#include <array>
#include <cstdint>
#include <type_traits>

#include "AAX_IDescription.h" // kAAXPluginDefinitionID, the interface ACFRegisterPlugin hands out
#include "ACFUnknown.h"

// The SDK version a module reports through ACFGetSDKVersion.
constexpr uint64_t kACFSDKVersion = 0x00000204013449EAull;

#if defined(_WIN32)
#define ACF_EXPORT extern "C" __declspec(dllexport)
#else
#define ACF_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// host: the host's services object (diagnostics); null asks the module to drop the one it holds. Returns 0.
using ACFStartupProc = ACFRESULT (*)(IACFUnknown* host);
// drops the host's services object; returns 0
using ACFShutdownProc = ACFRESULT (*)();
// writes kACFSDKVersion; returns 0
using ACFGetSDKVersionProc = ACFRESULT (*)(uint64_t* version);
// describes the module to the host's collection, then writes the collection's plug-in definition interface
// (kAAXPluginDefinitionID) to *definition; returns 0 or the failing result code
using ACFRegisterPluginProc = ACFRESULT (*)(IACFUnknown* host, IACFUnknown** definition);
// writes null to *component; returns 0
using ACFRegisterComponentProc = ACFRESULT (*)(IACFUnknown* host, const acfUID* componentID, IACFUnknown** component);
// writes null to *factory; returns AAX_ERROR_UNIMPLEMENTED
using ACFGetClassFactoryProc = ACFRESULT (*)(IACFUnknown* host, const acfUID* classID, const acfIID* iid,
                                             void** factory);
// the number of the module's live objects: 0 lets the host unload the library
using ACFCanUnloadNowProc = ACFRESULT (*)();

ACF_EXPORT ACFRESULT ACFStartup(IACFUnknown* host);
ACF_EXPORT ACFRESULT ACFShutdown();
ACF_EXPORT ACFRESULT ACFGetSDKVersion(uint64_t* version);
ACF_EXPORT ACFRESULT ACFRegisterPlugin(IACFUnknown* host, IACFUnknown** definition);
ACF_EXPORT ACFRESULT ACFRegisterComponent(IACFUnknown* host, const acfUID* componentID, IACFUnknown** component);
ACF_EXPORT ACFRESULT ACFGetClassFactory(IACFUnknown* host, const acfUID* classID, const acfIID* iid, void** factory);
ACF_EXPORT ACFRESULT ACFCanUnloadNow();

static_assert(std::is_same_v<decltype(&ACFStartup), ACFStartupProc>);
static_assert(std::is_same_v<decltype(&ACFShutdown), ACFShutdownProc>);
static_assert(std::is_same_v<decltype(&ACFGetSDKVersion), ACFGetSDKVersionProc>);
static_assert(std::is_same_v<decltype(&ACFRegisterPlugin), ACFRegisterPluginProc>);
static_assert(std::is_same_v<decltype(&ACFRegisterComponent), ACFRegisterComponentProc>);
static_assert(std::is_same_v<decltype(&ACFGetClassFactory), ACFGetClassFactoryProc>);
static_assert(std::is_same_v<decltype(&ACFCanUnloadNow), ACFCanUnloadNowProc>);

// The export names, in the order a host resolves them.
enum EACFExport : int
{
  eACFStartup = 0,
  eACFShutdown,
  eACFGetSDKVersion,
  eACFRegisterPlugin,
  eACFRegisterComponent,
  eACFGetClassFactory,
  eACFCanUnloadNow,
  eNumACFExports
};

constexpr std::array<const char*, eNumACFExports> kACFExportNames{
  "ACFStartup",           "ACFShutdown",        "ACFGetSDKVersion", "ACFRegisterPlugin",
  "ACFRegisterComponent", "ACFGetClassFactory", "ACFCanUnloadNow",
};
