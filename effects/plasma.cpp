// The plasma: 320 by 200 cells coloured by a bitwise pattern of the cell coordinates and a frame
// counter that repeats every 256 frames.

#include "effects/plasma.h"

#include "effects/cells.h"
#include "effects/effects.h"

namespace tavlo::effects {
namespace {

constexpr std::int32_t kColumns = 320;
constexpr std::int32_t kRows = 200;

class Plasma final : public Effect {
 public:
  void SetUp() override { t_ = 0; }

  void Step() override {
    for (std::int32_t x = 0; x < kColumns; ++x) {
      for (std::int32_t y = 0; y < kRows; ++y) PlotCell(x, y, PlasmaColor(x, y, t_));
    }
    t_ = (t_ + 1) & 255;
  }

 private:
  std::int32_t t_ = 0;
};

}  // namespace

std::uint8_t PlasmaColor(std::int32_t x, std::int32_t y, std::int32_t t) {
  // Unsigned, so that a difference below zero keeps all its high bits set without overflow.
  const auto ux = static_cast<std::uint32_t>(x);
  const auto uy = static_cast<std::uint32_t>(y);
  const auto ut = static_cast<std::uint32_t>(t);
  return static_cast<std::uint8_t>((ux - ut) & (uy + ut) & (ux + ut) & (uy - ut));
}

std::unique_ptr<Effect> MakePlasma() { return std::make_unique<Plasma>(); }

}  // namespace tavlo::effects
