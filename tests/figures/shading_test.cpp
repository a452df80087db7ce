// The shade rule and the two figures, cell by cell on the page of a 640 by 480 window of 256
// colours: the worked examples typed in, and other sizes against the reference drawing.

#include "figures/shading.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/graphics_fixture.h"
#include "support/picture.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/figures/reference_frame.h"

namespace tavlo::figures {
namespace {

namespace ref = figures::testing;

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

struct ShadeCase {
  const char* name;
  std::int32_t x, y, cx, cy, rx, ry, step;
  std::int32_t want;
};

void PrintTo(const ShadeCase& c, std::ostream* os) { *os << c.name; }

const ShadeCase kShadeCases[] = {
    {"diamond_corner", 8, 9, 10, 10, 2, 1, 2, 6},
    {"diamond_truncates_toward_zero", 9, 9, 10, 10, 2, 1, 2, 4},  // (-1 * 1) div 2 is 0
    {"diamond_above_centre", 10, 9, 10, 10, 2, 1, 2, 4},
    {"diamond_right_end_of_centre_row", 12, 10, 10, 10, 2, 1, 2, 2},
    {"diamond_centre", 10, 10, 10, 10, 2, 1, 2, 0},
    {"ellipse_row9_left_end", 7, 9, 10, 10, 3, 2, 1, 3},
    {"ellipse_row9_second", 8, 9, 10, 10, 3, 2, 1, 2},
    {"ellipse_row9_third", 9, 9, 10, 10, 3, 2, 1, 1},
    {"ellipse_row10_right_end", 13, 10, 10, 10, 3, 2, 1, 2},
    {"ellipse_top_cell", 10, 8, 10, 10, 3, 2, 1, 3},
    // Frame 1's diamond (half-sizes 45 and 21): its corner takes the largest contour, 2 (45 + 21).
    {"widest_corner", 273 - 45, 208 - 21, 273, 208, 45, 21, 2, 132},
    {"zero_half_height_gives_term_0", 12, 10, 10, 10, 3, 0, 1, 0},
    {"zero_half_width_gives_term_0", 10, 11, 10, 10, 0, 2, 2, 0},
    // 32-bit wrap-around, without a fault: 65536 * 65536 wraps to 0 before the division.
    {"product_wraps_before_dividing", 0, 65536, 0, 0, 65536, 3, 1, 0},
    // -2^31 div -1 wraps to -2^31, whose magnitude wraps to itself.
    {"quotient_wraps", 0, kMin32, 0, 0, 1, -1, 1, kMin32},
};

class ShadeTable : public ::testing::TestWithParam<ShadeCase> {};

TEST_P(ShadeTable, GivesTheContourColour) {
  const ShadeCase& c = GetParam();
  EXPECT_EQ(Shade(c.x, c.y, c.cx, c.cy, c.rx, c.ry, c.step), c.want);
}

INSTANTIATE_TEST_SUITE_P(WorkedValues, ShadeTable, ::testing::ValuesIn(kShadeCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

// Every page starts this colour in these tests, so that a cell drawn in colour 0 shows.
constexpr std::uint8_t kBackground = 200;

enum class Shape { kDiamond, kEllipse };

struct Cell {
  std::int32_t x;
  std::int32_t y;
  std::uint8_t color;
};

// Runs one of the routines on page 0 of a fresh window painted kBackground first.
std::shared_ptr<platform::Surface> DrawOnPage(Shape shape, std::int32_t cx, std::int32_t cy,
                                              std::int32_t rx, std::int32_t ry, std::int32_t step) {
  tavlo::testing::OpenOrFail(Driver8Bit, Mode640x480, "FIGURES");
  SetFill(FillSolid, kBackground);
  FillBox(0, 0, 639, 479);
  if (shape == Shape::kDiamond) {
    FillDiamond(cx, cy, rx, ry, step);
  } else {
    FillEllipse(cx, cy, rx, ry, step);
  }
  auto page = inspect::SnapshotPage(0);
  CloseGraphics();
  return page;
}

// The worked examples: the cells in drawing order, so that each shared pixel line goes to the
// cell drawn later.
struct WorkedCase {
  const char* name;
  Shape shape;
  std::int32_t cx, cy, rx, ry, step;
  std::vector<Cell> cells;
};

void PrintTo(const WorkedCase& c, std::ostream* os) { *os << c.name; }

std::vector<Cell> Row(std::int32_t y, std::int32_t first_x, std::vector<std::uint8_t> colors) {
  std::vector<Cell> row;
  for (std::uint8_t color : colors) row.push_back({first_x++, y, color});
  return row;
}

std::vector<Cell> Rows(std::initializer_list<std::vector<Cell>> rows) {
  std::vector<Cell> all;
  for (const auto& row : rows) all.insert(all.end(), row.begin(), row.end());
  return all;
}

const WorkedCase kWorkedCases[] = {
    {"diamond_10_10_2_1_2", Shape::kDiamond, 10, 10, 2, 1, 2,
     Rows({Row(9, 8, {6, 4, 4, 4, 6}), Row(10, 8, {2, 0, 0, 0, 2}), Row(11, 8, {6, 4, 4, 4, 6})})},
    // Row half-widths 0, 3, 3, 3, 0; row 11 mirrors row 9.
    {"ellipse_10_10_3_2_1", Shape::kEllipse, 10, 10, 3, 2, 1,
     Rows({Row(8, 10, {3}), Row(9, 7, {3, 2, 1, 1, 1, 2, 3}), Row(10, 7, {2, 1, 0, 0, 0, 1, 2}),
           Row(11, 7, {3, 2, 1, 1, 1, 2, 3}), Row(12, 10, {3})})},
};

class WorkedFigure : public tavlo::testing::GraphicsTest,
                     public ::testing::WithParamInterface<WorkedCase> {};

TEST_P(WorkedFigure, DrawsExactlyTheseCells) {
  const WorkedCase& c = GetParam();
  const auto page = DrawOnPage(c.shape, c.cx, c.cy, c.rx, c.ry, c.step);
  ASSERT_TRUE(page);
  const auto expected = ref::BlankPage(kBackground);
  for (const Cell& cell : c.cells) ref::PaintCell(*expected, cell.x, cell.y, cell.color);
  EXPECT_TRUE(tavlo::testing::SamePicture(*page, *expected, c.name));
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, WorkedFigure, ::testing::ValuesIn(kWorkedCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

// Other figures against the reference drawing: the program's extremes, the surface's edges, and
// degenerate sizes.
struct FigureCase {
  const char* name;
  Shape shape;
  std::int32_t cx, cy, rx, ry, step;
};

void PrintTo(const FigureCase& c, std::ostream* os) { *os << c.name; }

const FigureCase kFigureCases[] = {
    {"diamond_of_frame_1", Shape::kDiamond, 273, 208, 45, 21, 2},
    {"ellipse_of_frame_1", Shape::kEllipse, 47, 208, 45, 21, 1},
    {"widest_ellipse", Shape::kEllipse, 160, 120, 46, 20, 1},
    {"tallest_ellipse", Shape::kEllipse, 160, 120, 27, 39, 1},
    {"tallest_diamond", Shape::kDiamond, 160, 120, 27, 39, 2},
    {"diamond_over_right_and_bottom_edges", Shape::kDiamond, 300, 230, 36, 30, 2},
    {"ellipse_over_left_and_top_edges", Shape::kEllipse, 5, 8, 36, 30, 1},
    {"diamond_wholly_off_the_surface", Shape::kDiamond, 400, 300, 20, 10, 2},
    {"ellipse_round", Shape::kEllipse, 100, 100, 17, 17, 1},
    {"step_wraps_into_the_low_byte", Shape::kDiamond, 100, 100, 30, 20, 7},
    {"diamond_negative_half_width", Shape::kDiamond, 100, 100, -1, 5, 2},
    {"diamond_negative_half_height", Shape::kDiamond, 100, 100, 5, -1, 2},
    {"ellipse_negative_half_height", Shape::kEllipse, 100, 100, 5, -1, 1},
    {"diamond_single_cell", Shape::kDiamond, 100, 100, 0, 0, 2},
    {"ellipse_single_row", Shape::kEllipse, 100, 100, 4, 0, 1},
    {"ellipse_single_column", Shape::kEllipse, 100, 100, 0, 4, 1},
};

class FigureTable : public tavlo::testing::GraphicsTest,
                    public ::testing::WithParamInterface<FigureCase> {};

TEST_P(FigureTable, MatchesTheReferenceDrawing) {
  const FigureCase& c = GetParam();
  const auto page = DrawOnPage(c.shape, c.cx, c.cy, c.rx, c.ry, c.step);
  ASSERT_TRUE(page);
  const auto expected = ref::BlankPage(kBackground);
  if (c.shape == Shape::kDiamond) {
    ref::PaintDiamond(*expected, c.cx, c.cy, c.rx, c.ry, c.step);
  } else {
    ref::PaintEllipse(*expected, c.cx, c.cy, c.rx, c.ry, c.step);
  }
  EXPECT_TRUE(tavlo::testing::SamePicture(*page, *expected, c.name));
}

INSTANTIATE_TEST_SUITE_P(Figures, FigureTable, ::testing::ValuesIn(kFigureCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

}  // namespace
}  // namespace tavlo::figures
