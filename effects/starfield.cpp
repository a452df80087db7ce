// The starfield: 500 stars fly out of the centre toward the viewer, one star updated per step,
// each a small circle outline erased where it was and drawn where it goes.

#include "effects/starfield.h"

#include <array>
#include <cmath>
#include <optional>

#include "effects/effects.h"
#include "effects/random.h"
#include "tavlo/graphics.h"

namespace tavlo::effects {
namespace {

constexpr std::size_t kStars = 500;
constexpr std::uint16_t kStarRadius = 2;
constexpr std::uint32_t kEraseColor = 0;

void DrawStarCircle(ScreenPoint at) {
  DrawCircle(static_cast<std::int16_t>(at.x), static_cast<std::int16_t>(at.y), kStarRadius);
}

class Starfield final : public Effect {
 public:
  void SetUp() override {
    random_.emplace(SetUpSeed());
    stars_.fill(Star{});
    k_ = 0;
  }

  void Step() override {
    Star& s = stars_[k_];
    if (s.z == 0) {
      // Three draws, in this order: x, y, z.
      const long double rx = random_->Real();
      const long double ry = random_->Real();
      const long double rz = random_->Real();
      s = PlaceStar(rx, ry, rz);
    }
    if (const auto at = ProjectStar(s, LastColumn(), LastRow())) {
      SetPenColor(kEraseColor);
      DrawStarCircle(*at);
    }
    --s.z;
    if (s.z > 0) {
      if (const auto at = ProjectStar(s, LastColumn(), LastRow())) {
        SetPenColor(StarColor(s.z));
        DrawStarCircle(*at);
      }
    }
    k_ = (k_ + 1) % kStars;
  }

 private:
  std::optional<Random> random_;
  std::array<Star, kStars> stars_{};
  std::size_t k_ = 0;
};

}  // namespace

Star PlaceStar(long double rx, long double ry, long double rz) {
  constexpr long double kPlaneRange = 20000.0L;
  constexpr long double kPlaneOffset = 10000.0L;
  constexpr long double kDepthRange = 100.0L;
  return Star{static_cast<std::int32_t>(std::trunc(rx * kPlaneRange - kPlaneOffset)),
              static_cast<std::int32_t>(std::trunc(ry * kPlaneRange - kPlaneOffset)),
              static_cast<std::int32_t>(std::trunc(rz * kDepthRange + 1))};
}

std::optional<ScreenPoint> ProjectStar(const Star& star, std::int32_t last_column,
                                       std::int32_t last_row) {
  const std::int32_t sx = last_column / 2 + star.x / star.z;
  const std::int32_t sy = last_row / 2 + star.y / star.z;
  if (sx < 0 || sx >= last_column || sy < 0 || sy >= last_row) return std::nullopt;
  return ScreenPoint{sx, sy};
}

std::uint32_t StarColor(std::int32_t z) { return static_cast<std::uint32_t>(32 - z % 8); }

std::unique_ptr<Effect> MakeStarfield() { return std::make_unique<Starfield>(); }

}  // namespace tavlo::effects
