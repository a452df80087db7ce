#include "tavlo/inspect.h"

#include <cstring>
#include <mutex>

#include "platform/headless/automation.h"
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
  auto copy = platform::Surface::Create(source->width(), source->height(), source->bits_per_pixel(),
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

RgbPicture WindowPicture() {
  RgbPicture picture;
  const std::shared_ptr<platform::Surface> window = platform::headless::SnapshotWindowSurface();
  if (!window) return picture;
  picture.width = window->width();
  picture.height = window->height();
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(window->RgbAt(x, y));
  }
  return picture;
}

IndexedPicture PagePicture(int page) {
  IndexedPicture picture;
  const std::shared_ptr<platform::Surface> copy = SnapshotPage(page);
  if (!copy || copy->bits_per_pixel() > 8 || copy->color_table().empty()) return picture;
  picture.width = copy->width();
  picture.height = copy->height();
  picture.bits_per_pixel = copy->bits_per_pixel();
  const std::size_t row_bytes =
      (static_cast<std::size_t>(picture.width) * picture.bits_per_pixel + 7) / 8;
  picture.rows.reserve(row_bytes * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    picture.rows.insert(picture.rows.end(), copy->Row(y), copy->Row(y) + row_bytes);
  }
  for (const platform::ColorTableEntry& entry : copy->color_table()) {
    picture.palette.push_back(platform::PixelWordOf(entry));
  }
  return picture;
}

}  // namespace tavlo::inspect
