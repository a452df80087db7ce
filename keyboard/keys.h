#pragma once

// The keyboard unit: the graphics window's keys as a queue of one-byte codes. A key with a
// character is its character code; a key without one is a zero followed by a second code.

#include <cstdint>

namespace tavlo {

// True when a code is queued. Codes left from a closed window still count.
bool KeyWaiting();
// Waits for the next code and removes it; 0 at once, removing nothing, when no graphics window
// is open.
std::uint8_t NextKey();
// Sleeps the calling thread.
void Pause(std::uint16_t milliseconds);

}  // namespace tavlo
