// The key ring: filled on the window thread by the keyboard hook, read on the program's thread.

#include "keyboard/keys.h"

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "keyboard/key_queue.h"
#include "platform/messages.h"
#include "platform/virtual_keys.h"
#include "tavlo/graphics.h"
#include "tavlo/startup.h"

namespace tavlo {
namespace keyboard {
namespace {

// One producer (the window thread) and one consumer (the program's thread). The mutex pairs a
// store with its overflow discard and a read with its advance; the indices are atomic so that
// KeyWaiting and the wait of NextKey can compare them without it. Index 0 in both means that no
// window has been made yet, which reads as empty too.
struct KeyRing {
  std::mutex mutex;
  std::array<std::uint8_t, kRingSlots + 1> slots{};  // slot 0 unused
  std::atomic<std::int32_t> read_index{0};
  std::atomic<std::int32_t> write_index{0};
};

KeyRing& Ring() {
  static KeyRing* const ring = new KeyRing;  // outlives every window thread
  return *ring;
}

std::int32_t Advanced(std::int32_t index) { return index + 1 > kRingSlots ? 1 : index + 1; }

constexpr auto kPollInterval = std::chrono::milliseconds(10);

}  // namespace

void ResetKeyQueue() {
  KeyRing& ring = Ring();
  std::lock_guard lock(ring.mutex);
  ring.read_index = 1;
  ring.write_index = 1;
}

void PushKey(std::uint8_t code) {
  KeyRing& ring = Ring();
  std::lock_guard lock(ring.mutex);
  std::int32_t write = ring.write_index.load();
  if (write == 0) return;  // no window has made the ring yet
  ring.slots[static_cast<std::size_t>(write)] = code;
  write = Advanced(write);
  ring.write_index = write;
  if (write == ring.read_index.load()) {
    std::int32_t read = ring.read_index.load();
    if (ring.slots[static_cast<std::size_t>(read)] == 0) read = Advanced(read);
    ring.read_index = Advanced(read);
  }
}

void PushExtendedKey(std::uint8_t code) {
  PushKey(0);
  PushKey(code);
}

std::int32_t KeyMessageHook(WindowHandle /*window*/, std::uint32_t message, std::uint32_t wparam,
                            std::int32_t /*lparam*/) {
  switch (message) {
    case platform::kMsgCreate:
      ResetKeyQueue();
      break;
    case platform::kMsgClose:
      PushExtendedKey(107);  // the same pair as Alt+F4
      break;
    case platform::kMsgKeyDown:
      if (wparam != platform::kVkShift && wparam != platform::kVkControl) {
        TranslateKeyDown(wparam);
      }
      break;
    case platform::kMsgChar:
      PushKey(static_cast<std::uint8_t>(wparam));
      break;
    case platform::kMsgSysKeyDown:
      if (wparam != platform::kVkMenu) TranslateKeyDown(wparam);
      break;
    default:
      break;
  }
  return 0;
}

namespace {

// The unit fills its hook slot after the library's initialisation, which empties the slots.
struct KeyboardStartup {
  KeyboardStartup() {
    internal::EnsureGraphicsLibraryInitialised();
    KeyboardHook = &KeyMessageHook;
  }
};

const KeyboardStartup keyboard_startup;

}  // namespace
}  // namespace keyboard

bool KeyWaiting() {
  const keyboard::KeyRing& ring = keyboard::Ring();
  return ring.read_index.load() != ring.write_index.load();
}

std::uint8_t NextKey() {
  if (!GraphicsOpen()) return 0;
  keyboard::KeyRing& ring = keyboard::Ring();
  while (ring.read_index.load() == ring.write_index.load()) {
    std::this_thread::sleep_for(keyboard::kPollInterval);
  }
  std::lock_guard lock(ring.mutex);
  const std::int32_t read = ring.read_index.load();
  const std::uint8_t code = ring.slots[static_cast<std::size_t>(read)];
  ring.read_index = keyboard::Advanced(read);
  return code;
}

void Pause(std::uint16_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tavlo
