// OpenGL rendering contexts for the window and the draw page.

#include "tavlo/opening_steps.h"

namespace tavlo::internal {

// No rendering contexts are made yet; the library's own drawing does not need them.
void SetUpOpenGL() {}

void ReleaseOpenGL() {}

}  // namespace tavlo::internal
