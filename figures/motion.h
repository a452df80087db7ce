#pragma once

// How both figures move: centre, height and deformation are functions of the frame counter t
// alone, through t mod 456 (sideways), t mod 200 (bounce) and t mod 20 (wobble).

#include <cstdint>

namespace tavlo::figures {

// The half-width and half-height of both figures at rest, in cells.
inline constexpr std::int32_t kRestHalfWidth = 36;
inline constexpr std::int32_t kRestHalfHeight = 30;
// The ellipse's centre column is this minus the diamond's.
inline constexpr std::int32_t kMirrorColumn = 320;
// After this many frames the motion repeats: the least common multiple of 456 and 200.
inline constexpr std::int32_t kMotionPeriod = 11400;

// X: the diamond's centre column, a triangle wave between 46 and 274 with a period of 456 frames,
// 273 at t = 1 and falling.
std::int32_t CentreColumn(std::int32_t t);
// Y: the centre row of both figures, a parabola of period 200 frames: 210 (the lowest) at
// t mod 200 = 0, up to 87 at 99 and 100.
std::int32_t CentreRow(std::int32_t t);
// A: added to the half-width and taken from the half-height; cos(t pi / 10) (199 - t mod 200) / 20
// in 80-bit reals, rounded half to even, so from -9 to 10.
std::int32_t Deformation(std::int32_t t);

// The counter of the frame after frame t: t + 1, except after 2^31 - 1, where it goes on with the
// value congruent to 2^31 modulo kMotionPeriod (8648), so the motion runs on without a seam.
std::int32_t NextFrame(std::int32_t t);

}  // namespace tavlo::figures
