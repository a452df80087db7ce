#pragma once

// The figures' frames: the state kept between frames and one frame at a time, so that the
// program, the tests, the benchmark and the snapshot tool all draw the same frames.

#include <cstdint>

namespace tavlo::figures {

class Animation {
 public:
  // `pause_ms` is the rest after each frame's flip: 10 in the program, 0 where frames are wanted
  // as fast as they come.
  explicit Animation(std::uint16_t pause_ms) : pause_ms_(pause_ms) {}

  // Page 0 next and the counter at `counter` frames: 0 in the program; tests start later.
  void SetUp(std::int32_t counter = 0);
  // One frame on the open window: advance the counter, draw the diamond and then the ellipse on
  // the draw page, make the other page the draw page and show the one just drawn, pause, and
  // clear the new draw page. The first frame draws on the shown page 0 and then shows page 1.
  void Step();

  // The counter of the last frame drawn (its t).
  std::int32_t counter() const { return t_; }
  // The page shown since the last frame: the one it drew, from the second frame on.
  std::uint16_t shown_page() const { return page_; }

 private:
  std::uint16_t pause_ms_;
  std::int32_t t_ = 0;
  std::uint16_t page_ = 0;  // the page handed to SetDrawPage next
};

}  // namespace tavlo::figures
