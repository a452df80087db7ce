#pragma once

#include <cstdint>

namespace tavlo::effects {

// The colour of block cell (i, j), 0 to 100 each, in a frame of amplitude A:
// ((p AND 15) + 16) XOR (q AND 15) with p = cos(i / 19.6) A sin(j / 19.6) + i / 8 and
// q = sin(i / 19.6) A cos(j / 19.6) + j / 8, both in extended precision, rounded with ties to
// even. Lies in 16..31.
std::uint8_t SineWaveColor(std::int32_t i, std::int32_t j, double amplitude);

// The amplitude of frame number n (from 0): cos n, kept as a double.
double SineWaveAmplitude(std::int32_t n);

}  // namespace tavlo::effects
