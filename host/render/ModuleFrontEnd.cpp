#include "ModuleFrontEnd.h"

#include <algorithm>

#include "AAX.h"
#include "RenderCommand.h"

namespace talvenhost {

namespace {

constexpr AAX_CTypeID kStateChunkID = AAX_FourCC("TLV1");

const aaxhost::HostChunk* FindChunk(const std::vector<aaxhost::HostChunk>& chunks, AAX_CTypeID id)
{
  const auto found = std::find_if(chunks.begin(), chunks.end(), [id](const aaxhost::HostChunk& c) { return c.mID == id; });
  return found == chunks.end() ? nullptr : &*found;
}

// The chunk hands the bytes over without a verdict, so the state the plug-in holds afterwards is the measure.
std::string StateWarning(std::size_t given, std::size_t held)
{
  if (given < held)
    return "the state did not load completely; rendering with what did";
  if (given > held)
    return "the state has " + std::to_string(given - held) + " bytes more than the plug-in reads";
  return {};
}

} // namespace

int RenderWithModule(const AudioBuffer& input, const RenderOptions& options, RenderResult& result, std::string& error,
                     const std::vector<std::uint8_t>& stateIn)
{
  plughost::ModuleRenderJob job;
  job.mModulePath = options.modulePath;
  job.mSettings = options.settings;
  job.mBlockSize = options.blockSize;
  job.mRaw = options.raw;
  if (!options.stateInPath.empty())
    job.mStateIn = std::vector<aaxhost::HostChunk>{{kStateChunkID, stateIn}};
  job.mSaveState = true;

  plughost::ModuleRenderResult rendered;
  if (const int status = plughost::RenderThroughModule(input, job, rendered, error); status != 0)
    return status;
  const aaxhost::HostChunk* state = FindChunk(rendered.mState, kStateChunkID);
  if (!state)
  {
    error = "the module keeps no 'TLV1' chunk: not a TALVEN module";
    return kExitUsage;
  }
  result.state = state->mData;
  if (!options.stateInPath.empty())
    result.warning = StateWarning(stateIn.size(), state->mData.size());
  result.latency = rendered.mLatency;
  result.output.sampleRate = input.sampleRate;
  result.output.channels = std::move(rendered.mOutput);
  return 0;
}

} // namespace talvenhost
