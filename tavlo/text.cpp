// Fonts and text settings.

#include "tavlo/opening_steps.h"

namespace tavlo::internal {

// The built-in faces come with the font catalogue; until then every face counts as installed.
void InstallDefaultFaces() {}

}  // namespace tavlo::internal
