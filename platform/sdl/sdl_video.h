#pragma once

#include <mutex>

#include "platform/backend.h"

// The video subsystem of SDL, shared by every SDL window of the process.
namespace tavlo::platform::sdl {

// Serialises every SDL call of the process: SDL's initialisation and its video layer are not
// safe to enter from two threads at once. Taken before a window surface's mutex, never after.
std::mutex& SdlMutex();

// Initialises the video subsystem on the calling thread with a real video driver (never the
// offscreen or dummy one), so that it fails when no display can be opened. Caller holds
// SdlMutex. Each success is balanced by QuitVideo on the same thread.
bool InitVideo();
void QuitVideo();

// The desktop's size, read once with a short-lived initialisation; 1920 by 1080 when no display
// can be opened, so that a program goes on to create its window and fails there.
ScreenSize DesktopSize();

}  // namespace tavlo::platform::sdl
