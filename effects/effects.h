#pragma once

#include <memory>

#include "effects/effect.h"

namespace tavlo::effects {

std::unique_ptr<Effect> MakeStarfield();
std::unique_ptr<Effect> MakeRotozoom();
std::unique_ptr<Effect> MakePattern();
std::unique_ptr<Effect> MakeTunnel();
std::unique_ptr<Effect> MakeFloor();
std::unique_ptr<Effect> MakePlasma();
std::unique_ptr<Effect> MakeSineWave();

}  // namespace tavlo::effects
