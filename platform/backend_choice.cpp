// Which backend serves the process. The choice is a single atomic word so that it can be made
// from static initialisers of any translation unit, before anything else has been constructed.
#include <atomic>

#include "platform/backend.h"
#include "platform/window_system.h"

namespace tavlo::platform {
namespace {

enum : int { kUnchosen = 0, kChoseSdl = 1, kChoseHeadless = 2 };

constinit std::atomic<int> chosen_backend{kUnchosen};

int CodeOf(Backend backend) { return backend == Backend::kSdl ? kChoseSdl : kChoseHeadless; }

}  // namespace

bool ChooseBackend(Backend backend) {
  int expected = kUnchosen;
  const int wanted = CodeOf(backend);
  if (chosen_backend.compare_exchange_strong(expected, wanted)) return true;
  return expected == wanted;
}

Backend CurrentBackend() {
  int expected = kUnchosen;
  // The first question fixes the default, so that every later call sees the same answer.
  chosen_backend.compare_exchange_strong(expected, kChoseSdl);
  return chosen_backend.load() == kChoseHeadless ? Backend::kHeadless : Backend::kSdl;
}

WindowBackend& ActiveBackend() {
  return CurrentBackend() == Backend::kHeadless ? HeadlessBackend() : SdlBackend();
}

}  // namespace tavlo::platform
