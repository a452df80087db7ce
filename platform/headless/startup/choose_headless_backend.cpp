// Linked into tests, benchmarks and tools that run without a display: it chooses the in-memory
// window system before any other start-up code of the process asks for a backend.
#include "platform/window_system.h"

namespace {

struct ChooseHeadless {
  ChooseHeadless() { tavlo::platform::ChooseBackend(tavlo::platform::Backend::kHeadless); }
};

__attribute__((init_priority(101))) const ChooseHeadless choose_headless;

}  // namespace
