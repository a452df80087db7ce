// DeviceContext::DrawArc: the pixels of outlines, arcs, styled and wide pens checked against a
// per-pixel reference, the raster operations on raw pixels of every depth, clipping of huge
// ellipses, and the window context's record of what changed.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/surface.h"
#include "platform/window_surface.h"
#include "tests/platform/arc_reference.h"
#include "tests/platform/dc_test_support.h"
#include "tests/support/picture.h"

namespace tavlo::platform {
namespace {

using tavlo::testing::SamePicture;
using test::Box64;
using test::MemoryDc;

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

Box64 ToBox64(const Rect& r) { return Box64{r.left, r.top, r.right, r.bottom}; }

// The ray of angle 0 from the centre of a box: a start and end point that draw the whole ellipse.
Point RightOf(const Rect& box) {
  return Point{box.right, static_cast<std::int32_t>((std::int64_t{box.top} + box.bottom) / 2)};
}

// What DrawArc is given, and the state it draws with.
struct ArcCall {
  Rect box;
  Point start;
  Point end;
};

struct DrawState {
  PenRecord pen;
  RasterOp op = RasterOp::kCopyPen;
  BackgroundMode mode = BackgroundMode::kTransparent;
  DeviceColor background = 0;
  std::optional<Rect> clip;
};

// Colours that need no palette: indices on paletted surfaces, RGB on 32-bit ones.
DeviceColor ColorFor(int depth, std::uint32_t value) {
  return depth == 32 ? Rgb(static_cast<std::uint8_t>(value >> 16),
                           static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value))
                     : PaletteIndexColor(value & 0xFF);
}

// The picture DrawArc must leave, one pixel at a time.
void ReferenceArc(Surface& s, const ArcCall& call, const DrawState& st) {
  if (st.pen.style == PenStyle::kNull) return;
  const Box64 box = ToBox64(call.box);
  const std::uint32_t mask = test::MaxValue(s.bits_per_pixel());
  const std::uint32_t pen_value = test::ReferenceResolve(st.pen.color, s, {});
  const std::uint32_t gap_value = test::ReferenceResolve(st.background, s, {});
  const bool styled = st.pen.width <= 1 && st.pen.style != PenStyle::kSolid;
  std::optional<test::PlaceMap> places;
  if (styled) places.emplace(box);
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (st.clip &&
          (x < st.clip->left || x >= st.clip->right || y < st.clip->top || y >= st.clip->bottom)) {
        continue;
      }
      if (!test::OnOutline(box, st.pen.width, x, y) ||
          !test::InArc(box, call.start, call.end, x, y))
        continue;
      const bool on = !styled || test::DashOn(st.pen.style, places->PlaceOf(x, y));
      if (!on && st.mode == BackgroundMode::kTransparent) continue;
      const std::uint32_t value = on ? pen_value : gap_value;
      s.SetPixelAt(x, y, test::ReferenceRasterOp(st.op, value, s.PixelAt(x, y)) & mask);
    }
  }
}

// Selects a pen for the life of the object.
class SelectedPen {
 public:
  SelectedPen(DeviceContext& dc, const PenRecord& pen) : dc_(dc), handle_(CreatePen(pen)) {
    dc_.SelectPen(handle_);
  }
  ~SelectedPen() {
    dc_.SelectPen(StockPen());
    DeleteObject(handle_);
  }
  SelectedPen(const SelectedPen&) = delete;
  SelectedPen& operator=(const SelectedPen&) = delete;

 private:
  DeviceContext& dc_;
  PenHandle handle_;
};

void Draw(MemoryDc& dc, const ArcCall& call, const DrawState& st) {
  SelectedPen pen(*dc.dc, st.pen);
  dc->SetRasterOp(st.op);
  dc->SetBackgroundMode(st.mode);
  dc->SetBackgroundColor(st.background);
  RegionHandle region;
  if (st.clip) region = CreateRectRegion(*st.clip);
  dc->SelectClipRegion(region);
  dc->DrawArc(call.box, call.start, call.end);
  dc->SelectClipRegion(RegionHandle{});
  if (region) DeleteObject(region);
}

// Draws on the surface and compares with the reference drawn on a copy of it.
::testing::AssertionResult DrawsAsReference(std::shared_ptr<Surface> surface, const ArcCall& call,
                                            const DrawState& st, const std::string& name) {
  auto expected = test::Copy(*surface);
  ReferenceArc(*expected, call, st);
  MemoryDc dc(surface);
  Draw(dc, call, st);
  return SamePicture(*surface, *expected, name);
}

// Test names from the cases' own names.
template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& param_info) {
  return param_info.param.name;
}

DrawState PenState(const PenRecord& pen) {
  DrawState st;
  st.pen = pen;
  return st;
}

PenRecord SolidPen(DeviceColor color, std::uint32_t width = 1) {
  return PenRecord{PenStyle::kSolid, width, color};
}

std::vector<Point> SetPixels(const Surface& s) {
  std::vector<Point> points;
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (s.PixelAt(x, y) != 0) points.push_back(Point{x, y});
    }
  }
  return points;
}

// ---------------------------------------------------------------------------------------------
// The outline's extreme pixels lie on the box's sides: the right column and bottom row excluded.

struct ExtremesCase {
  std::string name;
  Rect box;
};

void PrintTo(const ExtremesCase& c, std::ostream* os) { *os << c.name; }

class ArcExtremes : public ::testing::TestWithParam<ExtremesCase> {};

TEST_P(ArcExtremes, TouchTheFourSidesOfTheBox) {
  const ExtremesCase& c = GetParam();
  for (std::uint32_t width : {0u, 1u}) {
    auto surface = Surface::Create(240, 200, 8, 256);
    MemoryDc dc(surface);
    Draw(dc, ArcCall{c.box, RightOf(c.box), RightOf(c.box)},
         PenState(SolidPen(PaletteIndexColor(9), width)));
    const std::vector<Point> points = SetPixels(*surface);
    ASSERT_FALSE(points.empty());
    int left = kMax32, top = kMax32, right = kMin32, bottom = kMin32;
    for (Point p : points) {
      left = std::min(left, p.x);
      right = std::max(right, p.x);
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
    EXPECT_EQ(left, c.box.left) << "width " << width;
    EXPECT_EQ(right, c.box.right - 1) << "width " << width;
    EXPECT_EQ(top, c.box.top) << "width " << width;
    EXPECT_EQ(bottom, c.box.bottom - 1) << "width " << width;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ArcExtremes,
    ::testing::Values(
        // A circle of radius 10 centred at (100, 100): extremes at 90 and 110 both ways.
        ExtremesCase{"Radius10Circle", Rect{90, 90, 111, 111}},
        // The same circle after halving the aspect: y from 95 to 105.
        ExtremesCase{"HalvedHeight", Rect{90, 95, 111, 106}},
        ExtremesCase{"Ellipse20By10", Rect{80, 90, 121, 111}},
        ExtremesCase{"EvenCircle", Rect{10, 10, 18, 18}},
        ExtremesCase{"EvenByOdd", Rect{30, 40, 36, 49}},
        ExtremesCase{"OnePixel", Rect{50, 50, 51, 51}},
        ExtremesCase{"TwoByTwo", Rect{60, 60, 62, 62}},
        ExtremesCase{"VerticalLine", Rect{20, 20, 21, 27}},
        ExtremesCase{"HorizontalLine", Rect{20, 150, 29, 151}},
        ExtremesCase{"TwoWideAndTall", Rect{30, 10, 32, 190}},
        ExtremesCase{"ThreeWideAndTall", Rect{40, 10, 43, 190}},
        ExtremesCase{"FlatTwoHigh", Rect{5, 170, 235, 172}},
        ExtremesCase{"FlatThreeHigh", Rect{5, 180, 235, 183}},
        ExtremesCase{"LargeEllipse", Rect{1, 2, 239, 199}}),
    CaseName<ExtremesCase>);

// ---------------------------------------------------------------------------------------------
// Whole outlines: every box size up to 40 by 40, drawn once with exclusive-or on an empty page.

bool EightConnected(const std::vector<Point>& points) {
  if (points.empty()) return true;
  std::set<std::pair<int, int>> left;
  for (Point p : points) left.insert({p.x, p.y});
  std::vector<std::pair<int, int>> stack{*left.begin()};
  left.erase(left.begin());
  while (!stack.empty()) {
    const auto [x, y] = stack.back();
    stack.pop_back();
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const auto it = left.find({x + dx, y + dy});
        if (it == left.end()) continue;
        stack.push_back(*it);
        left.erase(it);
      }
    }
  }
  return left.empty();
}

TEST(ArcOutline, EveryPixelOnceConnectedAndSymmetricForAllSmallBoxes) {
  for (int w = 1; w <= 40; ++w) {
    for (int h = 1; h <= 40; ++h) {
      SCOPED_TRACE(::testing::Message() << w << " by " << h);
      auto surface = Surface::Create(48, 48, 8, 256);
      const Rect box{3, 4, 3 + w, 4 + h};
      const ArcCall call{box, RightOf(box), RightOf(box)};
      DrawState st = PenState(SolidPen(PaletteIndexColor(1)));
      st.op = RasterOp::kXorPen;
      // A pixel written twice would read 0 again, and differ from the reference.
      ASSERT_TRUE(DrawsAsReference(surface, call, st, "outline_once"));
      const std::vector<Point> points = SetPixels(*surface);
      EXPECT_TRUE(EightConnected(points));
      for (Point p : points) {
        const int mx = box.left + box.right - 1 - p.x;
        const int my = box.top + box.bottom - 1 - p.y;
        ASSERT_NE(surface->PixelAt(mx, p.y), 0u) << p.x << "," << p.y;
        ASSERT_NE(surface->PixelAt(p.x, my), 0u) << p.x << "," << p.y;
        if (w == h) {
          ASSERT_NE(surface->PixelAt(box.left + p.y - box.top, box.top + p.x - box.left), 0u);
        }
      }
      // The reference's places count steps: one quarter is one 8-connected path in place order.
      const test::PlaceMap places(ToBox64(box));
      const auto& order = places.order();
      for (std::size_t i = 1; i < order.size(); ++i) {
        ASSERT_LE(std::abs(order[i].first - order[i - 1].first), 1);
        ASSERT_LE(std::abs(order[i].second - order[i - 1].second), 1);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Arcs.

TEST(ArcSweep, QuarterFromZeroToNinetyDegrees) {
  // The box of a 20 by 10 ellipse centred at (100, 60), from 0 degrees to 90 degrees.
  const Rect box{80, 50, 121, 71};
  auto surface = Surface::Create(160, 100, 8, 256);
  const ArcCall call{box, Point{120, 60}, Point{100, 50}};
  ASSERT_TRUE(
      DrawsAsReference(surface, call, PenState(SolidPen(PaletteIndexColor(5))), "quarter_arc"));
  EXPECT_EQ(surface->PixelAt(120, 60), 5u);
  EXPECT_EQ(surface->PixelAt(100, 50), 5u);
  // The quarter is exactly the whole outline's pixels at or above the centre row and at or right
  // of the centre column.
  auto whole = Surface::Create(160, 100, 8, 256);
  MemoryDc whole_dc(whole);
  Draw(whole_dc, ArcCall{box, RightOf(box), RightOf(box)},
       PenState(SolidPen(PaletteIndexColor(5))));
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 160; ++x) {
      const std::uint32_t want = x >= 100 && y <= 60 ? whole->PixelAt(x, y) : 0u;
      ASSERT_EQ(surface->PixelAt(x, y), want) << x << "," << y;
    }
  }
}

struct SweepCase {
  std::string name;
  Rect box;
  Point start;
  Point end;
};

void PrintTo(const SweepCase& c, std::ostream* os) { *os << c.name; }

class ArcSweeps : public ::testing::TestWithParam<SweepCase> {};

TEST_P(ArcSweeps, MatchReference) {
  const SweepCase& c = GetParam();
  for (std::uint32_t width : {1u, 5u}) {
    auto surface = Surface::Create(120, 100, 8, 256);
    EXPECT_TRUE(DrawsAsReference(surface, ArcCall{c.box, c.start, c.end},
                                 PenState(SolidPen(PaletteIndexColor(3), width)),
                                 "sweep_" + c.name));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, ArcSweeps,
    ::testing::Values(
        // Centre (60, 50) unless said otherwise.
        SweepCase{"AcrossZeroDegrees", Rect{20, 20, 101, 81}, Point{90, 80}, Point{90, 20}},
        SweepCase{"ThreeQuartersUpToZero", Rect{20, 20, 101, 81}, Point{60, 10}, Point{70, 50}},
        SweepCase{"HalfTurnUpperHalf", Rect{20, 20, 101, 81}, Point{100, 50}, Point{0, 50}},
        SweepCase{"HalfTurnLowerHalf", Rect{20, 20, 101, 81}, Point{0, 50}, Point{100, 50}},
        SweepCase{"NarrowAroundNinety", Rect{20, 20, 101, 81}, Point{61, 0}, Point{59, 0}},
        SweepCase{"AlmostWholeTurn", Rect{20, 20, 101, 81}, Point{59, 0}, Point{61, 0}},
        SweepCase{"EvenBoxCentreBetweenPixels", Rect{10, 10, 50, 40}, Point{40, 11}, Point{9, 40}},
        SweepCase{"RaysFarOutside", Rect{20, 20, 101, 81}, Point{kMax32, -7},
                  Point{kMin32, kMax32}},
        SweepCase{"StartAtCentre", Rect{20, 20, 101, 81}, Point{60, 50}, Point{60, 0}},
        SweepCase{"EndAtCentre", Rect{20, 20, 101, 81}, Point{60, 100}, Point{60, 50}},
        SweepCase{"EllipsePartlyOffSurface", Rect{-40, 30, 90, 151}, Point{0, 0}, Point{-50, 200}},
        SweepCase{"OnePixelBoxAnyRays", Rect{5, 5, 6, 6}, Point{9, 2}, Point{0, 7}}),
    CaseName<SweepCase>);

TEST(ArcSweep, RaysOfTheSameDirectionDrawTheWholeEllipse) {
  const Rect box{10, 20, 71, 61};  // centre (40, 40)
  auto whole = Surface::Create(80, 70, 8, 256);
  MemoryDc whole_dc(whole);
  Draw(whole_dc, ArcCall{box, RightOf(box), RightOf(box)},
       PenState(SolidPen(PaletteIndexColor(4))));
  const std::pair<Point, Point> rays[] = {
      {Point{45, 40}, Point{400, 40}},    // both right, different lengths
      {Point{40, 10}, Point{40, 39}},     // both up
      {Point{30, 50}, Point{10, 70}},     // both down-left
      {Point{40, 40}, Point{40, 40}},     // both at the centre
      {Point{40, 40}, Point{1000, 40}}};  // the centre counts as pointing right
  for (const auto& [start, end] : rays) {
    auto surface = Surface::Create(80, 70, 8, 256);
    MemoryDc dc(surface);
    Draw(dc, ArcCall{box, start, end}, PenState(SolidPen(PaletteIndexColor(4))));
    EXPECT_TRUE(SamePicture(*surface, *whole, "same_direction"))
        << start.x << "," << start.y << " " << end.x << "," << end.y;
  }
}

TEST(ArcSweep, ArcAndItsComplementCoverTheOutlineMeetingOnlyOnTheRays) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int> coordinate(-20, 100);
  for (int round = 0; round < 40; ++round) {
    const Rect box{5 + round % 7, 8, 75 - round % 5, 70 - round % 3};
    const Point a{coordinate(rng), coordinate(rng)};
    const Point b{coordinate(rng), coordinate(rng)};
    auto surface = Surface::Create(80, 80, 8, 256);
    MemoryDc dc(surface);
    DrawState st = PenState(SolidPen(PaletteIndexColor(1)));
    st.op = RasterOp::kMergePen;
    Draw(dc, ArcCall{box, a, b}, st);
    st.pen.color = PaletteIndexColor(2);
    Draw(dc, ArcCall{box, b, a}, st);
    const Box64 box64 = ToBox64(box);
    for (int y = 0; y < 80; ++y) {
      for (int x = 0; x < 80; ++x) {
        const std::uint32_t v = surface->PixelAt(x, y);
        ASSERT_EQ(v != 0, test::OnOutline(box64, 1, x, y)) << x << "," << y;
        if (v != 3) continue;
        // Both arcs: the pixel lies on one of the two rays (or the rays coincide).
        const test::Direction d = test::DirectionOf(box64, x, y);
        const test::Direction da = test::DirectionOf(box64, a.x, a.y);
        const test::Direction db = test::DirectionOf(box64, b.x, b.y);
        const bool on_a = d.x * da.y == d.y * da.x && d.x * da.x + d.y * da.y >= 0;
        const bool on_b = d.x * db.y == d.y * db.x && d.x * db.x + d.y * db.y >= 0;
        EXPECT_TRUE(on_a || on_b) << x << "," << y;
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Raster operations on raw pixel values.

struct RasterOpCase {
  std::string name;
  RasterOp op;
};

void PrintTo(const RasterOpCase& c, std::ostream* os) { *os << c.name; }

class ArcRasterOps : public ::testing::TestWithParam<std::tuple<RasterOpCase, int>> {};

TEST_P(ArcRasterOps, CombinePenWithPixelsAsTheTableSays) {
  const auto& [c, depth] = GetParam();
  std::mt19937 rng(static_cast<unsigned>(depth * 100 + static_cast<int>(c.op)));
  auto surface = Surface::Create(90, 70, depth, 256);
  test::FillNoise(*surface, rng);
  const std::uint32_t pen = depth == 32 ? 0x5A0FC3u : 0xA5u;
  DrawState st = PenState(SolidPen(ColorFor(depth, pen)));
  st.op = c.op;
  EXPECT_TRUE(DrawsAsReference(surface, ArcCall{Rect{3, 4, 80, 66}, Point{0, 0}, Point{0, 0}}, st,
                               "rop_thin_" + c.name));
  st.pen.width = 9;
  EXPECT_TRUE(DrawsAsReference(surface, ArcCall{Rect{10, 8, 70, 60}, Point{90, 30}, Point{0, 69}},
                               st, "rop_wide_" + c.name));
  // The top byte of a 32-bit pixel stays 0 whatever the operation.
  if (depth == 32) {
    for (int y = 0; y < 70; ++y) {
      for (int x = 0; x < 90; ++x) ASSERT_EQ(surface->PixelAt(x, y) >> 24, 0u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllOps, ArcRasterOps,
    ::testing::Combine(::testing::Values(RasterOpCase{"Black", RasterOp::kBlack},
                                         RasterOpCase{"NotMergePen", RasterOp::kNotMergePen},
                                         RasterOpCase{"MaskNotPen", RasterOp::kMaskNotPen},
                                         RasterOpCase{"NotCopyPen", RasterOp::kNotCopyPen},
                                         RasterOpCase{"MaskPenNot", RasterOp::kMaskPenNot},
                                         RasterOpCase{"Not", RasterOp::kNot},
                                         RasterOpCase{"XorPen", RasterOp::kXorPen},
                                         RasterOpCase{"NotMaskPen", RasterOp::kNotMaskPen},
                                         RasterOpCase{"MaskPen", RasterOp::kMaskPen},
                                         RasterOpCase{"NotXorPen", RasterOp::kNotXorPen},
                                         RasterOpCase{"Nop", RasterOp::kNop},
                                         RasterOpCase{"MergeNotPen", RasterOp::kMergeNotPen},
                                         RasterOpCase{"CopyPen", RasterOp::kCopyPen},
                                         RasterOpCase{"MergePenNot", RasterOp::kMergePenNot},
                                         RasterOpCase{"MergePen", RasterOp::kMergePen},
                                         RasterOpCase{"White", RasterOp::kWhite}),
                       ::testing::Values(1, 4, 8, 32)),
    [](const ::testing::TestParamInfo<std::tuple<RasterOpCase, int>>& param_info) {
      return std::get<0>(param_info.param).name + "_" +
             std::to_string(std::get<1>(param_info.param));
    });

TEST(ArcRasterOp, ExclusiveOrTwiceRestoresEveryPixel) {
  std::mt19937 rng(4242);
  auto coordinate = [&](int size) { return test::RandomCoordinate(rng, size, 12, 40); };
  for (int round = 0; round < 400; ++round) {
    const int depth = std::array{1, 4, 8, 32}[static_cast<std::size_t>(round % 4)];
    auto surface = Surface::Create(50, 40, depth, 16);
    test::FillNoise(*surface, rng);
    const auto original = test::Copy(*surface);
    const Rect box{coordinate(50), coordinate(40), coordinate(50), coordinate(40)};
    const Point start{coordinate(50), coordinate(40)};
    const Point end{rng() % 3 ? coordinate(50) : start.x, coordinate(40)};
    DrawState st = PenState(PenRecord{});
    st.pen.style = static_cast<PenStyle>(rng() % 5);
    st.pen.width = std::array{0u, 1u, 1u, 2u, 7u, 65535u}[rng() % 6];
    st.pen.color = ColorFor(depth, static_cast<std::uint32_t>(rng()));
    st.op = RasterOp::kXorPen;
    st.mode = BackgroundMode::kOpaque;
    st.background = ColorFor(depth, static_cast<std::uint32_t>(rng()));
    MemoryDc dc(surface);
    Draw(dc, ArcCall{box, start, end}, st);
    Draw(dc, ArcCall{box, start, end}, st);
    ASSERT_TRUE(SamePicture(*surface, *original, "xor_twice"))
        << "round " << round << " box " << box.left << "," << box.top << "," << box.right << ","
        << box.bottom;
  }
}

// ---------------------------------------------------------------------------------------------
// Line styles at width 1.

struct StyleCase {
  std::string name;
  PenStyle style;
  BackgroundMode mode;
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class ArcStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(ArcStyles, OnPixelsTakeThePenAndGapsTheBackgroundWhenOpaque) {
  const StyleCase& c = GetParam();
  constexpr std::uint32_t kOld = 7, kPen = 200, kGap = 100;
  const Rect box{4, 6, 75, 49};
  auto surface = Surface::Create(80, 56, 8, 256);
  for (int y = 0; y < 56; ++y) {
    for (int x = 0; x < 80; ++x) surface->SetPixelAt(x, y, kOld);
  }
  DrawState st = PenState(PenRecord{c.style, 1, PaletteIndexColor(kPen)});
  st.mode = c.mode;
  st.background = PaletteIndexColor(kGap);
  ASSERT_TRUE(
      DrawsAsReference(surface, ArcCall{box, RightOf(box), RightOf(box)}, st, "style_" + c.name));

  // Walking a quarter in place order gives the documented runs, from the side point on.
  const Box64 box64 = ToBox64(box);
  const test::PlaceMap places(box64);
  const std::vector<int> runs = test::DashRuns(c.style);
  std::size_t run = 0;
  int left_in_run = runs[0];
  const int cx = 39, cy = 27;  // the centre pixel of the box
  for (const auto& [ax, ay] : places.order()) {
    const std::uint32_t want = run % 2 == 0                        ? kPen
                               : c.mode == BackgroundMode::kOpaque ? kGap
                                                                   : kOld;
    // All four mirror images agree.
    for (int sx : {-1, 1}) {
      for (int sy : {-1, 1}) {
        const int x = cx + sx * static_cast<int>(ax);
        const int y = cy + sy * static_cast<int>(ay);
        ASSERT_EQ(surface->PixelAt(x, y), want) << x << "," << y;
      }
    }
    if (--left_in_run == 0) {
      run = (run + 1) % runs.size();
      left_in_run = runs[run];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllStyles, ArcStyles,
    ::testing::Values(
        StyleCase{"DashOpaque", PenStyle::kDash, BackgroundMode::kOpaque},
        StyleCase{"DashTransparent", PenStyle::kDash, BackgroundMode::kTransparent},
        StyleCase{"DotOpaque", PenStyle::kDot, BackgroundMode::kOpaque},
        StyleCase{"DotTransparent", PenStyle::kDot, BackgroundMode::kTransparent},
        StyleCase{"DashDotOpaque", PenStyle::kDashDot, BackgroundMode::kOpaque},
        StyleCase{"DashDotTransparent", PenStyle::kDashDot, BackgroundMode::kTransparent},
        StyleCase{"DashDotDotOpaque", PenStyle::kDashDotDot, BackgroundMode::kOpaque},
        StyleCase{"DashDotDotTransparent", PenStyle::kDashDotDot, BackgroundMode::kTransparent},
        StyleCase{"SolidOpaque", PenStyle::kSolid, BackgroundMode::kOpaque}),
    CaseName<StyleCase>);

TEST(ArcStyle, PlacesMatchReferenceForAllSmallBoxes) {
  // Dots of 2 show any place that is off by one.
  for (int w = 1; w <= 64; ++w) {
    for (int h = 1; h <= 64; ++h) {
      auto surface = Surface::Create(70, 70, 8, 256);
      const Rect box{2, 3, 2 + w, 3 + h};
      DrawState st = PenState(PenRecord{PenStyle::kDot, 1, PaletteIndexColor(1)});
      st.mode = BackgroundMode::kOpaque;
      st.background = PaletteIndexColor(2);
      ASSERT_TRUE(
          DrawsAsReference(surface, ArcCall{box, RightOf(box), RightOf(box)}, st, "dot_places"))
          << w << " by " << h;
    }
  }
}

TEST(ArcStyle, PlacesOfLargerEllipsesCrossingTheSurfaceMatchReference) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int> coordinate(-400, 500);
  for (int round = 0; round < 30; ++round) {
    auto surface = Surface::Create(100, 80, 8, 256);
    const auto [left, right] = std::minmax({coordinate(rng), coordinate(rng)});
    const auto [top, bottom] = std::minmax({coordinate(rng), coordinate(rng)});
    const Rect box{left, top, right + 1, bottom + 1};
    DrawState st =
        PenState(PenRecord{static_cast<PenStyle>(1 + rng() % 4), 1,
                           PaletteIndexColor(static_cast<std::uint32_t>(1 + rng() % 200))});
    st.mode = BackgroundMode::kOpaque;
    st.background = PaletteIndexColor(201);
    ASSERT_TRUE(
        DrawsAsReference(surface, ArcCall{box, Point{50, 40}, Point{0, 80}}, st, "large_places"))
        << box.left << "," << box.top << "," << box.right << "," << box.bottom;
  }
}

TEST(ArcStyle, PatternDoesNotDependOnTheClip) {
  const Rect box{2, 3, 70, 50};
  auto whole = Surface::Create(72, 54, 8, 256);
  MemoryDc whole_dc(whole);
  DrawState st = PenState(PenRecord{PenStyle::kDashDot, 1, PaletteIndexColor(9)});
  st.mode = BackgroundMode::kOpaque;
  st.background = PaletteIndexColor(4);
  Draw(whole_dc, ArcCall{box, Point{0, 60}, Point{60, 0}}, st);
  // Drawing through many small clips puts together the same picture.
  auto pieces = Surface::Create(72, 54, 8, 256);
  MemoryDc pieces_dc(pieces);
  for (int y = 0; y < 54; y += 5) {
    for (int x = 0; x < 72; x += 7) {
      st.clip = Rect{x, y, x + 7, y + 5};
      Draw(pieces_dc, ArcCall{box, Point{0, 60}, Point{60, 0}}, st);
    }
  }
  EXPECT_TRUE(SamePicture(*pieces, *whole, "style_clip"));
}

TEST(ArcStyle, NullPenDrawsNothing) {
  for (std::uint32_t width : {0u, 1u, 9u}) {
    for (RasterOp op : {RasterOp::kCopyPen, RasterOp::kNot, RasterOp::kWhite}) {
      std::mt19937 rng(width);
      auto surface = Surface::Create(40, 30, 8, 256);
      test::FillNoise(*surface, rng);
      const auto original = test::Copy(*surface);
      MemoryDc dc(surface);
      DrawState st = PenState(PenRecord{PenStyle::kNull, width, PaletteIndexColor(1)});
      st.op = op;
      st.mode = BackgroundMode::kOpaque;
      Draw(dc, ArcCall{Rect{2, 2, 38, 28}, Point{0, 0}, Point{0, 0}}, st);
      EXPECT_TRUE(SamePicture(*surface, *original, "null_pen"));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Wide pens.

struct WidthCase {
  std::string name;
  std::uint32_t width;
  PenStyle style;
};

void PrintTo(const WidthCase& c, std::ostream* os) { *os << c.name; }

class ArcWidths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(ArcWidths, DrawABandOfThatWidthAcrossTheOutline) {
  const WidthCase& c = GetParam();
  const Rect box{20, 15, 81, 66};  // a circle of radius 30 centred at (50, 40)
  auto surface = Surface::Create(100, 80, 8, 256);
  DrawState st = PenState(PenRecord{c.style, c.width, PaletteIndexColor(6)});
  st.mode = BackgroundMode::kOpaque;  // gaps would show if a wide styled pen had any
  st.background = PaletteIndexColor(2);
  ASSERT_TRUE(
      DrawsAsReference(surface, ArcCall{box, RightOf(box), RightOf(box)}, st, "width_" + c.name));
  // Along the centre row the band holds `width` pixels on each side, centred on the box's
  // edge column (the extra pixel of an even width inside).
  const int band = static_cast<int>(std::max(c.width, 1u));
  int count = 0, first = -1;
  for (int x = 50; x < 100; ++x) {
    if (surface->PixelAt(x, 40) == 6) {
      ++count;
      if (first < 0) first = x;
    } else {
      EXPECT_NE(surface->PixelAt(x, 40), 2u);
    }
  }
  EXPECT_EQ(count, band);
  EXPECT_EQ(first + band - 1, 80 + (band - 1) / 2);
}

INSTANTIATE_TEST_SUITE_P(Widths, ArcWidths,
                         ::testing::Values(WidthCase{"ZeroIsOne", 0, PenStyle::kSolid},
                                           WidthCase{"One", 1, PenStyle::kSolid},
                                           WidthCase{"Two", 2, PenStyle::kSolid},
                                           WidthCase{"Three", 3, PenStyle::kSolid},
                                           WidthCase{"Four", 4, PenStyle::kSolid},
                                           WidthCase{"Seven", 7, PenStyle::kSolid},
                                           WidthCase{"Twenty", 20, PenStyle::kSolid},
                                           WidthCase{"DashedFiveIsSolid", 5, PenStyle::kDash},
                                           WidthCase{"DottedTwoIsSolid", 2, PenStyle::kDot}),
                         CaseName<WidthCase>);

TEST(ArcWidth, PenWiderThanTheEllipseFillsIt) {
  const Rect box{10, 10, 31, 25};
  auto surface = Surface::Create(40, 40, 8, 256);
  ASSERT_TRUE(DrawsAsReference(surface, ArcCall{box, RightOf(box), RightOf(box)},
                               PenState(SolidPen(PaletteIndexColor(3), 31)), "wide_fill"));
  // Every pixel of the box's own filled ellipse is covered.
  for (int y = 10; y < 25; ++y) {
    for (int x = 10; x < 31; ++x) {
      if (test::InFilledEllipse(ToBox64(box), x, y)) {
        ASSERT_EQ(surface->PixelAt(x, y), 3u);
      }
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Huge ellipses, extreme coordinates and clipping.

struct HugeCase {
  std::string name;
  Rect box;
  std::uint32_t width;
  RasterOp op;
};

void PrintTo(const HugeCase& c, std::ostream* os) { *os << c.name; }

class ArcHuge : public ::testing::TestWithParam<HugeCase> {};

// Radius 65535 around a centre: the box a caller makes for it.
constexpr Rect CircleBox(std::int32_t cx, std::int32_t cy, std::int32_t radius) {
  return Rect{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};
}

TEST_P(ArcHuge, DrawsTheOnSurfacePixelsOfTheReference) {
  const HugeCase& c = GetParam();
  std::mt19937 rng(5);
  auto surface = Surface::Create(200, 150, 8, 256);
  test::FillNoise(*surface, rng);
  DrawState st = PenState(SolidPen(PaletteIndexColor(77), c.width));
  st.op = c.op;
  EXPECT_TRUE(DrawsAsReference(surface, ArcCall{c.box, RightOf(c.box), RightOf(c.box)}, st,
                               "huge_" + c.name));
  // Through a clip region nothing outside it changes.
  auto clipped = Surface::Create(200, 150, 8, 256);
  test::FillNoise(*clipped, rng);
  st.clip = Rect{37, 21, 151, 119};
  EXPECT_TRUE(DrawsAsReference(clipped, ArcCall{c.box, RightOf(c.box), RightOf(c.box)}, st,
                               "huge_clipped_" + c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Radius65535, ArcHuge,
    ::testing::Values(
        HugeCase{"LeftEdgeCrossing", CircleBox(65535 + 10, 70, 65535), 1, RasterOp::kCopyPen},
        HugeCase{"RightEdgeCrossing", CircleBox(150 - 65535, 80, 65535), 1, RasterOp::kXorPen},
        HugeCase{"TopEdgeCrossing", CircleBox(100, 65535 + 30, 65535), 1, RasterOp::kNot},
        HugeCase{"CornerDiagonal", CircleBox(46440, 46440, 65535), 1, RasterOp::kCopyPen},
        HugeCase{"CentreFarUpLeft", CircleBox(-46300, -46300, 65535), 1, RasterOp::kCopyPen},
        HugeCase{"CentreAt16BitMinimum", CircleBox(-32768, -32768, 65535), 1, RasterOp::kCopyPen},
        HugeCase{"CentreAt16BitMaximum", CircleBox(32767, 32767, 65535), 3, RasterOp::kXorPen},
        HugeCase{"CentredOnSurface", CircleBox(100, 75, 65535), 1, RasterOp::kCopyPen},
        HugeCase{"WidestPenOnSmallCircle", CircleBox(100, 75, 40), 65535, RasterOp::kXorPen},
        HugeCase{"WidestPenOnHugeCircle", CircleBox(100, 75 + 65535 + 32767, 65535), 65535,
                 RasterOp::kCopyPen},
        HugeCase{"WideBandCrossing", CircleBox(65535 + 60, 75, 65535), 101, RasterOp::kCopyPen},
        HugeCase{"FlatEllipseAcross", Rect{-98303, 60, 98304, 91}, 1, RasterOp::kCopyPen},
        HugeCase{"TallEllipseAcross", Rect{90, -98303, 121, 98304}, 2, RasterOp::kCopyPen}),
    CaseName<HugeCase>);

TEST(ArcClip, EmptyAndFarAwayBoxesDrawNothing) {
  const Rect boxes[] = {Rect{10, 10, 10, 20},
                        Rect{10, 10, 20, 10},
                        Rect{20, 10, 10, 20},
                        Rect{kMax32, kMax32, kMin32, kMin32},
                        Rect{kMin32, kMin32, kMin32, kMax32},
                        Rect{500, 10, 600, 20},
                        Rect{-600, -10, -500, 20}};
  for (const Rect& box : boxes) {
    std::mt19937 rng(1);
    auto surface = Surface::Create(40, 30, 8, 256);
    test::FillNoise(*surface, rng);
    const auto original = test::Copy(*surface);
    MemoryDc dc(surface);
    Draw(dc, ArcCall{box, Point{0, 0}, Point{0, 0}}, PenState(SolidPen(PaletteIndexColor(1), 3)));
    EXPECT_TRUE(SamePicture(*surface, *original, "empty_box"))
        << box.left << "," << box.top << "," << box.right << "," << box.bottom;
  }
}

TEST(ArcClip, WholeInt32BoxIsSane) {
  // The largest boxes there are: only the outline's on-surface part, nothing else.
  const ArcCall calls[] = {
      {Rect{kMin32, kMin32, kMax32, kMax32}, Point{0, 0}, Point{0, 0}},
      {Rect{kMin32, 0, kMax32, 30}, Point{5, 5}, Point{-5, 5}},
      {Rect{-3, kMin32, 40, kMax32}, Point{kMax32, kMin32}, Point{kMin32, kMin32}},
  };
  for (const ArcCall& call : calls) {
    for (std::uint32_t width : {1u, 2u}) {
      auto surface = Surface::Create(40, 30, 8, 256);
      DrawState st = PenState(SolidPen(PaletteIndexColor(1), width));
      EXPECT_TRUE(DrawsAsReference(surface, call, st, "int32_box")) << width;
    }
  }
}

TEST(ArcClip, RandomInputsMatchReference) {
  std::mt19937 rng(20240923);
  for (int round = 0; round < 3000; ++round) {
    const int depth = std::array{1, 4, 8, 32}[static_cast<std::size_t>(round % 4)];
    const int width = std::uniform_int_distribution<int>(1, 60)(rng);
    const int height = std::uniform_int_distribution<int>(1, 50)(rng);
    auto surface = Surface::Create(width, height, depth, 16,
                                   round % 2 ? RowOrder::kTopDown : RowOrder::kBottomUp);
    test::FillNoise(*surface, rng);
    // Near the surface, now and then at the ends of the range that 16-bit centres and radii
    // reach.
    auto coordinate = [&](int size) {
      const int pick = std::uniform_int_distribution<int>(0, 29)(rng);
      if (pick == 0) return -98303;
      if (pick == 1) return 98304;
      return std::uniform_int_distribution<int>(-25, size + 25)(rng);
    };
    DrawState st = PenState(PenRecord{});
    st.pen.style = static_cast<PenStyle>(rng() % 6);
    st.pen.width = std::array{0u, 1u, 1u, 1u, 2u, 3u, 6u}[rng() % 7];
    st.pen.color = ColorFor(depth, static_cast<std::uint32_t>(rng()));
    st.op = static_cast<RasterOp>(1 + rng() % 16);
    st.mode = rng() % 2 ? BackgroundMode::kOpaque : BackgroundMode::kTransparent;
    st.background = ColorFor(depth, static_cast<std::uint32_t>(rng()));
    if (rng() % 2) {
      st.clip = Rect{coordinate(width), coordinate(height), coordinate(width), coordinate(height)};
    }
    Rect box = Rect{coordinate(width), coordinate(height), coordinate(width), coordinate(height)};
    // The reference walks a styled outline's whole quarter: keep those boxes near.
    if (st.pen.width <= 1 && st.pen.style != PenStyle::kSolid) {
      box = Rect{std::clamp(box.left, -150, 150), std::clamp(box.top, -150, 150),
                 std::clamp(box.right, -150, 150), std::clamp(box.bottom, -150, 150)};
    }
    const ArcCall call{box, Point{coordinate(width), coordinate(height)},
                       Point{coordinate(width), coordinate(height)}};
    ASSERT_TRUE(DrawsAsReference(surface, call, st, "random_arc"))
        << "round " << round << " box " << box.left << "," << box.top << "," << box.right << ","
        << box.bottom << " start " << call.start.x << "," << call.start.y << " end " << call.end.x
        << "," << call.end.y << " style " << int(st.pen.style) << " width " << st.pen.width
        << " op " << int(st.op) << " mode " << int(st.mode) << " clip "
        << (st.clip ? st.clip->left : -1) << "," << (st.clip ? st.clip->top : -1) << ","
        << (st.clip ? st.clip->right : -1) << "," << (st.clip ? st.clip->bottom : -1);
  }
}

TEST(ArcDc, LeavesTheCurrentPositionAlone) {
  auto surface = Surface::Create(30, 30, 8, 256);
  MemoryDc dc(surface);
  dc->MoveTo(Point{3, 4});
  Draw(dc, ArcCall{Rect{0, 0, 20, 20}, Point{0, 0}, Point{0, 0}},
       PenState(SolidPen(PaletteIndexColor(1))));
  EXPECT_EQ(dc->position(), (Point{3, 4}));
}

TEST(ArcDc, WindowContextMarksTheChangedArea) {
  auto window = std::make_shared<WindowSurface>(64, 48);
  auto dc = DeviceContext::CreateForWindow(window);
  const PenHandle pen = CreatePen(SolidPen(Rgb(255, 0, 0), 3));
  dc->SelectPen(pen);
  const Rect box{-20, 10, 40, 70};
  dc->DrawArc(box, Point{100, 40}, Point{-100, 40});  // the upper half
  Rect expected_changed;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const bool drawn = test::OnOutline(ToBox64(box), 3, x, y) &&
                         test::InArc(ToBox64(box), {100, 40}, {-100, 40}, x, y);
      ASSERT_EQ(window->surface()->PixelAt(x, y), drawn ? 0xFF0000u : 0u) << x << "," << y;
      if (drawn) expected_changed = Union(expected_changed, Rect{x, y, x + 1, y + 1});
    }
  }
  {
    std::lock_guard lock(window->mutex());
    EXPECT_EQ(window->TakeChanged(), expected_changed);
  }
  // Nothing drawn, nothing changed.
  dc->DrawArc(Rect{200, 200, 300, 300}, Point{0, 0}, Point{0, 0});
  dc->DrawArc(Rect{-1000, -1000, 1000, 1000}, Point{0, 0}, Point{0, 0});
  {
    std::lock_guard lock(window->mutex());
    EXPECT_TRUE(window->TakeChanged().Empty());
  }
  dc->SelectPen(StockPen());
  DeleteObject(pen);
}

}  // namespace
}  // namespace tavlo::platform
