#pragma once

// The figures program: one window, two shaded figures that bounce, stretch and squash, drawn on
// a hidden page and then shown, until a key is pressed.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>

namespace tavlo::figures {

inline constexpr std::string_view kCaption = "FIGURI DEFORMABILE";
// The rest after each frame in the program.
inline constexpr std::uint16_t kFramePauseMs = 10;

// Opens the 640 by 480 window of 256 palette colours, draws frames until a key waits (leaving
// the key queued) and closes the window. Returns the exit status: 0, or 1 when the window could
// not be opened, after one line on `errors` that says why.
int RunFigures(std::FILE* errors);

// The same opening, then exactly `frames` frames without the pause or a key check, and the
// window left open for a look at it (the snapshot tool); the caller closes graphics. Returns the
// page shown after the last frame; nothing, with nothing drawn, when the window did not open.
std::optional<std::uint16_t> OpenAndDraw(long frames);

}  // namespace tavlo::figures
