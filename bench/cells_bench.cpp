// The cell path of the effects: a solid fill of the cell's colour, then its 3 by 3 box, 64,000
// cells a frame on the shown page (window surface and 8-bit page both written), beside the same
// boxes with SDL_FillRect on an 8-bit plus a 32-bit SDL surface; and one frame of each effect.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/show_window.h"
#include "effects/effects.h"
#include "tavlo/graphics.h"

namespace {

using tavlo::bench::OpenShowWindow;

constexpr int kCellColumns = 320;
constexpr int kCellRows = 200;
constexpr std::int64_t kCellsPerFrame = std::int64_t{kCellColumns} * kCellRows;

// A colour per cell that changes from cell to cell and frame to frame, as the effects' do.
std::uint8_t CellColor(int x, int y, int frame) {
  return static_cast<std::uint8_t>((x ^ y) + frame);
}

void ReportFrames(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kCellsPerFrame);
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// One frame of cells as PlotCell draws them, column by column, on the shown page.
void BM_CellFrameOnShownPage(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  int frame = 0;
  for (auto _ : state) {
    for (int x = 0; x < kCellColumns; ++x) {
      for (int y = 0; y < kCellRows; ++y) {
        tavlo::SetFill(tavlo::FillSolid, CellColor(x, y, frame));
        tavlo::FillBox(static_cast<std::int16_t>(2 * x), static_cast<std::int16_t>(2 * y),
                       static_cast<std::int16_t>(2 * x + 2), static_cast<std::int16_t>(2 * y + 2));
      }
    }
    ++frame;
  }
  ReportFrames(state);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_CellFrameOnShownPage)->Unit(benchmark::kMillisecond);

// The peer: the same 64,000 boxes with SDL_FillRect onto an 8-bit and a 32-bit surface, the
// pair that a cell on the shown page writes.
void BM_SdlCellFramePair(benchmark::State& state) {
  SDL_Surface* page = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
  SDL_Surface* window = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_ARGB8888);
  if (page == nullptr || window == nullptr) {
    state.SkipWithError(SDL_GetError());
    SDL_FreeSurface(page);
    SDL_FreeSurface(window);
    return;
  }
  int frame = 0;
  for (auto _ : state) {
    for (int x = 0; x < kCellColumns; ++x) {
      for (int y = 0; y < kCellRows; ++y) {
        const std::uint8_t color = CellColor(x, y, frame);
        SDL_Rect rect{2 * x, 2 * y, 3, 3};
        SDL_FillRect(window, &rect, color * 0x010101u);
        SDL_FillRect(page, &rect, color);
      }
    }
    ++frame;
  }
  benchmark::DoNotOptimize(page->pixels);
  benchmark::DoNotOptimize(window->pixels);
  ReportFrames(state);
  SDL_FreeSurface(page);
  SDL_FreeSurface(window);
}
BENCHMARK(BM_SdlCellFramePair)->Unit(benchmark::kMillisecond);

// One step of an effect, as the show runs it: driver 3 mode 4, set up once, then step after
// step on the shown page. For the tunnel the set-up phase of its steps is run first, so that
// what is timed is its full frames.
template <std::unique_ptr<tavlo::effects::Effect> (*kMake)(), int kWarmSteps>
void BM_EffectFrame(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  const std::unique_ptr<tavlo::effects::Effect> effect = kMake();
  effect->SetUp();
  for (int i = 0; i < kWarmSteps; ++i) effect->Step();
  for (auto _ : state) effect->Step();
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_EffectFrame<&tavlo::effects::MakePlasma, 0>)
    ->Name("BM_EffectFrame/plasma")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectFrame<&tavlo::effects::MakeRotozoom, 0>)
    ->Name("BM_EffectFrame/rotozoom")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectFrame<&tavlo::effects::MakeTunnel, 114>)
    ->Name("BM_EffectFrame/tunnel")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectFrame<&tavlo::effects::MakeFloor, 0>)
    ->Name("BM_EffectFrame/floor")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectFrame<&tavlo::effects::MakeSineWave, 0>)
    ->Name("BM_EffectFrame/sinewave")
    ->Unit(benchmark::kMillisecond);

}  // namespace
