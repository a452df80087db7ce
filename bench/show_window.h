#pragma once

// For the benchmarks: the show's window, 640 by 480 in 256 palette colours, on the in-memory
// window system.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string_view>

#include "tavlo/graphics.h"

namespace tavlo::bench {

// Opens the window; false, with the benchmark marked skipped, when it did not open.
inline bool OpenShowWindow(benchmark::State& state, std::string_view caption = "BENCH") {
  std::int16_t driver = Driver8Bit;
  std::int16_t mode = Mode640x480;
  OpenGraphics(driver, mode, caption);
  if (!GraphicsOpen()) state.SkipWithError("OpenGraphics failed");
  return GraphicsOpen();
}

}  // namespace tavlo::bench
