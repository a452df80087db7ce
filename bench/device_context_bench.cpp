// Solid rectangle fills through DeviceContext::FillRect next to SDL_FillRect on surfaces of the
// same depth and size. The boxes move over the surface on a 2-pixel pitch, as the effects' cell
// grid does. Items are boxes; the "pixels" counter is pixels per second.

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/surface.h"
#include "platform/window_surface.h"

namespace {

using namespace tavlo::platform;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// The top-left corner of the i-th box of the given size.
struct Walk {
  int size;
  int x = 0;
  int y = 0;
  void Next() {
    x += 2;
    if (x + size > kWidth) {
      x = 0;
      y += 2;
      if (y + size > kHeight) y = 0;
    }
  }
};

// The argument is the box's width; its height is the same, except for the whole surface.
int BoxWidth(const benchmark::State& state) { return static_cast<int>(state.range(0)); }
int BoxHeight(const benchmark::State& state) {
  return state.range(0) == kWidth ? kHeight : static_cast<int>(state.range(0));
}

void Report(benchmark::State& state, int w, int h) {
  state.SetItemsProcessed(state.iterations());
  state.counters["pixels"] = benchmark::Counter(static_cast<double>(state.iterations()) * w * h,
                                                benchmark::Counter::kIsRate);
}

void FillRectMemory8(benchmark::State& state) {
  const int w = BoxWidth(state), h = BoxHeight(state);
  auto surface = Surface::Create(kWidth, kHeight, 8, 256);
  const BitmapHandle bitmap = CreateBitmap(surface);
  auto dc = DeviceContext::CreateMemory();
  dc->SelectBitmap(bitmap);
  const BrushHandle brush =
      CreateBrush(BrushRecord{BrushStyle::kSolid, HatchStyle::kHorizontal, PaletteIndexColor(42)});
  dc->SelectBrush(brush);
  Walk walk{w};
  for (auto _ : state) {
    dc->FillRect(Rect{walk.x, walk.y, walk.x + w, walk.y + h});
    walk.Next();
  }
  benchmark::DoNotOptimize(surface->PixelAt(1, 1));
  Report(state, w, h);
  dc->SelectBrush(StockBrush());
  dc->SelectBitmap(StockBitmap());
  DeleteObject(brush);
  DeleteObject(bitmap);
}

void FillRectWindow32(benchmark::State& state) {
  const int w = BoxWidth(state), h = BoxHeight(state);
  auto window = std::make_shared<WindowSurface>(kWidth, kHeight);
  auto dc = DeviceContext::CreateForWindow(window);
  const BrushHandle brush =
      CreateBrush(BrushRecord{BrushStyle::kSolid, HatchStyle::kHorizontal, Rgb(0x12, 0x34, 0x56)});
  dc->SelectBrush(brush);
  Walk walk{w};
  for (auto _ : state) {
    dc->FillRect(Rect{walk.x, walk.y, walk.x + w, walk.y + h});
    walk.Next();
  }
  benchmark::DoNotOptimize(window->surface()->PixelAt(1, 1));
  Report(state, w, h);
  dc->SelectBrush(StockBrush());
  DeleteObject(brush);
}

void SdlFillRect(benchmark::State& state, Uint32 format, Uint32 color) {
  const int w = BoxWidth(state), h = BoxHeight(state);
  const int depth = SDL_BITSPERPIXEL(format);
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, depth, format);
  if (surface == nullptr) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  Walk walk{w};
  for (auto _ : state) {
    const SDL_Rect rect{walk.x, walk.y, w, h};
    SDL_FillRect(surface, &rect, color);
    walk.Next();
  }
  benchmark::DoNotOptimize(static_cast<Uint8*>(surface->pixels)[kWidth + 1]);
  Report(state, w, h);
  SDL_FreeSurface(surface);
}

void SdlFillRect8(benchmark::State& state) { SdlFillRect(state, SDL_PIXELFORMAT_INDEX8, 42); }
void SdlFillRect32(benchmark::State& state) {
  SdlFillRect(state, SDL_PIXELFORMAT_XRGB8888, 0x123456);
}

// 3 by 3, 16 by 16 and the whole 640 by 480 surface.
void Sizes(benchmark::internal::Benchmark* b) { b->Arg(3)->Arg(16)->Arg(kWidth); }

BENCHMARK(FillRectMemory8)->Apply(Sizes);
BENCHMARK(SdlFillRect8)->Apply(Sizes);
BENCHMARK(FillRectWindow32)->Apply(Sizes);
BENCHMARK(SdlFillRect32)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
