// The library's start and end: before any program code runs and after it has ended.

#include "tavlo/startup.h"

#include <mutex>

#include "platform/window_system.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"

namespace tavlo::internal {

void InitGraphicsLibrary() {
  GraphicsState& state = State();
  state.open = false;
  state.palette_mode = false;
  state.driver = -1;
  KeyboardHook = nullptr;
  MouseHook = nullptr;
  state.screen_width = platform::SystemMetric(platform::Metric::kScreenWidth);
  state.screen_height = platform::SystemMetric(platform::Metric::kScreenHeight);
  // The named colours are one public array; they stay 0 until the first window installs its
  // colours.
}

void FinalizeGraphicsLibrary() {
  GraphicsState& state = State();
  if (state.open.load(std::memory_order_acquire)) CloseGraphics();
  state.color_table.clear();
  state.color_table.shrink_to_fit();
}

void EnsureGraphicsLibraryInitialised() {
  static std::once_flag once;
  std::call_once(once, InitGraphicsLibrary);
}

namespace {

// Runs the library's initialisation at program start and its finalisation at program end.
struct LibraryLifetime {
  LibraryLifetime() { EnsureGraphicsLibraryInitialised(); }
  ~LibraryLifetime() { FinalizeGraphicsLibrary(); }
  LibraryLifetime(const LibraryLifetime&) = delete;
  LibraryLifetime& operator=(const LibraryLifetime&) = delete;
};

const LibraryLifetime library_lifetime;

}  // namespace

}  // namespace tavlo::internal
