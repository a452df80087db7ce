// Screen metrics, the desktop depth, threads and the start-up show command.
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <system_error>
#include <utility>

#include "platform/backend.h"
#include "platform/window_system.h"

namespace tavlo::platform {
namespace {

// One step above the nice value the thread started with. Lowering a nice value needs a
// privilege most users lack; a refusal leaves the thread as it is.
void RaiseThisThreadPriority() {
  const int saved_errno = errno;
  const id_t thread_id = static_cast<id_t>(gettid());
  errno = 0;
  const int nice_value = getpriority(PRIO_PROCESS, thread_id);
  if (errno == 0) setpriority(PRIO_PROCESS, thread_id, nice_value - 1);
  errno = saved_errno;
}

}  // namespace

std::int32_t SystemMetric(Metric metric) {
  WindowBackend& backend = ActiveBackend();
  switch (metric) {
    case Metric::kScreenWidth:
      return backend.Screen().width;
    case Metric::kScreenHeight:
      return backend.Screen().height;
    case Metric::kDialogFrameWidth:
      return backend.Frame().frame_width;
    case Metric::kDialogFrameHeight:
      return backend.Frame().frame_height;
    case Metric::kCaptionHeight:
      return backend.Frame().caption_height;
  }
  return 0;
}

int DesktopBitsPerPixel() { return 32; }

std::optional<std::thread> StartThread(std::function<void()> body) {
  if (!body) return std::nullopt;
  if (ActiveBackend().TakeThreadStartFailure()) return std::nullopt;
  try {
    return std::thread([body = std::move(body)] {
      RaiseThisThreadPriority();
      body();
    });
  } catch (const std::system_error&) {
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

ShowCommand StartupShowCommand() { return ShowCommand::kShowDefault; }

}  // namespace tavlo::platform
