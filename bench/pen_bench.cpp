// Pixels and outlines through the library on the shown page of the show's window (window surface
// and 8-bit page both written): PlotPixel, one frame of the pattern (307,200 pixels), steps of
// the starfield, and circles of a few radii beside a box over the whole surface.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/show_window.h"
#include "effects/effects.h"
#include "effects/random.h"
#include "tavlo/graphics.h"

namespace {

using tavlo::bench::OpenShowWindow;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void BM_PlotPixelOnShownPage(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  std::uint32_t color = 0;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        tavlo::PlotPixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), color++ & 255);
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_PlotPixelOnShownPage)->Unit(benchmark::kMillisecond);

void BM_PatternFrame(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  tavlo::effects::FixSeed(1);
  const auto effect = tavlo::effects::MakePattern();
  effect->SetUp();
  for (auto _ : state) effect->Step();
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
  tavlo::effects::FixSeed(std::nullopt);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_PatternFrame)->Unit(benchmark::kMillisecond);

// After a first pass over the ring, so that every step erases and draws a star.
void BM_StarfieldStep(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  tavlo::effects::FixSeed(1);
  const auto effect = tavlo::effects::MakeStarfield();
  effect->SetUp();
  for (int i = 0; i < 500; ++i) effect->Step();
  for (auto _ : state) effect->Step();
  state.SetItemsProcessed(state.iterations());
  tavlo::effects::FixSeed(std::nullopt);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_StarfieldStep);

// A circle around the middle of the surface; at radius 65535 it lies wholly beyond it.
void BM_DrawCircle(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  const auto radius = static_cast<std::uint16_t>(state.range(0));
  tavlo::SetPenColor(31);
  for (auto _ : state) tavlo::DrawCircle(320, 240, radius);
  state.SetItemsProcessed(state.iterations());
  tavlo::CloseGraphics();
}
BENCHMARK(BM_DrawCircle)->Arg(2)->Arg(50)->Arg(65535);

// What the largest circle must not cost more than: a box over the whole surface.
void BM_FullSurfaceBox(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  tavlo::SetFill(tavlo::FillSolid, 31);
  for (auto _ : state) tavlo::FillBox(0, 0, kWidth - 1, kHeight - 1);
  state.SetItemsProcessed(state.iterations());
  tavlo::CloseGraphics();
}
BENCHMARK(BM_FullSurfaceBox);

}  // namespace
