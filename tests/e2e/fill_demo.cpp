// Draws a known picture in stages for the end-to-end fill test: solid, hatched and pattern boxes
// and a viewport (stage 1), a palette entry change (stage 2), a box on a hidden page (stage 3)
// and that page shown (stage 4). After drawing each stage it prints "stage N" on standard output
// and waits for a key. test_fill_demo.py holds the same layout as its expected picture.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "keyboard/keys.h"
#include "tavlo/graphics.h"

namespace {

// Ends the program with exit code 2 when the operation just called failed.
void Require(const char* operation) {
  const std::int16_t result = tavlo::LastResult();
  if (result == tavlo::ResultOk) return;
  std::fprintf(stderr, "fill_demo: %s left result %d\n", operation, result);
  tavlo::CloseGraphics();
  std::exit(2);
}

void Fill(std::uint16_t pattern, std::uint32_t color) {
  tavlo::SetFill(pattern, color);
  Require("SetFill");
}

void Box(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  tavlo::FillBox(x1, y1, x2, y2);
  Require("FillBox");
}

void Background(std::uint32_t color) {
  tavlo::SetBackgroundColor(color);
  Require("SetBackgroundColor");
}

void Viewport(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, bool clip) {
  tavlo::SetViewportRect(x1, y1, x2, y2, clip);
  Require("SetViewportRect");
}

void UserFill(const std::array<std::uint8_t, 8>& pattern, std::uint32_t color) {
  tavlo::SetUserFill(pattern, color);
  Require("SetUserFill");
}

void EndStage(int stage) {
  std::printf("stage %d\n", stage);
  std::fflush(stdout);
  tavlo::NextKey();
}

// Solid boxes, a background-pattern box and a hollow fill.
void DrawSolidBoxes() {
  Fill(tavlo::FillSolid, 4);
  Box(16, 16, 79, 63);
  Fill(tavlo::FillSolid, 9);
  Box(96, 16, 159, 63);
  Fill(tavlo::FillSolid, 300);  // wraps to entry 44
  Box(176, 16, 239, 63);
  Fill(tavlo::FillSolid, 13);
  Box(319, 63, 256, 16);  // corners given crossed
  Fill(tavlo::FillSolid, 15);
  Box(336, 16, 399, 63);
  Fill(tavlo::FillBackground, 14);  // paints the background colour (black), not 14
  Box(352, 32, 383, 47);
  Fill(tavlo::FillHollow, 14);
  Box(336, 16, 399, 63);
}

// Each hatch over a box of the background colour, so the gaps look the same whether the
// background mode is transparent or opaque.
void DrawHatchedBoxes() {
  Background(1);
  for (std::uint16_t pattern = tavlo::FillHorizontal; pattern <= tavlo::FillDiagonalCross;
       ++pattern) {
    const auto left = static_cast<std::int16_t>(19 + 80 * (pattern - tavlo::FillHorizontal));
    const auto right = static_cast<std::int16_t>(left + 60);
    Fill(tavlo::FillSolid, 1);
    Box(left, 99, right, 159);
    Fill(pattern, 14);
    Box(left, 99, right, 159);
  }
}

// User patterns: colours fixed when the pattern is made.
void DrawPatternBoxes() {
  Background(2);
  UserFill({0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}, 12);
  Background(1);  // does not recolour the pattern made above
  Box(19, 189, 98, 252);
  Fill(tavlo::FillUser, 6);  // the pattern keeps its own colours
  Box(115, 189, 194, 252);
  UserFill({0xF8, 0x80, 0x80, 0xF0, 0x80, 0x80, 0x80, 0x00}, 11);  // an "F": not symmetric
  Box(211, 189, 290, 252);
}

// A clipping viewport whose origin is not on the hatch grid, then one that does not clip.
void DrawViewportBoxes() {
  Viewport(403, 301, 498, 396, true);
  Fill(tavlo::FillSolid, 10);
  Box(-30, -30, 40, 200);
  Fill(tavlo::FillSolid, 1);
  Box(50, -10, 200, 95);
  Fill(tavlo::FillDiagonalCross, 15);
  Box(50, -10, 200, 95);
  Viewport(500, 20, 600, 60, false);
  Fill(tavlo::FillSolid, 5);
  Box(0, 0, 120, 9);
  Viewport(0, 0, 639, 479, false);
}

}  // namespace

int main() {
  std::int16_t driver = tavlo::Driver8Bit;
  std::int16_t mode = tavlo::Mode640x480;
  tavlo::OpenGraphics(driver, mode, "FILL DEMO");
  if (!tavlo::GraphicsOpen()) {
    std::fprintf(stderr, "fill_demo: cannot open the graphics window (result %d)\n",
                 tavlo::LastResult());
    return 1;
  }

  DrawSolidBoxes();
  DrawHatchedBoxes();
  DrawPatternBoxes();
  DrawViewportBoxes();
  EndStage(1);

  tavlo::SetPaletteEntry(4, 0x112, 0x234, 0x356);  // only the low bytes count: 12 34 56
  Require("SetPaletteEntry");
  EndStage(2);

  tavlo::SetDrawPage(1);
  Require("SetDrawPage");
  Fill(tavlo::FillSolid, 14);
  Box(100, 400, 299, 459);
  EndStage(3);

  tavlo::SetShownPage(1);
  Require("SetShownPage");
  Fill(tavlo::FillSolid, 9);
  Box(400, 400, 449, 449);  // page 1 is both drawn and shown now: straight to the window
  EndStage(4);

  tavlo::CloseGraphics();
  Require("CloseGraphics");
  return 0;
}
