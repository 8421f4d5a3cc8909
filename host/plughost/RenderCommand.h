#pragma once
// `plughost render` without its files: loads a module, makes an instance of its first effect for the input's
// channel count and rate, restores chunks, applies settings (values as the effect parses them) and renders
// block by block as a host with delay compensation plays back. Other tools drive a module through this too.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "HostChunk.h"

namespace aaxhost {
class HostServices;
} // namespace aaxhost

namespace plughost {

struct ModuleRenderJob
{
  std::string mModulePath;            // a module binary or its bundle directory
  std::vector<std::string> mSettings; // "NAME=VALUE", applied in order as host updates
  int32_t mBlockSize = 512;
  bool mRaw = false;                  // keep the effect's latency in the output
  bool mBypass = false;               // the master bypass on
  std::string mAutomate;              // an automation file, or empty
  std::optional<std::vector<aaxhost::HostChunk>> mStateIn; // restored before the settings
  bool mSaveState = false;            // fill ModuleRenderResult::mState after rendering
  std::ostream* mDiagnostics = nullptr; // where the module's assertion reports and traces go, if anywhere
};

struct ModuleRenderResult
{
  std::vector<std::vector<float>> mOutput; // one vector per output channel, as long as the input
  int32_t mLatency = 0;                    // as last reported by the effect
  std::vector<aaxhost::HostChunk> mState;  // the effect's chunks after rendering
  std::string mNote;                       // what the caller should tell the user, or empty
};

// [host main thread] 0, or the exit status with a message in error: kExitUsage for a module, setting, state,
// automation file or input the effect cannot take, kExitFailed when the effect fails
int RenderThroughModule(const talvenhost::AudioBuffer& input, const ModuleRenderJob& job, ModuleRenderResult& result,
                        std::string& error);

// [any thread] the module's assertion reports and traces, one "plughost: " line each
void PrintDiagnostics(const aaxhost::HostServices& services, std::ostream& out);

} // namespace plughost
