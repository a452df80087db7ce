// The effects show: seven animated effects, each in a window of its own, each ended by a key.

#include <cstdio>

#include "effects/show.h"

int main() { return tavlo::effects::RunShow(stderr); }
