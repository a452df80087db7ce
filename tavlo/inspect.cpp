#include "tavlo/inspect.h"

#include <cstring>
#include <mutex>

#include "platform/window_system.h"

namespace tavlo::inspect {

std::shared_ptr<platform::Surface> SnapshotPage(int page) {
  auto& state = internal::State();
  if (!state.open.load(std::memory_order_acquire) || page < 0 || page >= internal::kPageCount) {
    return nullptr;
  }
  std::lock_guard lock(state.lock);
  const auto source = platform::SurfaceOf(state.pages[static_cast<std::size_t>(page)]);
  if (!source) return nullptr;
  auto copy = platform::Surface::Create(source->width(), source->height(),
                                        source->bits_per_pixel(),
                                        static_cast<int>(source->color_table().size()));
  for (int y = 0; y < source->height(); ++y) {
    std::memcpy(copy->Row(y), source->Row(y), source->stride());
  }
  copy->SetColorTable(0, source->color_table());
  return copy;
}

void RereadScreenSize() {
  auto& state = internal::State();
  state.screen_width = platform::SystemMetric(platform::Metric::kScreenWidth);
  state.screen_height = platform::SystemMetric(platform::Metric::kScreenHeight);
}

std::uint16_t PaletteSize() { return internal::State().palette_size; }

std::vector<platform::ColorTableEntry> ColorTable() {
  auto& state = internal::State();
  std::lock_guard lock(state.lock);
  return state.color_table;
}

}  // namespace tavlo::inspect
