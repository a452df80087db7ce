// One frame of the figures as the program draws it, without its 10 ms rest: both figures cell by
// cell on the hidden page, the flip (whose repaint the window thread does meanwhile) and the
// clear of the next page, on the in-memory window system. Target: at most 1 ms a frame.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/show_window.h"
#include "figures/animation.h"
#include "figures/program.h"
#include "tavlo/graphics.h"

namespace {

void BM_FiguresFrame(benchmark::State& state) {
  if (!tavlo::bench::OpenShowWindow(state, tavlo::figures::kCaption)) return;
  tavlo::figures::Animation animation(0);
  animation.SetUp();
  // The first frame draws on the shown page; every later one is the steady state timed here.
  animation.Step();
  for (auto _ : state) animation.Step();
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_FiguresFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
