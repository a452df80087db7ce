#pragma once

namespace tavlo::effects {

// One effect of the show: a set-up that runs once its window is open, and a step that the show
// repeats until a key waits. The show, the tests and the snapshot tool all run effects this way.
class Effect {
 public:
  virtual ~Effect() = default;
  // Reads the surface size, seeds the generator, sets the counters.
  virtual void SetUp() = 0;
  // One step: a whole frame in most effects.
  virtual void Step() = 0;
};

}  // namespace tavlo::effects
