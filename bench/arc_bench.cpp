// DeviceContext::DrawArc on an 8-bit 640 by 480 memory context: whole circles centred on the
// surface (radius 65535 has no pixel on it), a radius-65535 circle whose outline crosses the
// surface, and a full-surface FillRect on the same context for scale. Items are circles (or
// fills).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/surface.h"

namespace {

using namespace tavlo::platform;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// An 8-bit memory context with a pen selected; tidies up after itself.
class Page {
 public:
  explicit Page(const PenRecord& pen)
      : surface_(Surface::Create(kWidth, kHeight, 8, 256)),
        bitmap_(CreateBitmap(surface_)),
        pen_(CreatePen(pen)),
        dc_(DeviceContext::CreateMemory()) {
    dc_->SelectBitmap(bitmap_);
    dc_->SelectPen(pen_);
  }
  ~Page() {
    dc_->SelectPen(StockPen());
    dc_->SelectBitmap(StockBitmap());
    DeleteObject(pen_);
    DeleteObject(bitmap_);
  }
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  DeviceContext& dc() { return *dc_; }
  const Surface& surface() const { return *surface_; }

 private:
  std::shared_ptr<Surface> surface_;
  BitmapHandle bitmap_;
  PenHandle pen_;
  std::unique_ptr<DeviceContext> dc_;
};

// The box and the ray of a whole circle, as a caller makes them for a centre and radius.
void DrawCircle(DeviceContext& dc, std::int32_t cx, std::int32_t cy, std::int32_t radius) {
  dc.DrawArc(Rect{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1},
             Point{cx + radius, cy}, Point{cx + radius, cy});
}

void CircleMemory8(benchmark::State& state) {
  const auto radius = static_cast<std::int32_t>(state.range(0));
  Page page(PenRecord{PenStyle::kSolid, 1, PaletteIndexColor(42)});
  for (auto _ : state) DrawCircle(page.dc(), 320, 240, radius);
  benchmark::DoNotOptimize(page.surface().PixelAt(320 + 2, 240));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CircleMemory8)->Arg(2)->Arg(50)->Arg(65535);

// The same circles with the exclusive-or pen, which reads every pixel it writes.
void CircleXorMemory8(benchmark::State& state) {
  const auto radius = static_cast<std::int32_t>(state.range(0));
  Page page(PenRecord{PenStyle::kSolid, 1, PaletteIndexColor(42)});
  page.dc().SetRasterOp(RasterOp::kXorPen);
  for (auto _ : state) DrawCircle(page.dc(), 320, 240, radius);
  benchmark::DoNotOptimize(page.surface().PixelAt(320 + 2, 240));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CircleXorMemory8)->Arg(2)->Arg(50);

// A radius-65535 circle whose top passes through the middle of the surface, solid and dotted.
void HugeCircleCrossingMemory8(benchmark::State& state) {
  const auto style = static_cast<PenStyle>(state.range(0));
  Page page(PenRecord{style, 1, PaletteIndexColor(42)});
  page.dc().SetBackgroundMode(BackgroundMode::kOpaque);
  for (auto _ : state) DrawCircle(page.dc(), 320, 240 + 65535, 65535);
  benchmark::DoNotOptimize(page.surface().PixelAt(320, 240));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HugeCircleCrossingMemory8)
    ->Arg(static_cast<int>(PenStyle::kSolid))
    ->Arg(static_cast<int>(PenStyle::kDot));

void FullSurfaceFillMemory8(benchmark::State& state) {
  Page page(PenRecord{PenStyle::kSolid, 1, PaletteIndexColor(42)});
  const BrushHandle brush =
      CreateBrush(BrushRecord{BrushStyle::kSolid, HatchStyle::kHorizontal, PaletteIndexColor(7)});
  page.dc().SelectBrush(brush);
  for (auto _ : state) page.dc().FillRect(Rect{0, 0, kWidth, kHeight});
  benchmark::DoNotOptimize(page.surface().PixelAt(1, 1));
  state.SetItemsProcessed(state.iterations());
  page.dc().SelectBrush(StockBrush());
  DeleteObject(brush);
}
BENCHMARK(FullSurfaceFillMemory8);

}  // namespace
