#pragma once

// The module-level state of the graphics window, shared by the library's operations. Internal:
// programs use tavlo/graphics.h.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/color.h"
#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/window_system.h"
#include "tavlo/graphics.h"
#include "tavlo/recursive_lock.h"

namespace tavlo::internal {

inline constexpr int kPageCount = 4;

struct ViewportSettings {
  std::int16_t x1 = 0;
  std::int16_t y1 = 0;
  std::int16_t x2 = 0;
  std::int16_t y2 = 0;
  bool clip = false;
};

struct GraphicsState {
  // The hand-off between the program's thread and the window thread.
  std::atomic<bool> open{false};
  std::atomic<std::int16_t> result{ResultOk};
  std::atomic<bool> thread_finished{true};
  std::thread thread;

  // What opening resolved from the driver and mode.
  bool palette_mode = false;
  std::int32_t screen_width = 0;
  std::int32_t screen_height = 0;
  std::int16_t driver = -1;
  std::int16_t mode = 0;
  std::int32_t window_width = 0;
  std::int32_t window_height = 0;
  std::uint32_t window_style = 0;
  std::uint8_t color_depth = 0;
  std::uint16_t palette_capacity = 0;
  std::uint16_t palette_size = 0;
  std::string title;

  // Written by the window thread at creation; read by anyone.
  std::atomic<platform::WindowHandle> window{0};
  std::atomic<std::int32_t> last_column{0};
  std::atomic<std::int32_t> last_row{0};

  // Viewport, origin and aspect.
  ViewportSettings viewport;
  std::int16_t viewport_width = 0;
  std::int16_t viewport_height = 0;
  std::int32_t origin_x = 0;
  std::int32_t origin_y = 0;
  std::uint32_t aspect_x = 10000;
  std::uint32_t aspect_y = 10000;
  bool unit_aspect = true;

  // Device contexts and the objects selected into them. The window's context belongs to the
  // window; the two memory contexts belong to the library.
  platform::DeviceContext* window_dc = nullptr;
  std::unique_ptr<platform::DeviceContext> page_dc;
  std::unique_ptr<platform::DeviceContext> pattern_dc;
  platform::PaletteHandle palette;
  platform::PaletteHandle initial_palette;
  platform::PenHandle pen;
  platform::PenHandle initial_pen;
  platform::BrushHandle brush;
  platform::BrushHandle initial_brush;
  platform::FontHandle font;
  platform::FontHandle initial_font;
  platform::BitmapHandle pattern_bitmap;
  platform::BitmapHandle initial_page_bitmap;
  std::array<platform::BitmapHandle, kPageCount> pages{};
  std::vector<platform::ColorTableEntry> color_table;
  platform::RegionHandle clip_region;

  // Serialises drawing, page selection, palette changes and painting. It lives as long as the
  // process, so that no thread can meet it half made or already gone.
  RecursiveLock lock;

  // Which page drawing goes to and which one the window shows.
  std::atomic<bool> direct_to_window{true};
  std::atomic<std::uint16_t> shown_page{0};
  std::atomic<std::uint16_t> draw_page{0};

  // Pen: its colour and line settings.
  std::uint32_t pen_color = 0;
  std::uint16_t line_style = 0;
  std::uint16_t line_pattern = 0;
  std::uint16_t line_thickness = 1;

  // Fill settings and background.
  std::uint16_t fill_pattern = FillSolid;
  std::uint32_t fill_color = 0;
  std::uint32_t background_color = 0;
};

// The one graphics state of the process. It is never destroyed, so that the finalisation at
// program end can still close a window. Inline: every operation asks for it, most of them
// several times.
inline GraphicsState& State() {
  static GraphicsState* const state = new GraphicsState;
  return *state;
}

// Sets the result code to 0, then to ResultNotOpen when no window is open; true when open.
inline bool BeginOperation(GraphicsState& state) {
  if (state.open.load(std::memory_order_acquire)) {
    state.result.store(ResultOk, std::memory_order_relaxed);
    return true;
  }
  state.result.store(ResultNotOpen, std::memory_order_relaxed);
  return false;
}

}  // namespace tavlo::internal
