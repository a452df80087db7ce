// Solid boxes: FillBox on the shown page (page and window both written) and on a hidden page,
// beside SDL_FillRect of the same boxes on plain 8-bit and 32-bit SDL surfaces.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/show_window.h"
#include "tavlo/graphics.h"

namespace {

using tavlo::bench::OpenShowWindow;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Box {
  std::int16_t x1, y1, x2, y2;
};

// Boxes of `size` by `size` pixels laid over the surface on a pitch of size - 1, the way the
// effects lay their 3 by 3 cells on a pitch of 2; a box of the surface's width is the whole
// surface.
std::vector<Box> BoxesOfSize(int size) {
  if (size >= kWidth) return {Box{0, 0, kWidth - 1, kHeight - 1}};
  std::vector<Box> boxes;
  const int pitch = size > 1 ? size - 1 : 1;
  for (int y = 0; y + size <= kHeight; y += pitch) {
    for (int x = 0; x + size <= kWidth; x += pitch) {
      boxes.push_back(Box{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                          static_cast<std::int16_t>(x + size - 1),
                          static_cast<std::int16_t>(y + size - 1)});
    }
  }
  return boxes;
}

std::int64_t PixelsOf(int size) {
  return size >= kWidth ? std::int64_t{kWidth} * kHeight : std::int64_t{size} * size;
}

void ReportRates(benchmark::State& state, int size) {
  state.SetItemsProcessed(state.iterations());
  state.counters["pixels/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * PixelsOf(size)), benchmark::Counter::kIsRate);
}

// FillBox of size by size solid boxes; range(1) is 1 for the shown page, 0 for a hidden one.
void BM_FillBox(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const bool shown = state.range(1) != 0;
  if (!OpenShowWindow(state)) return;
  if (!shown) tavlo::SetDrawPage(1);
  tavlo::SetFill(tavlo::FillSolid, 44);
  const std::vector<Box> boxes = BoxesOfSize(size);
  std::size_t next = 0;
  for (auto _ : state) {
    const Box& b = boxes[next];
    tavlo::FillBox(b.x1, b.y1, b.x2, b.y2);
    if (++next == boxes.size()) next = 0;
  }
  ReportRates(state, size);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_FillBox)
    ->ArgNames({"size", "shown"})
    ->Args({3, 0})
    ->Args({3, 1})
    ->Args({16, 0})
    ->Args({16, 1})
    ->Args({640, 0})
    ->Args({640, 1});

// A cell as the effects plot it: a solid fill of its colour, then its 3 by 3 box, on a hidden
// page.
void BM_SetFillThenFillBox(benchmark::State& state) {
  if (!OpenShowWindow(state)) return;
  tavlo::SetDrawPage(1);
  const std::vector<Box> boxes = BoxesOfSize(3);
  std::size_t next = 0;
  std::uint32_t color = 0;
  for (auto _ : state) {
    const Box& b = boxes[next];
    tavlo::SetFill(tavlo::FillSolid, color++ & 0xFF);
    tavlo::FillBox(b.x1, b.y1, b.x2, b.y2);
    if (++next == boxes.size()) next = 0;
  }
  ReportRates(state, 3);
  tavlo::CloseGraphics();
}
BENCHMARK(BM_SetFillThenFillBox);

// SDL_FillRect of the same boxes; range(1) is the surface's bits per pixel.
void BM_SdlFillRect(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const int bits = static_cast<int>(state.range(1));
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(
      0, kWidth, kHeight, bits, bits == 8 ? SDL_PIXELFORMAT_INDEX8 : SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  const std::vector<Box> boxes = BoxesOfSize(size);
  std::size_t next = 0;
  for (auto _ : state) {
    const Box& b = boxes[next];
    SDL_Rect rect{b.x1, b.y1, b.x2 - b.x1 + 1, b.y2 - b.y1 + 1};
    SDL_FillRect(surface, &rect, 44);
    if (++next == boxes.size()) next = 0;
  }
  benchmark::DoNotOptimize(surface->pixels);
  ReportRates(state, size);
  SDL_FreeSurface(surface);
}
BENCHMARK(BM_SdlFillRect)
    ->ArgNames({"size", "bits"})
    ->Args({3, 8})
    ->Args({3, 32})
    ->Args({16, 8})
    ->Args({16, 32})
    ->Args({640, 8})
    ->Args({640, 32});

}  // namespace
