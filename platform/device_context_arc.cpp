// DeviceContext::DrawArc: the outline's pixels come from the arc kernel row by row, already
// clipped; this file picks the pixel mixes once and writes the spans.

#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>

#include "platform/arc_kernel.h"
#include "platform/device_context.h"
#include "platform/pen_dashes.h"
#include "platform/raster_op_kernels.h"

namespace tavlo::platform {

namespace {

// Writes one span of a styled pen: on pixels with the pen's mix, off pixels with the gap's, or
// not at all when there is no gap mix (transparent background mode).
void WriteStyledSpan(std::uint8_t* row, const kernels::ArcSpan& span, DashPattern dashes,
                     kernels::SpanMixer pen, kernels::PixelMix pen_mix, kernels::SpanMixer gap,
                     kernels::PixelMix gap_mix) {
  const int period = dashes.period;
  int phase = static_cast<int>(span.place % period);
  auto on_at = [&](int p) { return ((dashes.on >> p) & 1u) != 0; };
  int run_start = span.x0;
  bool run_on = on_at(phase);
  auto flush = [&](int run_end) {
    if (run_on) {
      pen(row, run_start, run_end, pen_mix);
    } else if (gap) {
      gap(row, run_start, run_end, gap_mix);
    }
  };
  for (int x = span.x0 + 1; x <= span.x1; ++x) {
    phase += span.place_step;
    if (phase < 0) phase += period;
    if (phase >= period) phase -= period;
    const bool on = on_at(phase);
    if (on != run_on) {
      flush(x);
      run_start = x;
      run_on = on;
    }
  }
  flush(span.x1 + 1);
}

}  // namespace

void DeviceContext::DrawArc(const Rect& box, Point start, Point end) {
  if (surface_ == nullptr) return;
  const PenRecord& pen = pen_record_;
  if (pen.style == PenStyle::kNull || raster_op_ == RasterOp::kNop) return;
  Rect visible = surface_->bounds();
  if (clip_) visible = Intersect(visible, *clip_);
  if (visible.Empty()) return;

  const bool styled = pen.width <= 1 && pen.style != PenStyle::kSolid;
  kernels::ArcOutline outline(box, start, end, pen.width, visible, styled);
  if (outline.Empty()) return;

  const int bpp = surface_->bits_per_pixel();
  const kernels::PixelMix pen_mix = kernels::MixOf(raster_op_, Resolve(pen.color), bpp);
  const kernels::SpanMixer pen_mixer = kernels::SpanMixerFor(bpp, pen_mix);
  kernels::PixelMix gap_mix;
  kernels::SpanMixer gap_mixer = nullptr;
  if (styled && background_mode_ == BackgroundMode::kOpaque) {
    gap_mix = kernels::MixOf(raster_op_, Resolve(background_color_), bpp);
    gap_mixer = kernels::SpanMixerFor(bpp, gap_mix);
  }
  const DashPattern dashes = DashPatternOf(pen.style);

  std::unique_lock<WindowSurface::Lock> lock;
  if (window_) lock = std::unique_lock(window_->mutex());
  std::array<kernels::ArcSpan, kernels::kMaxArcRowSpans> spans;
  Rect changed;
  for (int y = outline.first_row(); y < outline.end_row(); ++y) {
    const int count = outline.RowSpans(y, spans);
    if (count == 0) continue;
    std::uint8_t* const row = surface_->Row(y);
    for (int i = 0; i < count; ++i) {
      const kernels::ArcSpan& s = spans[static_cast<std::size_t>(i)];
      if (styled) {
        WriteStyledSpan(row, s, dashes, pen_mixer, pen_mix, gap_mixer, gap_mix);
      } else {
        pen_mixer(row, s.x0, s.x1 + 1, pen_mix);
      }
    }
    changed = Union(changed,
                    Rect{spans[0].x0, y, spans[static_cast<std::size_t>(count - 1)].x1 + 1, y + 1});
  }
  if (window_ && !changed.Empty()) window_->MarkChanged(changed);
}

}  // namespace tavlo::platform
