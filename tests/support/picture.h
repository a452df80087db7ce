#pragma once

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/surface.h"

namespace tavlo::testing {

// Writes a surface as a PNG file (uncompressed deflate blocks). A paletted surface becomes an
// indexed PNG of the same depth holding the raw indices, its colour table as the PNG palette
// (a grey ramp instead when the table has fewer than two distinct colours, so that indices stay
// visible); a 32-bit surface becomes 8-bit RGB. False when the file cannot be written.
bool WritePng(const std::string& path, const platform::Surface& surface);

// Compares two surfaces pixel for pixel: raw values on paletted surfaces, RGB on 32-bit ones;
// sizes and depths must match. On a mismatch writes name.actual.png and name.expected.png into
// the current directory and reports the first differing pixel and the number that differ.
::testing::AssertionResult SamePicture(const platform::Surface& actual,
                                       const platform::Surface& expected, std::string_view name);

}  // namespace tavlo::testing
