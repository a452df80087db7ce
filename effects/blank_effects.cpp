// The effects whose pictures are still to come: they open, wait for a key and close like the
// others, and draw nothing.

#include "effects/effects.h"

namespace tavlo::effects {
namespace {

class BlankEffect final : public Effect {
 public:
  void SetUp() override {}
  void Step() override {}
};

}  // namespace

std::unique_ptr<Effect> MakeStarfield() { return std::make_unique<BlankEffect>(); }
std::unique_ptr<Effect> MakePattern() { return std::make_unique<BlankEffect>(); }

}  // namespace tavlo::effects
