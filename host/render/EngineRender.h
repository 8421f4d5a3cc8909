#pragma once
// The engine renderer: a TALVEN object linked in and driven through its processing frame block by block, as a
// host with delay compensation plays back. It ignores options.modulePath. The module front end must give the
// same samples for blocks of up to the binding's prepared size, which the tests hold it to.
#include "RenderJob.h"

namespace talvenhost {

// a RenderFunction; kExitUsage when a setting is unknown or does not parse, or the input is not mono or stereo
int RenderWithEngine(const AudioBuffer& input, const RenderOptions& options, RenderResult& result, std::string& error,
                     const std::vector<std::uint8_t>& stateIn = {});

} // namespace talvenhost
