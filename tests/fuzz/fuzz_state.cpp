// Arbitrary bytes into everything that reads saved state: the plug-in's own
// state, the preset list, program files and bank files. The first byte picks
// the reader; afterwards every parameter must still be finite and in range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "IPlugProgramFiles.h"
#include "TALVEN.h"

namespace {

enum EReader : uint8_t
{
  kReadState = 0,
  kReadPresets,
  kReadProgram,
  kReadBank,
  kNumReaders
};

talven::TALVEN& Plug()
{
  static talven::TALVEN* plug = new talven::TALVEN();
  return *plug;
}

void CheckParameters(const talven::TALVEN& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const iplug::IParam* p = plug.GetParam(i);
    const double v = p->RealValue();
    if (!std::isfinite(v) || v < p->GetMin() || v > p->GetMax())
      std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  talven::TALVEN& plug = Plug();
  const uint8_t* body = data + 1;
  const size_t bodySize = size - 1;

  iplug::IDataChunk chunk;
  chunk.AppendBytes(body, static_cast<int>(bodySize));
  switch (data[0] % kNumReaders)
  {
    case kReadState: plug.LoadState(chunk, 0); break;
    case kReadPresets: plug.UnserializePresets(chunk, 0); break;
    case kReadProgram: iplug::LoadProgramData(plug, body, bodySize); break;
    case kReadBank: iplug::LoadBankData(plug, body, bodySize); break;
  }
  CheckParameters(plug);
  return 0;
}
