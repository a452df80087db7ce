#pragma once

// The inside of the keyboard unit: the key ring, its hook and the key translation. Internal.

#include <cstdint>

#include "tavlo/graphics.h"

namespace tavlo::keyboard {

// The ring has 32 slots numbered 1 to 32 and so holds at most 31 codes.
inline constexpr std::int32_t kRingSlots = 32;

// Empties the queue: both indices 1.
void ResetKeyQueue();
// Queues a code; on a full ring the oldest code goes, and a whole pair when one is at the head.
void PushKey(std::uint8_t code);
// Queues a zero and then the code, in two separate pushes.
void PushExtendedKey(std::uint8_t code);
// Queues what a key without a character gives, by the Shift, Control and Alt state of the
// message being handled.
void TranslateKeyDown(std::uint32_t virtual_key);
// The keyboard hook: feeds the queue from the window's key, character and close messages and
// empties it when a window is created. Always 0.
std::int32_t KeyMessageHook(WindowHandle window, std::uint32_t message, std::uint32_t wparam,
                            std::int32_t lparam);

}  // namespace tavlo::keyboard
