#pragma once
// The module front end: talven-render's job run by `plughost render`'s library against a TALVEN module, through
// the real binding. The plug-in's own state bytes are the data of its 'TLV1' chunk.
#include "RenderJob.h"

namespace talvenhost {

// a RenderFunction over the module at options.modulePath; settings resolve as the effect parses their texts
int RenderWithModule(const AudioBuffer& input, const RenderOptions& options, RenderResult& result, std::string& error,
                     const std::vector<std::uint8_t>& stateIn = {});

} // namespace talvenhost
