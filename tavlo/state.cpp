#include "tavlo/state.h"

namespace tavlo::internal {

GraphicsState& State() {
  static GraphicsState* const state = new GraphicsState;
  return *state;
}

bool BeginOperation(GraphicsState& state) {
  if (state.open.load(std::memory_order_acquire)) {
    state.result.store(ResultOk, std::memory_order_relaxed);
    return true;
  }
  state.result.store(ResultNotOpen, std::memory_order_relaxed);
  return false;
}

}  // namespace tavlo::internal
