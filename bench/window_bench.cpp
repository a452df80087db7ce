// Opening and closing the graphics window, and a key's way from the window system to the queue,
// on the in-memory window system.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "keyboard/keys.h"
#include "platform/headless/automation.h"
#include "tavlo/graphics.h"

namespace {

// One opening and one closing: each waits for the window thread in 10 ms polls.
void BM_OpenAndCloseCycle(benchmark::State& state) {
  for (auto _ : state) {
    std::int16_t driver = tavlo::Driver8Bit;
    std::int16_t mode = tavlo::Mode640x480;
    tavlo::OpenGraphics(driver, mode, "BENCH");
    if (!tavlo::GraphicsOpen()) {
      state.SkipWithError("OpenGraphics failed");
      return;
    }
    tavlo::CloseGraphics();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_OpenAndCloseCycle)->Unit(benchmark::kMillisecond)->UseRealTime();

// A character message posted to the window thread until KeyWaiting sees its code.
void BM_PostedKeyToKeyWaiting(benchmark::State& state) {
  std::int16_t driver = tavlo::Driver8Bit;
  std::int16_t mode = tavlo::Mode320x200;
  tavlo::OpenGraphics(driver, mode, "BENCH");
  if (!tavlo::GraphicsOpen()) {
    state.SkipWithError("OpenGraphics failed");
    return;
  }
  for (auto _ : state) {
    tavlo::platform::headless::PostChar('k');
    while (!tavlo::KeyWaiting()) {
    }
    tavlo::NextKey();
  }
  state.SetItemsProcessed(state.iterations());
  tavlo::CloseGraphics();
}
BENCHMARK(BM_PostedKeyToKeyWaiting)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
