#pragma once
// Offline rendering through an instance, block by block, as a host with delay compensation plays a track
// back: parameter changes are delivered from the parameter thread before the block that contains their
// sample, and unless raw the output is aligned with the input by dropping the reported latency.
#include <cstdint>
#include <string>
#include <vector>

namespace aaxhost {

class Instance;

struct ParameterChange
{
  int64_t mSample = 0;
  std::string mID;
  double mValue = 0.0; // normalised
};

struct OfflineJob
{
  int32_t mBlockSize = 512;
  bool mRaw = false;                     // keep the latency in the output
  std::vector<ParameterChange> mChanges; // in the order to apply; sorted by sample
};

struct OfflineResult
{
  std::vector<std::vector<float>> mOutput; // one vector per output channel, as long as the input
  int32_t mLatency = 0;                    // as last reported by the effect
  std::size_t mChangesApplied = 0;         // changes beyond the rendered range are not applied
};

// [host main thread, which renders] input has one vector per input channel of the instance, all of one
// length; false with a message in error
bool RenderOffline(Instance& instance, const std::vector<std::vector<float>>& input, const OfflineJob& job,
                   OfflineResult& result, std::string& error);

// ---- automation files

struct AutomationLine
{
  int64_t mSample = 0;
  std::string mName;  // a parameter name
  std::string mValue; // the value's text
  int mLine = 0;      // 1-based
};

// Lines "SAMPLE NAME VALUE": NAME is the longest of `names` the rest of the line starts with (followed by
// white space), or a name in double quotes; VALUE is the rest. Blank lines and lines starting with '#' are
// skipped. The result is sorted by sample, keeping file order within a sample. False with "line N: ..." in
// error.
bool ParseAutomation(const std::string& text, const std::vector<std::string>& names, std::vector<AutomationLine>& lines,
                     std::string& error);

} // namespace aaxhost
