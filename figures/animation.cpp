#include "figures/animation.h"

#include "figures/motion.h"
#include "figures/shading.h"
#include "keyboard/keys.h"
#include "tavlo/graphics.h"

namespace tavlo::figures {
namespace {

constexpr std::int32_t kDiamondStep = 2;
constexpr std::int32_t kEllipseStep = 1;

}  // namespace

void Animation::SetUp(std::int32_t counter) {
  page_ = 0;
  t_ = counter;
}

void Animation::Step() {
  t_ = NextFrame(t_);
  const std::int32_t x = CentreColumn(t_);
  const std::int32_t y = CentreRow(t_);
  const std::int32_t a = Deformation(t_);

  FillDiamond(x, y, kRestHalfWidth + a, kRestHalfHeight - a, kDiamondStep);
  // Drawn second, the ellipse covers the diamond where they overlap.
  FillEllipse(kMirrorColumn - x, y, kRestHalfWidth + a, kRestHalfHeight - a, kEllipseStep);

  // From the second frame on this hands drawing to the hidden page and shows the finished one.
  // The first frame drew on the shown page 0: it names page 0 again and shows the empty page 1.
  SetDrawPage(page_);
  page_ = static_cast<std::uint16_t>(1 - page_);
  SetShownPage(page_);
  if (pause_ms_ != 0) Pause(pause_ms_);
  ClearScreen();
}

}  // namespace tavlo::figures
