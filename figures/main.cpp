// The deformable figures: a diamond-shaded rectangle and an ellipse that bounce, stretch and
// squash in one window until a key is pressed.

#include <cstdio>

#include "figures/program.h"

int main() { return tavlo::figures::RunFigures(stderr); }
