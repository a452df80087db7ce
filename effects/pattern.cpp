// The pattern: every pixel of the window, one at a time, in a running colour mixed with the
// pixel's coordinates and a random offset drawn once per frame.

#include "effects/pattern.h"

#include <optional>

#include "effects/effects.h"
#include "effects/random.h"
#include "tavlo/graphics.h"

namespace tavlo::effects {
namespace {

constexpr std::uint32_t kOffsets = 345;  // offsets 0..344

class Pattern final : public Effect {
 public:
  void SetUp() override {
    random_.emplace(SetUpSeed());
    c_ = 0;
  }

  void Step() override {
    const std::uint32_t r = random_->Below(kOffsets);
    const std::int32_t last_row = LastRow();
    for (std::int32_t y = 0; y <= last_row; ++y) {
      const std::int32_t last_column = LastColumn();
      for (std::int32_t x = 0; x <= last_column; ++x) {
        c_ = PatternColor(c_, r, x, y);
        PlotPixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), c_);
      }
    }
  }

 private:
  std::optional<Random> random_;
  // Carried from pixel to pixel and from frame to frame, never reset; 0 before the first pixel.
  std::uint32_t c_ = 0;
};

}  // namespace

std::uint32_t PatternColor(std::uint32_t c, std::uint32_t r, std::int32_t x, std::int32_t y) {
  return ((c + r) ^ static_cast<std::uint32_t>(x) ^ static_cast<std::uint32_t>(y)) & 255u;
}

std::unique_ptr<Effect> MakePattern() { return std::make_unique<Pattern>(); }

}  // namespace tavlo::effects
