#include "TestSignal.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace talvenhost {

namespace {

constexpr int kRate = 48000;
constexpr double kSeconds = 2.0;
constexpr double kSweepStartHz = 20.0;
constexpr double kSweepEndHz = 20000.0;
constexpr double kPeakDbfs = -12.0;
constexpr double kNoiseShare = 0.5; // noise level relative to the sweep before normalising

// Paul Kellet's economy pink filter over white noise.
class PinkNoise
{
public:
  explicit PinkNoise(unsigned seed) : mRandom(seed) {}
  double Next()
  {
    const double white = mWhite(mRandom);
    mB0 = 0.99765 * mB0 + white * 0.0990460;
    mB1 = 0.96300 * mB1 + white * 0.2965164;
    mB2 = 0.57000 * mB2 + white * 1.0526913;
    return mB0 + mB1 + mB2 + white * 0.1848;
  }

private:
  std::mt19937 mRandom;
  std::uniform_real_distribution<double> mWhite{-1.0, 1.0};
  double mB0 = 0.0, mB1 = 0.0, mB2 = 0.0;
};

double SweepSample(int i)
{
  // exponential sweep: phase = 2 pi f0 T / ln(f1/f0) * (exp(t/T ln(f1/f0)) - 1)
  const double t = static_cast<double>(i) / kRate;
  const double k = std::log(kSweepEndHz / kSweepStartHz);
  const double phase = 2.0 * M_PI * kSweepStartHz * kSeconds / k * (std::exp(t / kSeconds * k) - 1.0);
  return std::sin(phase);
}

} // namespace

AudioBuffer MakeDefaultTestSignal()
{
  const int frames = static_cast<int>(kRate * kSeconds);
  AudioBuffer out;
  out.sampleRate = kRate;
  out.channels.assign(2, std::vector<float>(static_cast<size_t>(frames)));

  std::vector<std::vector<double>> noise(2, std::vector<double>(static_cast<size_t>(frames)));
  double noisePeak = 0.0;
  for (int c = 0; c < 2; ++c)
  {
    PinkNoise pink(0x7A1Fu + static_cast<unsigned>(c));
    for (double& v : noise[static_cast<size_t>(c)])
    {
      v = pink.Next();
      noisePeak = std::max(noisePeak, std::fabs(v));
    }
  }

  std::vector<std::vector<double>> mix(2, std::vector<double>(static_cast<size_t>(frames)));
  double peak = 0.0;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i)
    {
      const double v = SweepSample(i) + kNoiseShare * noise[static_cast<size_t>(c)][static_cast<size_t>(i)] / noisePeak;
      mix[static_cast<size_t>(c)][static_cast<size_t>(i)] = v;
      peak = std::max(peak, std::fabs(v));
    }

  const double scale = std::pow(10.0, kPeakDbfs / 20.0) / peak;
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i)
      out.channels[static_cast<size_t>(c)][static_cast<size_t>(i)] =
        static_cast<float>(mix[static_cast<size_t>(c)][static_cast<size_t>(i)] * scale);
  return out;
}

} // namespace talvenhost
