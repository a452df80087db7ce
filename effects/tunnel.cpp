// The tunnel: it builds a grey ramp in the low palette entries first, one entry per step, then
// draws a frame per step whose texture streams along the distance to the centre and turns with
// the angle around it, darkening toward the middle.

#include "effects/tunnel.h"

#include <cmath>
#include <numbers>

#include "effects/cells.h"
#include "effects/effects.h"
#include "tavlo/graphics.h"

namespace tavlo::effects {
namespace {

constexpr long double kRampDivisor = 3.0L;
constexpr std::int32_t kRampFactor = 4;
constexpr long double kAngleGuard = 0.000001L;
constexpr long double kHalfPi = std::numbers::pi_v<long double> / 2.0L;
constexpr long double kDistanceFactor = 5.2L;
constexpr std::uint32_t kDistanceSpeed = static_cast<std::uint32_t>(-10000);
constexpr double kAngleFactor = 191.0;
constexpr std::uint32_t kAngleSpeed = 10;
constexpr std::int64_t kTextureMask = 63;
constexpr long double kBrightness = 0.00003L;

// Wraps like 32-bit two's complement.
std::int32_t WrappingProduct(std::uint32_t factor, std::int32_t t) {
  return static_cast<std::int32_t>(factor * static_cast<std::uint32_t>(t));
}

// The low six bits of a texture coordinate, rounded with ties to even. Held in 64 bits: the
// distance term can reach past the 32-bit range once the step product has wrapped.
std::int64_t TextureBits(long double coordinate) {
  return static_cast<std::int64_t>(std::nearbyint(coordinate)) & kTextureMask;
}

class Tunnel final : public Effect {
 public:
  void SetUp() override {
    t_ = 0;
    MidCol = static_cast<std::int16_t>(std::int32_t{LastColumn()} / 4);
    MidRow = static_cast<std::int16_t>(std::int32_t{LastRow()} / 4);
  }

  void Step() override {
    const std::int32_t last_ramp_step = std::int32_t{MidRow} - 6;
    if (t_ == 1) {
      entry_ = 0;
    } else if (t_ >= 2 && t_ <= last_ramp_step) {
      const auto grey = static_cast<std::uint16_t>(TunnelRampGrey(t_));
      SetPaletteEntry(static_cast<std::uint16_t>(entry_), grey, grey, grey);
      ++entry_;
    }
    if (t_ > last_ramp_step) DrawFrame();
    // Wraps instead of overflowing after 2^31 steps.
    t_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(t_) + 1);
  }

 private:
  void DrawFrame() const {
    const std::int32_t mid_col = MidCol;
    const std::int32_t mid_row = MidRow;
    for (std::int32_t y = -mid_row; y < mid_row; ++y) {
      for (std::int32_t x = -mid_col; x < mid_col; ++x) {
        PlotCell(x + mid_col, y + mid_row, TunnelColor(x, y, t_));
      }
    }
  }

  std::int32_t t_ = 0;
  std::int32_t entry_ = 0;
};

}  // namespace

std::int32_t TunnelRampGrey(std::int32_t t) {
  return kRampFactor * static_cast<std::int32_t>(std::trunc((t - 2) / kRampDivisor));
}

double TunnelAngle(std::int32_t x, std::int32_t y) {
  const long double lx = x;
  const long double ly = y;
  if (y < 0) return static_cast<double>(std::atan(lx / (ly + kAngleGuard)) + kHalfPi);
  if (x >= 0) return static_cast<double>(-std::atan(ly / (lx + kAngleGuard)));
  return static_cast<double>(std::atan(lx / (ly + kAngleGuard)) - kHalfPi);
}

std::uint8_t TunnelColor(std::int32_t x, std::int32_t y, std::int32_t t) {
  const auto ux = static_cast<std::uint32_t>(x);
  const auto uy = static_cast<std::uint32_t>(y);
  const auto d = static_cast<std::int32_t>(ux * ux + uy * uy);
  const long double distance = std::sqrt(static_cast<long double>(d));
  const std::int64_t u =
      TextureBits(distance * kDistanceFactor + WrappingProduct(kDistanceSpeed, t));
  const std::int64_t v = TextureBits(static_cast<long double>(TunnelAngle(x, y)) * kAngleFactor +
                                     WrappingProduct(kAngleSpeed, t));
  const auto w = static_cast<long double>(u ^ v);
  const long double brightness = w * (static_cast<long double>(d) * kBrightness);
  return static_cast<std::uint8_t>(static_cast<std::int64_t>(std::trunc(brightness)));
}

std::unique_ptr<Effect> MakeTunnel() { return std::make_unique<Tunnel>(); }

}  // namespace tavlo::effects
