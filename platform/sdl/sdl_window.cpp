#include "platform/sdl/sdl_window.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "platform/sdl/sdl_video.h"

namespace tavlo::platform::sdl {
namespace {

constexpr int kDefaultRefreshRate = 60;

struct Registered {
  WindowHandle handle = 0;
  bool exposed = false;
};

// Guarded by SdlMutex; never destroyed, as window threads may outlive static destruction.
std::map<Uint32, Registered>& Registry() {
  static auto* const registry = new std::map<Uint32, Registered>;
  return *registry;
}

// True (once) when the window's pixels were lost since its last present.
bool TakeExposed(SDL_Window* window) {
  auto& registry = Registry();
  const auto found = registry.find(SDL_GetWindowID(window));
  if (found == registry.end()) return false;
  return std::exchange(found->second.exposed, false);
}

}  // namespace

std::unique_ptr<SdlWindow> SdlWindow::Create(const NativeWindowRequest& request) {
  std::unique_ptr<SdlWindow> made(new SdlWindow);
  std::lock_guard lock(SdlMutex());
  if (!made->MakeLocked(request)) {
    made->ReleaseLocked();
    return nullptr;
  }
  Registry()[SDL_GetWindowID(made->window_)] = Registered{request.handle, false};
  return made;
}

bool SdlWindow::MakeLocked(const NativeWindowRequest& request) {
  if (!InitVideo()) return false;
  video_initialised_ = true;

  const int x = request.default_position ? SDL_WINDOWPOS_CENTERED : request.client_x;
  const int y = request.default_position ? SDL_WINDOWPOS_CENTERED : request.client_y;
  // SDL makes no window without a pixel; an empty client area still gets its window.
  const int width = std::max(request.client_width, 1);
  const int height = std::max(request.client_height, 1);
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (request.popup) flags |= SDL_WINDOW_BORDERLESS;
  window_ = SDL_CreateWindow(request.title.c_str(), x, y, width, height, flags);
  if (window_ == nullptr) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) return false;
  if (request.client_width > 0 && request.client_height > 0) {
    // ARGB8888 words are our 0x00RRGGBB pixel words.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 request.client_width, request.client_height);
    if (texture_ == nullptr) return false;
  }

  SDL_DisplayMode mode;
  const bool rate_known = SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0;
  const int refresh_rate = rate_known ? mode.refresh_rate : kDefaultRefreshRate;
  frame_period_ = std::chrono::nanoseconds(1'000'000'000 / refresh_rate);
  return true;
}

void SdlWindow::ReleaseLocked() {
  if (window_ != nullptr) Registry().erase(SDL_GetWindowID(window_));
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (video_initialised_) QuitVideo();
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  video_initialised_ = false;
}

SdlWindow::~SdlWindow() {
  std::lock_guard lock(SdlMutex());
  ReleaseLocked();
}

void SdlWindow::SetVisible(bool visible) {
  std::lock_guard lock(SdlMutex());
  if (visible) {
    SDL_ShowWindow(window_);
  } else {
    SDL_HideWindow(window_);
  }
}

void SdlWindow::Raise() {
  std::lock_guard lock(SdlMutex());
  SDL_RaiseWindow(window_);
}

bool SdlWindow::Present(WindowSurface& window_surface) {
  std::lock_guard sdl_lock(SdlMutex());
  if (texture_ == nullptr) return false;
  const bool exposed = TakeExposed(window_);
  void* pixels = nullptr;
  int pitch = 0;
  // The software renderer's streaming texture keeps its pixels between locks, so only the
  // changed rows need copying.
  if (SDL_LockTexture(texture_, nullptr, &pixels, &pitch) != 0) return false;
  Rect changed;
  {
    std::lock_guard surface_lock(window_surface.mutex());
    const Surface* const surface = window_surface.surface();
    if (surface != nullptr) {
      changed = Intersect(window_surface.TakeChanged(), surface->bounds());
      if (!changed.Empty()) {
        const std::size_t offset = static_cast<std::size_t>(changed.left) * 4;
        const std::size_t bytes = static_cast<std::size_t>(changed.Width()) * 4;
        auto* const destination = static_cast<std::uint8_t*>(pixels);
        for (int row = changed.top; row < changed.bottom; ++row) {
          std::memcpy(destination +
                          static_cast<std::size_t>(row) * static_cast<std::size_t>(pitch) + offset,
                      surface->Row(row) + offset, bytes);
        }
      }
    }
  }
  SDL_UnlockTexture(texture_);
  if (changed.Empty() && !exposed) return false;
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  return true;
}

WindowHandle HandleOfSdlWindow(Uint32 sdl_window_id) {
  const auto& registry = Registry();
  const auto found = registry.find(sdl_window_id);
  return found == registry.end() ? 0 : found->second.handle;
}

std::vector<WindowHandle> AllSdlWindowHandles() {
  std::vector<WindowHandle> handles;
  for (const auto& [id, registered] : Registry()) handles.push_back(registered.handle);
  return handles;
}

void MarkExposed(Uint32 sdl_window_id) {
  auto& registry = Registry();
  const auto found = registry.find(sdl_window_id);
  if (found != registry.end()) found->second.exposed = true;
}

}  // namespace tavlo::platform::sdl
