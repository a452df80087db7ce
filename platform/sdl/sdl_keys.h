#pragma once

#include <SDL.h>

#include <cstdint>

namespace tavlo::platform::sdl {

// The virtual-key number of a key, as in platform/virtual_keys.h; 0 for a key without one. The
// keypad's digit keys are the navigation keys while Num Lock is off.
std::uint32_t VirtualKeyOf(const SDL_Keysym& keysym);

}  // namespace tavlo::platform::sdl
