// The window thread's message loop on the in-memory window system: how long a message posted
// from another thread takes to reach the window procedure.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <thread>

#include "platform/messages.h"
#include "platform/window_system.h"

namespace {

namespace pf = tavlo::platform;

std::atomic<std::uint32_t> handled{0};

std::int32_t CountingProcedure(pf::WindowHandle window, std::uint32_t message, std::uint32_t wparam,
                               std::int32_t lparam) {
  switch (message) {
    case pf::kMsgUser:
      handled.store(wparam, std::memory_order_release);
      handled.notify_one();
      return 0;
    case pf::kMsgUser + 1:
      pf::DestroyWindow(window);
      return 0;
    case pf::kMsgDestroy:
      pf::PostQuitMessage(0);
      return 0;
    default:
      return pf::DefaultWindowProcedure(window, message, wparam, lparam);
  }
}

// One message posted and handled at a time: the wake-up latency of a waiting window thread.
void BM_PostedMessageRoundTrip(benchmark::State& state) {
  pf::WindowClass window_class;
  window_class.name = "MessageLoopBench";
  window_class.procedure = &CountingProcedure;
  if (!pf::RegisterWindowClass(window_class)) {
    state.SkipWithError("class registration failed");
    return;
  }
  std::promise<pf::WindowHandle> made;
  std::thread window_thread([&] {
    made.set_value(pf::CreateWindow("MessageLoopBench", "Bench", pf::kStylePopup, 0, 0, 64, 64));
    pf::Message message;
    while (pf::GetMessage(&message) == 1) pf::DispatchMessage(message);
  });
  const pf::WindowHandle window = made.get_future().get();

  std::uint32_t sequence = 0;
  handled = 0;
  for (auto _ : state) {
    ++sequence;
    pf::PostMessage(window, pf::kMsgUser, sequence, 0);
    for (std::uint32_t seen = handled.load(std::memory_order_acquire); seen != sequence;
         seen = handled.load(std::memory_order_acquire)) {
      handled.wait(seen, std::memory_order_acquire);
    }
  }
  state.SetItemsProcessed(state.iterations());

  pf::PostMessage(window, pf::kMsgUser + 1, 0, 0);
  window_thread.join();
  pf::UnregisterWindowClass("MessageLoopBench");
}
BENCHMARK(BM_PostedMessageRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
