// The sine wave: a block of 101 by 101 cells off the centre of the window, coloured by two
// tilted products of sines and cosines whose amplitude pulses from frame to frame. The rest of
// the window is never drawn.

#include "effects/sine_wave.h"

#include <cmath>

#include "effects/cells.h"
#include "effects/effects.h"

namespace tavlo::effects {
namespace {

constexpr long double kWavelength = 19.6L;
constexpr long double kRampDivisor = 8.0L;
constexpr std::int32_t kBlockColumn = 120;
constexpr std::int32_t kBlockRow = 50;
constexpr std::int32_t kBlockSize = 101;
constexpr std::int64_t kTextureMask = 15;
constexpr std::int64_t kColorBase = 16;

class SineWave final : public Effect {
 public:
  void SetUp() override {
    n_ = 0;
    amplitude_ = 1.0;
  }

  void Step() override {
    for (std::int32_t i = 0; i < kBlockSize; ++i) {
      for (std::int32_t j = 0; j < kBlockSize; ++j) {
        PlotCell(i + kBlockColumn, j + kBlockRow, SineWaveColor(i, j, amplitude_));
      }
    }
    ++n_;
    amplitude_ = SineWaveAmplitude(n_);
  }

 private:
  std::int32_t n_ = 0;
  // Lives from frame to frame as a double.
  double amplitude_ = 1.0;
};

// Rounded with ties to even; only the low four bits are used, so 64 bits hold any value.
std::int64_t WaveBits(long double value) {
  return static_cast<std::int64_t>(std::nearbyint(value)) & kTextureMask;
}

}  // namespace

std::uint8_t SineWaveColor(std::int32_t i, std::int32_t j, double amplitude) {
  const long double a = amplitude;
  const long double across = i / kWavelength;
  const long double down = j / kWavelength;
  const std::int64_t p = WaveBits(std::cos(across) * a * std::sin(down) + i / kRampDivisor);
  const std::int64_t q = WaveBits(std::sin(across) * a * std::cos(down) + j / kRampDivisor);
  return static_cast<std::uint8_t>((p + kColorBase) ^ q);
}

double SineWaveAmplitude(std::int32_t n) {
  return static_cast<double>(std::cos(static_cast<long double>(n)));
}

std::unique_ptr<Effect> MakeSineWave() { return std::make_unique<SineWave>(); }

}  // namespace tavlo::effects
