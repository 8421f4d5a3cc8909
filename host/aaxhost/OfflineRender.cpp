#include "OfflineRender.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "Instance.h"

namespace aaxhost {

namespace {

// Renders `frames` frames of the timeline starting at `position`; input past its end is silence.
class BlockRenderer
{
public:
  BlockRenderer(Instance& instance, const std::vector<std::vector<float>>& input, const OfflineJob& job)
    : mInstance(instance), mInput(input), mJob(job),
      mInputBlock(static_cast<std::size_t>(instance.NumInputChannels()),
                  std::vector<float>(static_cast<std::size_t>(job.mBlockSize))),
      mInputPointers(mInputBlock.size()), mOutputPointers(static_cast<std::size_t>(instance.NumOutputChannels()))
  {
    for (std::size_t c = 0; c < mInputBlock.size(); ++c)
      mInputPointers[c] = mInputBlock[c].data();
  }

  void Render(int64_t frames, std::vector<std::vector<float>>& output, OfflineResult& result)
  {
    output.assign(mOutputPointers.size(), std::vector<float>(static_cast<std::size_t>(frames)));
    for (int64_t done = 0; done < frames;)
    {
      const auto n = static_cast<int32_t>(std::min<int64_t>(mJob.mBlockSize, frames - done));
      ApplyChangesBefore(mPosition + n, result);
      FillInput(n);
      for (std::size_t c = 0; c < mOutputPointers.size(); ++c)
        mOutputPointers[c] = output[c].data() + done;
      mInstance.Render(mInputPointers.data(), mOutputPointers.data(), n);
      done += n;
      mPosition += n;
    }
  }

private:
  void ApplyChangesBefore(int64_t end, OfflineResult& result)
  {
    const std::size_t first = mNextChange;
    while (mNextChange < mJob.mChanges.size() && mJob.mChanges[mNextChange].mSample < end)
    {
      const ParameterChange& change = mJob.mChanges[mNextChange++];
      mInstance.SendHostUpdate(change.mID, change.mValue);
    }
    if (mNextChange == first)
      return;
    mInstance.WaitForParameterThread();
    result.mChangesApplied += mNextChange - first;
  }

  void FillInput(int32_t n)
  {
    for (std::size_t c = 0; c < mInputBlock.size(); ++c)
    {
      const std::vector<float>& source = mInput[c];
      for (int32_t i = 0; i < n; ++i)
      {
        const int64_t at = mPosition + i;
        mInputBlock[c][static_cast<std::size_t>(i)] =
          at < static_cast<int64_t>(source.size()) ? source[static_cast<std::size_t>(at)] : 0.0f;
      }
    }
  }

  Instance& mInstance;
  const std::vector<std::vector<float>>& mInput;
  const OfflineJob& mJob;
  std::vector<std::vector<float>> mInputBlock;
  std::vector<float*> mInputPointers;
  std::vector<float*> mOutputPointers;
  int64_t mPosition = 0;
  std::size_t mNextChange = 0;
};

std::string Trim(const std::string& text)
{
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// the parameter name at the start of `rest`; false when none of the names (nor a quoted one) is there
bool TakeName(const std::string& rest, const std::vector<std::string>& names, std::string& name, std::string& after)
{
  if (!rest.empty() && rest.front() == '"')
  {
    const std::size_t close = rest.find('"', 1);
    if (close == std::string::npos)
      return false;
    name = rest.substr(1, close - 1);
    after = rest.substr(close + 1);
    return true;
  }
  std::size_t best = 0;
  for (const std::string& candidate : names)
  {
    const bool fits = !candidate.empty() && candidate.size() < rest.size() && rest.compare(0, candidate.size(), candidate) == 0 &&
                      std::isspace(static_cast<unsigned char>(rest[candidate.size()]));
    if (fits && candidate.size() > best)
    {
      best = candidate.size();
      name = candidate;
    }
  }
  after = rest.substr(best);
  return best > 0;
}

bool ParseLine(const std::string& text, const std::vector<std::string>& names, AutomationLine& line,
               std::string& error)
{
  const char* start = text.c_str();
  char* end = nullptr;
  const long long sample = std::strtoll(start, &end, 10);
  if (end == start || sample < 0 || (*end != ' ' && *end != '\t'))
  {
    error = "expected a sample position (a whole number from 0) first";
    return false;
  }
  const std::string rest = Trim(end);
  std::string after;
  if (!TakeName(rest, names, line.mName, after))
  {
    error = "no parameter name in '" + rest + "'";
    return false;
  }
  line.mValue = Trim(after);
  if (line.mValue.empty())
  {
    error = "no value for '" + line.mName + "'";
    return false;
  }
  line.mSample = sample;
  return true;
}

} // namespace

bool RenderOffline(Instance& instance, const std::vector<std::vector<float>>& input, const OfflineJob& job,
                   OfflineResult& result, std::string& error)
{
  if (static_cast<int>(input.size()) != instance.NumInputChannels())
  {
    error = "the component takes " + std::to_string(instance.NumInputChannels()) + " input channels, not " +
            std::to_string(input.size());
    return false;
  }
  if (job.mBlockSize < 1)
  {
    error = "the block size must be at least 1";
    return false;
  }
  const int64_t frames = input.empty() ? 0 : static_cast<int64_t>(input.front().size());
  BlockRenderer renderer(instance, input, job);
  std::vector<std::vector<float>> rendered;
  renderer.Render(frames, rendered, result);
  result.mLatency = instance.Latency();
  if (job.mRaw || result.mLatency <= 0)
  {
    result.mOutput = std::move(rendered);
    return true;
  }
  // the tail comes from a continuation of the same run; then the latency is dropped
  std::vector<std::vector<float>> tail;
  renderer.Render(result.mLatency, tail, result);
  result.mOutput.assign(rendered.size(), {});
  const auto skip = static_cast<std::size_t>(std::min<int64_t>(result.mLatency, frames));
  for (std::size_t c = 0; c < rendered.size(); ++c)
  {
    std::vector<float>& out = result.mOutput[c];
    out.assign(rendered[c].begin() + static_cast<std::ptrdiff_t>(skip), rendered[c].end());
    out.insert(out.end(), tail[c].begin(), tail[c].begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(frames) - out.size()));
  }
  return true;
}

bool ParseAutomation(const std::string& text, const std::vector<std::string>& names, std::vector<AutomationLine>& lines,
                     std::string& error)
{
  std::istringstream in(text);
  std::string raw;
  std::vector<AutomationLine> parsed;
  for (int number = 1; std::getline(in, raw); ++number)
  {
    const std::string trimmed = Trim(raw);
    if (trimmed.empty() || trimmed.front() == '#')
      continue;
    AutomationLine line;
    line.mLine = number;
    std::string reason;
    if (!ParseLine(trimmed, names, line, reason))
    {
      error = "line " + std::to_string(number) + ": " + reason;
      return false;
    }
    parsed.push_back(std::move(line));
  }
  std::stable_sort(parsed.begin(), parsed.end(),
                   [](const AutomationLine& a, const AutomationLine& b) { return a.mSample < b.mSample; });
  lines = std::move(parsed);
  return true;
}

} // namespace aaxhost
