// The rotozoom: the AND of the rotated and scaled cell coordinates, turning a little every frame
// and zooming with the absolute sine of the angle.

#include "effects/rotozoom.h"

#include <cmath>

#include "effects/cells.h"
#include "effects/effects.h"
#include "tavlo/graphics.h"

namespace tavlo::effects {
namespace {

constexpr long double kAngleStep = 0.08L;
constexpr long double kScale = 128.0L;
constexpr std::int32_t kColorDivisor = 128;

class Rotozoom final : public Effect {
 public:
  void SetUp() override {
    angle_ = 0.0;
    MidCol = static_cast<std::int16_t>(std::int32_t{LastColumn()} / 4);
    MidRow = static_cast<std::int16_t>(std::int32_t{LastRow()} / 4);
  }

  void Step() override {
    angle_ = NextRotozoomAngle(angle_);
    const RotozoomCoefficients coefficients = RotozoomCoefficientsAt(angle_);
    const std::int32_t mid_col = MidCol;
    const std::int32_t mid_row = MidRow;
    for (std::int32_t i = -mid_row; i < mid_row; ++i) {
      for (std::int32_t j = -mid_col; j < mid_col; ++j) {
        PlotCell(j + mid_col, i + mid_row, RotozoomColor(j, i, coefficients));
      }
    }
  }

 private:
  // Lives from frame to frame as a double, so each frame's sum is rounded to double.
  double angle_ = 0.0;
};

std::int32_t RoundedCoefficient(long double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));
}

}  // namespace

double NextRotozoomAngle(double angle) {
  return static_cast<double>(static_cast<long double>(angle) + kAngleStep);
}

RotozoomCoefficients RotozoomCoefficientsAt(double angle) {
  const long double radians = angle;
  const long double sine = std::sin(radians);
  const long double zoom = std::fabs(sine);
  return RotozoomCoefficients{RoundedCoefficient(zoom * std::cos(radians) * kScale),
                              RoundedCoefficient(zoom * sine * kScale)};
}

std::uint8_t RotozoomColor(std::int32_t j, std::int32_t i, RotozoomCoefficients coefficients) {
  // The products and sums wrap like 32-bit two's complement; unsigned arithmetic does that
  // without overflow.
  const auto uj = static_cast<std::uint32_t>(j);
  const auto ui = static_cast<std::uint32_t>(i);
  const auto ua = static_cast<std::uint32_t>(coefficients.a);
  const auto ub = static_cast<std::uint32_t>(coefficients.b);
  const auto c = static_cast<std::int32_t>((uj * ua - ui * ub) & (ui * ua + uj * ub));
  // A negative c gives a negative quotient, whose low byte is a large index.
  return static_cast<std::uint8_t>(c / kColorDivisor);
}

std::unique_ptr<Effect> MakeRotozoom() { return std::make_unique<Rotozoom>(); }

}  // namespace tavlo::effects
