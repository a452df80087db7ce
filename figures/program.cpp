#include "figures/program.h"

#include "figures/animation.h"
#include "keyboard/keys.h"
#include "tavlo/graphics.h"

namespace tavlo::figures {
namespace {

// Passed by reference; with a driver other than 0 opening writes nothing back.
std::int16_t driver_variable = 0;
std::int16_t mode_variable = 0;

// Opens the window; false when there is none. Opening can end with a warning such as
// ResultNoOpenGL and a usable window, so only a missing window counts as failure.
bool Open() {
  driver_variable = Driver8Bit;
  mode_variable = Mode640x480;
  OpenGraphics(driver_variable, mode_variable, kCaption);
  return GraphicsOpen();
}

}  // namespace

int RunFigures(std::FILE* errors) {
  // Without a window no key can ever arrive to end the loop, so the program ends here.
  if (!Open()) {
    const std::string_view why = ResultMessage(LastResult());
    std::fprintf(errors, "figures: cannot open the %.*s window: %.*s\n",
                 static_cast<int>(kCaption.size()), kCaption.data(), static_cast<int>(why.size()),
                 why.data());
    return 1;
  }
  Animation animation(kFramePauseMs);
  animation.SetUp();
  do {
    animation.Step();
  } while (!KeyWaiting());
  CloseGraphics();
  return 0;
}

std::optional<std::uint16_t> OpenAndDraw(long frames) {
  if (!Open()) return std::nullopt;
  Animation animation(0);
  animation.SetUp();
  for (long i = 0; i < frames; ++i) animation.Step();
  return animation.shown_page();
}

}  // namespace tavlo::figures
