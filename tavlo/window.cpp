// Opening and closing the graphics window, the window thread and its window procedure.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/messages.h"
#include "platform/window_system.h"
#include "tavlo/graphics.h"
#include "tavlo/opening_steps.h"
#include "tavlo/startup.h"
#include "tavlo/state.h"

namespace tavlo {

std::atomic<WindowHook> KeyboardHook{nullptr};
std::atomic<WindowHook> MouseHook{nullptr};
std::atomic<bool> CloseRequested{false};
std::int32_t CustomWidth = 0;
std::int32_t CustomHeight = 0;

static_assert(std::is_same_v<WindowHandle, platform::WindowHandle>);

namespace {

using internal::GraphicsState;
using internal::State;
namespace pf = platform;

constexpr std::string_view kClassName = "TavloClass";
constexpr std::string_view kDefaultTitle = "Tavlo 1.1";
constexpr std::size_t kMaxTitleLength = 255;
constexpr auto kPollInterval = std::chrono::milliseconds(10);
// CS_OWNDC | CS_BYTEALIGNCLIENT: a private device context per window.
constexpr std::uint32_t kClassStyle = 0x1020;
constexpr std::uint32_t kFramedStyle =
    pf::kStyleCaption | pf::kStyleSystemMenu | pf::kStyleMinimizeBox;
// What the default erase paints during creation and closing: the system's window colour.
constexpr pf::DeviceColor kClassBackground = pf::Rgb(255, 255, 255);

struct ClientSize {
  std::int64_t width;
  std::int64_t height;
};

// The client size a mode asks for; frame_w and frame_h are the frame around a client area.
ClientSize RequestedClientSize(const GraphicsState& state, std::int64_t frame_w,
                               std::int64_t frame_h) {
  switch (state.mode) {
    case Mode320x200:
      return {320, 200};
    case Mode640x200:
      return {640, 200};
    case Mode640x350:
      return {640, 350};
    case Mode640x480:
      return {640, 480};
    case Mode720x350:
      return {720, 350};
    case Mode800x600:
      return {800, 600};
    case Mode1024x768:
      return {1024, 768};
    case Mode1280x1024:
      return {1280, 1024};
    // A window of 0 by 0 lets the window system choose size and place.
    case ModeDefaultWindow:
      return {-frame_w, -frame_h};
    case ModeScreenWindow:
      return {state.screen_width - frame_w, state.screen_height - frame_h};
    case ModeFullScreen:
      return {state.screen_width, state.screen_height};
    // A custom size that leaves no client area cannot hold the pages; it fails the screen test
    // below like any size the screen cannot take.
    case ModeCustom:
      if (CustomWidth <= 0 || CustomHeight <= 0) return {65535, 65535};
      return {CustomWidth, CustomHeight};
    default:
      return {65535, 65535};
  }
}

// Works out the window size and style from the mode, then the colour depth from the driver. A bad
// mode is reported before a bad driver.
void ResolveDriverAndMode(GraphicsState& state) {
  const std::int64_t frame_w = 2 * std::int64_t{pf::SystemMetric(pf::Metric::kDialogFrameWidth)};
  const std::int64_t frame_h = 2 * std::int64_t{pf::SystemMetric(pf::Metric::kDialogFrameHeight)} +
                               pf::SystemMetric(pf::Metric::kCaptionHeight);
  const ClientSize client = RequestedClientSize(state, frame_w, frame_h);
  const std::int64_t framed_w = client.width + frame_w;
  const std::int64_t framed_h = client.height + frame_h;
  if (framed_w <= state.screen_width && framed_h <= state.screen_height) {
    state.window_width = static_cast<std::int32_t>(framed_w);
    state.window_height = static_cast<std::int32_t>(framed_h);
    state.window_style = kFramedStyle;
  } else if (client.width <= state.screen_width && client.height <= state.screen_height) {
    state.window_width = static_cast<std::int32_t>(client.width);
    state.window_height = static_cast<std::int32_t>(client.height);
    state.window_style = pf::kStylePopup;
  } else {
    state.result = ResultBadMode;
    return;
  }

  switch (state.driver) {
    case Driver1Bit:
      state.color_depth = 1;
      break;
    case Driver4Bit:
      state.color_depth = 4;
      break;
    case Driver8Bit:
      state.color_depth = 8;
      break;
    case DriverDesktop:
      state.color_depth = static_cast<std::uint8_t>(pf::DesktopBitsPerPixel());
      break;
    default:
      state.result = ResultBadDriver;
      return;
  }
  state.palette_mode = state.driver != DriverDesktop;
  if (state.palette_mode) {
    state.palette_capacity = static_cast<std::uint16_t>(1u << state.color_depth);
  }
}

void CallHooks(std::atomic<WindowHook>& first, std::atomic<WindowHook>& second,
               pf::WindowHandle window, std::uint32_t message, std::uint32_t wparam,
               std::int32_t lparam) {
  if (const WindowHook hook = first.load()) hook(window, message, wparam, lparam);
  if (const WindowHook hook = second.load()) hook(window, message, wparam, lparam);
}

std::int32_t CallHook(std::atomic<WindowHook>& slot, pf::WindowHandle window, std::uint32_t message,
                      std::uint32_t wparam, std::int32_t lparam) {
  const WindowHook hook = slot.load();
  return hook ? hook(window, message, wparam, lparam) : 0;
}

// Makes the four pages, all of the client size and the colour depth, every pixel 0.
void CreatePages(GraphicsState& state) {
  const int color_table_size = state.palette_mode ? state.palette_capacity : 0;
  for (auto& page : state.pages) {
    page = pf::CreateBitmap(pf::Surface::Create(state.last_column + 1, state.last_row + 1,
                                                state.color_depth, color_table_size,
                                                pf::RowOrder::kBottomUp));
  }
  state.color_table.assign(static_cast<std::size_t>(color_table_size), pf::ColorTableEntry{});
}

void CreationSteps(GraphicsState& state, pf::WindowHandle window, std::uint32_t wparam,
                   std::int32_t lparam) {
  // Kept before the open flag is set, so that OpenGraphics finds the window once it sees the
  // flag.
  state.window = window;
  const pf::Rect client = pf::ClientRect(window);
  state.last_column = client.Width() - 1;
  state.last_row = client.Height() - 1;

  state.window_dc = pf::WindowDeviceContext(window);
  state.page_dc = pf::DeviceContext::CreateMemory();
  state.pattern_dc = pf::DeviceContext::CreateMemory();

  state.initial_palette = state.window_dc->palette();
  state.initial_pen = state.window_dc->pen();
  state.initial_brush = state.window_dc->brush();
  state.initial_font = state.window_dc->font();
  state.initial_page_bitmap = state.page_dc->bitmap();
  state.pen = state.initial_pen;
  state.brush = state.initial_brush;
  state.font = state.initial_font;

  if (state.palette_mode) {
    const std::vector<pf::PaletteEntry> black(state.palette_capacity);
    state.palette = pf::CreatePalette(black);
    state.window_dc->SelectPalette(state.palette, true);
    state.page_dc->SelectPalette(state.palette, true);
    state.pattern_dc->SelectPalette(state.palette, true);
  }
  CreatePages(state);

  CallHooks(MouseHook, KeyboardHook, window, pf::kMsgCreate, wparam, lparam);
  state.open.store(true, std::memory_order_release);
}

// Swaps `initial` back into both contexts and deletes what was selected, unless that is the
// initial object itself.
template <class Handle, class Select>
void RestoreInitial(GraphicsState& state, Handle& current, Handle initial, Select select) {
  select(*state.window_dc, initial);
  select(*state.page_dc, initial);
  if (current && current != initial) pf::DeleteObject(current);
  current = initial;
}

void DestructionSteps(GraphicsState& state, pf::WindowHandle window, std::uint32_t wparam,
                      std::int32_t lparam) {
  CallHooks(MouseHook, KeyboardHook, window, pf::kMsgDestroy, wparam, lparam);
  if (!state.page_dc) {  // the creation never finished
    pf::PostQuitMessage(0);
    return;
  }

  pf::DeleteObject(state.pattern_bitmap);
  state.pattern_bitmap = {};

  state.page_dc->SelectBitmap(state.initial_page_bitmap);
  for (auto& page : state.pages) {
    pf::DeleteObject(page);
    page = {};
  }
  state.color_table.clear();

  if (state.palette_mode) {
    state.window_dc->SelectPalette(state.initial_palette, true);
    state.page_dc->SelectPalette(state.initial_palette, true);
    state.pattern_dc->SelectPalette(state.initial_palette, true);
    pf::DeleteObject(state.palette);
    state.palette = {};
    state.palette_mode = false;
  }

  RestoreInitial(state, state.font, state.initial_font,
                 [](pf::DeviceContext& dc, pf::FontHandle h) { dc.SelectFont(h); });
  RestoreInitial(state, state.brush, state.initial_brush,
                 [](pf::DeviceContext& dc, pf::BrushHandle h) { dc.SelectBrush(h); });
  RestoreInitial(state, state.pen, state.initial_pen,
                 [](pf::DeviceContext& dc, pf::PenHandle h) { dc.SelectPen(h); });

  if (state.clip_region) {
    state.window_dc->SelectClipRegion({});
    state.page_dc->SelectClipRegion({});
    pf::DeleteObject(state.clip_region);
    state.clip_region = {};
  }

  state.page_dc.reset();
  state.pattern_dc.reset();
  state.window_dc = nullptr;  // it goes with the window
  pf::PostQuitMessage(0);
}

// Copies the area waiting to be painted from the shown page onto the window, without the
// viewport's clipping.
std::int32_t PaintingSteps(GraphicsState& state, pf::WindowHandle window) {
  const std::optional<pf::Rect> update = pf::UpdateRect(window);
  if (!update) return 0;
  std::lock_guard lock(state.lock);
  if (!state.page_dc) {
    pf::BeginPaint(window);
    pf::EndPaint(window);
    return 0;
  }
  if (state.clip_region) state.window_dc->SelectClipRegion({});
  pf::BeginPaint(window);

  // One column and one row more than the update area; the copy clips them away at the edge.
  const pf::Rect destination{update->left, update->top, update->right + 1, update->bottom + 1};
  const pf::Point source_at{update->left, update->top};
  const std::uint16_t shown = state.shown_page.load();
  if (state.draw_page.load() == shown) {
    state.window_dc->CopyFrom(*state.page_dc, source_at, destination);
  } else {
    const pf::BitmapHandle draw_page = state.page_dc->SelectBitmap(state.pages[shown]);
    state.window_dc->CopyFrom(*state.page_dc, source_at, destination);
    state.page_dc->SelectBitmap(draw_page);
  }

  pf::EndPaint(window);
  if (state.clip_region) state.window_dc->SelectClipRegion(state.clip_region);
  return 0;
}

std::int32_t WindowProcedure(pf::WindowHandle window, std::uint32_t message, std::uint32_t wparam,
                             std::int32_t lparam) {
  GraphicsState& state = State();
  switch (message) {
    case pf::kMsgCreate:
      CreationSteps(state, window, wparam, lparam);
      return pf::DefaultWindowProcedure(window, message, wparam, lparam);
    case pf::kMsgDestroy:
      DestructionSteps(state, window, wparam, lparam);
      return 0;
    case pf::kMsgPaint:
      return PaintingSteps(state, window);
    case pf::kMsgClose:
      // The close box only asks; the program decides whether to close.
      CloseRequested = true;
      return CallHook(KeyboardHook, window, message, wparam, lparam);
    case pf::kMsgEraseBackground:
      // While open the shown page covers the whole client area; erasing would only flicker.
      if (state.open.load(std::memory_order_acquire)) return 1;
      return pf::DefaultWindowProcedure(window, message, wparam, lparam);
    case pf::kMsgSysChar:
      return 0;
    case pf::kMsgUser:
      pf::DestroyWindow(window);
      return 0;
    case pf::kMsgKeyDown:
    case pf::kMsgChar:
    case pf::kMsgSysKeyDown:
      return CallHook(KeyboardHook, window, message, wparam, lparam);
    case pf::kMsgMouseMove:
    case pf::kMsgLeftButtonDown:
    case pf::kMsgLeftButtonUp:
    case pf::kMsgRightButtonDown:
    case pf::kMsgRightButtonUp:
    case pf::kMsgMiddleButtonDown:
    case pf::kMsgMiddleButtonUp:
    case pf::kMsgMouseWheel:
      return CallHook(MouseHook, window, message, wparam, lparam);
    default:
      return pf::DefaultWindowProcedure(window, message, wparam, lparam);
  }
}

void RunMessageLoop(GraphicsState& state) {
  pf::Message message;
  while (pf::GetMessage(&message) == 1) {
    pf::TranslateMessage(message);
    pf::DispatchMessage(message);
  }
  // The quit message carries the exit code of the destruction steps: 0 after a normal close.
  state.result = static_cast<std::int16_t>(message.wparam & 0xFFFF);
}

void WindowThread(const std::string& title) {
  GraphicsState& state = State();
  const pf::WindowClass window_class{std::string(kClassName), &WindowProcedure, kClassStyle,
                                     kClassBackground};
  if (!pf::RegisterWindowClass(window_class)) {
    state.result = ResultNoWindow;
    state.thread_finished.store(true, std::memory_order_release);
    return;
  }

  std::int32_t x = pf::kUseDefault;
  std::int32_t y = pf::kUseDefault;
  std::int32_t width = pf::kUseDefault;
  std::int32_t height = pf::kUseDefault;
  if (state.window_width != 0) {
    x = (state.screen_width - state.window_width) / 2;
    y = (state.screen_height - state.window_height) / 2;
    width = state.window_width;
    height = state.window_height;
  }
  if (pf::CreateWindow(kClassName, title, state.window_style, x, y, width, height) == 0) {
    pf::UnregisterWindowClass(kClassName);
    state.result = ResultNoWindow;
    state.thread_finished.store(true, std::memory_order_release);
    return;
  }

  RunMessageLoop(state);
  pf::UnregisterWindowClass(kClassName);
  state.thread_finished.store(true, std::memory_order_release);
}

void WaitForWindowThreadEnd(GraphicsState& state) {
  while (!state.thread_finished.load(std::memory_order_acquire)) {
    std::this_thread::sleep_for(kPollInterval);
  }
  if (state.thread.joinable()) state.thread.join();
}

}  // namespace

void DetectGraphics(std::int16_t& driver, std::int16_t& mode) {
  driver = DriverDesktop;
  mode = ModeDefaultWindow;
}

void OpenGraphics(std::int16_t& driver, std::int16_t& mode, std::string_view caption) {
  // Also links the start-up code into every program that opens a window.
  internal::EnsureGraphicsLibraryInitialised();
  GraphicsState& state = State();
  state.result = ResultOk;
  if (state.open.load(std::memory_order_acquire)) {
    state.result = ResultAlreadyOpen;
    return;
  }
  if (driver == DetectDriver) {
    DetectGraphics(state.driver, state.mode);
    driver = state.driver;
    mode = state.mode;
  } else {
    state.driver = driver;
    state.mode = mode;
  }
  ResolveDriverAndMode(state);
  if (state.result != ResultOk) return;

  state.title = caption.empty() ? std::string(kDefaultTitle)
                                : std::string(caption.substr(0, kMaxTitleLength));

  state.thread_finished.store(false, std::memory_order_relaxed);
  std::optional<std::thread> thread =
      pf::StartThread([title = state.title] { WindowThread(title); });
  if (!thread) {
    // Nothing would ever set the open flag; waiting for it would never end.
    state.thread_finished.store(true, std::memory_order_relaxed);
    state.result = ResultNoWindow;
    return;
  }
  state.thread = std::move(*thread);

  do {
    std::this_thread::sleep_for(kPollInterval);
  } while (!state.open.load(std::memory_order_acquire) && state.result == ResultOk);
  if (!state.open.load(std::memory_order_acquire)) {
    WaitForWindowThreadEnd(state);  // the thread failed and is ending
    return;
  }

  state.shown_page = 0;
  SetDrawPage(0);
  internal::InstallDefaultFaces();
  if (state.result != ResultOk) return;
  {
    // The window thread's painting reads the clip region under the lock.
    std::lock_guard lock(state.lock);
    state.clip_region = {};
    state.pattern_bitmap = {};
  }
  internal::InstallDefaultColors();
  internal::ResetDrawingState();
  internal::SetUpOpenGL();
  pf::RequestShow(state.window, pf::StartupShowCommand());
  pf::RequestShow(state.window, pf::ShowCommand::kShowNormal);
  CloseRequested = false;
}

void CloseGraphics() {
  GraphicsState& state = State();
  state.result = ResultOk;
  if (!state.open.load(std::memory_order_acquire)) {
    state.result = ResultNotOpen;
    return;
  }
  state.open.store(false, std::memory_order_release);
  internal::ReleaseOpenGL();
  pf::PostMessage(state.window, pf::kMsgUser, 0, 0);
  WaitForWindowThreadEnd(state);
}

bool GraphicsOpen() { return State().open.load(std::memory_order_acquire); }

std::int16_t LastResult() { return State().result.load(); }

std::int16_t LastColumn() { return static_cast<std::int16_t>(State().last_column.load()); }

std::int16_t LastRow() { return static_cast<std::int16_t>(State().last_row.load()); }

}  // namespace tavlo
