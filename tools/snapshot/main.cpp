// tavlo-snapshot EFFECT STEPS OUT.png [--page N] [--seed S]: runs an effect of the show, or frames of the
// figures, on the in-memory window system and writes what its window shows (or one of its pages)
// as a PNG. Exit status 0 when written, 1 when the window or the file failed, 2 for a wrong command
// line.

#include <cstdio>
#include <span>

#include "effects/random.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tools/png/png.h"
#include "tools/snapshot/arguments.h"
#include "tools/snapshot/run.h"

namespace {

bool WritePicture(const tavlo::snapshot::Arguments& arguments) {
  if (arguments.page) {
    const tavlo::inspect::IndexedPicture page = tavlo::inspect::PagePicture(*arguments.page);
    return tavlo::png::WriteIndexed(arguments.out, page.width, page.height, page.bits_per_pixel,
                                    page.rows, page.palette);
  }
  const tavlo::inspect::RgbPicture window = tavlo::inspect::WindowPicture();
  return tavlo::png::WriteRgb(arguments.out, window.width, window.height, window.pixels);
}

}  // namespace

int main(int argc, char** argv) {
  const char* const* const first = argv + (argc > 0 ? 1 : 0);
  const std::span<const char* const> words(first,
                                           static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
  const auto arguments = tavlo::snapshot::ParseArguments(words);
  if (!arguments) {
    std::fprintf(stderr, "%s\n", tavlo::snapshot::UsageLine().c_str());
    return 2;
  }
  tavlo::effects::FixSeed(arguments->seed);
  switch (tavlo::snapshot::OpenAndRun(*arguments->effect, arguments->steps)) {
    case tavlo::snapshot::RunOutcome::kShown:
      break;
    case tavlo::snapshot::RunOutcome::kNoWindow:
      std::fprintf(stderr, "tavlo-snapshot: the graphics window did not open (result %d)\n",
                   tavlo::LastResult());
      return 1;
    case tavlo::snapshot::RunOutcome::kNotShown:
      std::fprintf(stderr, "tavlo-snapshot: the window never showed the last frame\n");
      tavlo::CloseGraphics();
      return 1;
  }
  const bool written = WritePicture(*arguments);
  tavlo::CloseGraphics();
  if (!written) {
    std::fprintf(stderr, "tavlo-snapshot: cannot write %s\n", arguments->out.c_str());
    return 1;
  }
  return 0;
}
