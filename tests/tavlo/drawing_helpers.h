#pragma once

// Pictures for the drawing tests: expected pages and windows built pixel by pixel, the pages and
// the window read back, and the colour tables as the library documents them, typed here red first
// so that a slip in the library's own tables shows up.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "platform/headless/automation.h"
#include "platform/surface.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tavlo/state.h"
#include "tests/support/graphics_fixture.h"
#include "tests/support/picture.h"

namespace tavlo::testing {

// The default palette, red first, sixteen entries a line.
inline constexpr std::string_view kDefaultPaletteText =
    "000000 0000a8 00a800 00a8a8 a80000 a800a8 a85400 a8a8a8 545454 8484fc 54fc54 54fcfc fc5454 "
    "fc54fc fcfc54 fcfcfc "
    "000000 141414 202020 2c2c2c 383838 444444 505050 606060 707070 808080 909090 a0a0a0 b4b4b4 "
    "c8c8c8 e0e0e0 fcfcfc "
    "0000fc 4000fc 7c00fc bc00fc fc00fc fc00bc fc007c fc0040 fc0000 fc4000 fc7c00 fcbc00 fcfc00 "
    "bcfc00 7cfc00 40fc00 "
    "00fc00 00fc40 00fc7c 00fcbc 00fcfc 00bcfc 007cfc 0040fc 7c7cfc 9c7cfc bc7cfc dc7cfc fc7cfc "
    "fc7cdc fc7cbc fc7c9c "
    "fc7c7c fc9cfc fcbc7c fcdc7c fcfc7c dcfc7c bcfc7c 9cfc7c 7cfc7c 7cfc9c 7cfcbc 7cfcdc 7cfcfc "
    "7cdcfc 7cbcfc 7c9cfc "
    "b4b4fc c4b4fc d8b4fc e8b4fc fcb4fc fcb4e8 fcb4d8 fcb4c4 fcb4b4 fcc4b4 fcd8b4 fce8b4 fcfcb4 "
    "e8fcb4 d8fcb4 c4fcb4 "
    "b4fcb4 b4fcc4 b4fcd8 b4fce8 b4fcfc b4e8fc b4d8fc b4c4fc 000070 1c0070 380070 540070 700070 "
    "700054 700038 70001c "
    "700000 701c00 703800 705400 707000 547000 387000 1c7000 007000 00701c 007038 007054 007070 "
    "005470 003870 001c70 "
    "383870 443870 543870 603870 703870 703860 703854 703844 703838 704438 705438 706038 707038 "
    "607038 547038 447038 "
    "387038 387044 387054 387060 387070 386070 385470 384470 505070 585070 605070 685070 705070 "
    "705068 705060 705058 "
    "705050 705850 706050 706850 707050 687050 607050 587050 507050 507058 507060 507068 507070 "
    "506870 506070 505870 "
    "000040 100040 200040 300040 400040 400030 400020 400010 400000 401000 402000 403000 404000 "
    "304000 204000 104000 "
    "004000 004010 004020 004030 004040 003040 002040 001040 202040 282040 302040 382040 402040 "
    "402038 402030 402028 "
    "402020 402820 403020 403820 404020 384020 304020 284020 204020 204028 204030 204038 204040 "
    "203840 203040 202840 "
    "2c2c40 302c40 342c40 3c2c40 402c40 402c3c 402c34 402c30 40302c 40342c 403c2c 40402c 3c402c "
    "34402c 30402c 2c402c "
    "2c4030 2c4034 2c403c 2c4040 2c3c40 2c3440 2c3040 000000 000000 000000 000000 000000 000000 "
    "000000 000000 000000";

// What the named colours stand for, red first, sixteen a line.
inline constexpr std::string_view kNamedColorText =
    "f0f8ff e32636 ffbf00 9966cc faebd7 7fffd4 7ba05b f0ffff f5f5dc ffe4c4 3d2b1f cae00d 000000 "
    "ffebcd ff9900 0000ff "
    "8a2be2 0095b6 b5a642 66ff00 08e8de cd00cd cd7f32 a52a2a f0dc82 900020 deb887 cc5500 e97451 "
    "8a3324 5f9ea0 78866b "
    "c41e3a 960018 ed9121 adbed1 ace1af de3163 007ba7 2a52be 7fff00 d2691e 7b3f00 0047ab b87333 "
    "ff7f50 fbec5d 6495ed "
    "fff8dc fffdd0 dc143c 00ffff 00008b 654321 08457e 986960 cd5b45 008b8b b8860b 545454 006400 "
    "310062 bdb76b 8b008b "
    "556832 556b2f ff8c00 9932cc 03c03c e75480 8b0000 e9967a 560319 8fbc8f 483d8b 2f4f4f 177245 "
    "918151 ffa812 badbad "
    "cc4e5c 00ced1 9400d3 ff1493 00bfff 1560bd 696969 1e90ff 50c878 990066 4f7942 b22222 eedc82 "
    "fffaf0 228b22 808080 "
    "f400a1 dcdcdc e49b0f f8f8ff ffd700 daa520 7e7e7e 465945 cadaba 008000 adff2f df73ff f0fff0 "
    "ff69b4 cd5c5c 4b0082 "
    "002fa7 ff4f00 fffff0 00a86b f0e68c e6e6fa fff0f5 7cfc00 fde910 fffacd add8e6 d2b48c f08080 "
    "e0ffff fafad2 a8a8a8 "
    "90ee90 ff80ff ffb6c1 ff8080 ffa07a 20b2aa 87cefa 778899 b0c4de ffffe0 c8a2c8 00ff00 32cd32 "
    "faf0e6 ff00ff 0bda51 "
    "800000 e0b0ff 66cdaa 0000cd ba55d3 9370db 3cb371 7b68ee 00fa9a 48d1cc c71585 191970 f5fffa "
    "ffe4e1 ffe4b5 c0dcc0 "
    "c7031e addfad 997a8d ffdb58 ffdead 000080 cc7722 cfb53b fdf5e6 808000 6b8e23 ffa500 ff4500 "
    "da70d6 987654 af4035 "
    "ddadaf abcdef eee8aa 98fb98 f984e5 996666 fadadd dabdab afeeee db7093 ffefd5 77dd77 ffd1dc "
    "ffe5b4 ffcc99 ffdab9 "
    "fadfad d1e231 ccccff 6600ff cd853f 01796f ffc0cb ff9966 dda0dd b0e0e6 003153 cc8899 ff7518 "
    "800080 734a12 ff0000 "
    "c9ffa2 00cccc bc8f8f 4169e1 80461b b7410e 8b4513 f4c430 fa8072 f4a460 92000a 082567 ff2400 "
    "ffd800 2e8b57 fff5ee "
    "ffba00 704214 a0522d c0c0c0 87ceeb 6a5acd 708090 fffafa 00ff7f 4682b4 acb78e bc987e ffcc00 "
    "008080 d0f0c0 cd5700 "
    "e2725b d8bfd8 ff6347 40e0d0 120a8f ff4d00 ee82ee 991199 40826d f5deb3 ffffff f5f5f5 c9a0dc "
    "ffff00 9acd32 ebc2af";

// 256 six-digit red-first numbers, as 0xRRGGBB.
inline std::array<std::uint32_t, 256> ParseRedFirst(std::string_view text) {
  std::array<std::uint32_t, 256> values{};
  std::istringstream in{std::string(text)};
  for (auto& value : values) in >> std::hex >> value;
  return values;
}

// A colour value: red + 256 x green + 65536 x blue.
constexpr std::uint32_t ColorValue(std::uint32_t rrggbb) {
  const std::uint32_t red = rrggbb >> 16 & 0xFF;
  const std::uint32_t green = rrggbb >> 8 & 0xFF;
  const std::uint32_t blue = rrggbb & 0xFF;
  return red + 256 * green + 65536 * blue;
}

inline const std::array<std::uint32_t, 256>& DefaultPaletteRedFirst() {
  static const std::array<std::uint32_t, 256> palette = ParseRedFirst(kDefaultPaletteText);
  return palette;
}
inline const std::array<std::uint32_t, 256>& NamedColorsRedFirst() {
  static const std::array<std::uint32_t, 256> named = ParseRedFirst(kNamedColorText);
  return named;
}

// The first of the `count` entries nearest to `rrggbb`, by squared distance in RGB.
inline std::uint32_t NearestEntry(const std::array<std::uint32_t, 256>& palette, int count,
                                  std::uint32_t rrggbb) {
  auto channel = [](std::uint32_t c, int shift) { return static_cast<int>(c >> shift & 0xFF); };
  std::uint32_t best = 0;
  long best_distance = -1;
  for (int i = 0; i < count; ++i) {
    long distance = 0;
    for (int shift : {16, 8, 0}) {
      const long d = channel(palette[static_cast<std::size_t>(i)], shift) - channel(rrggbb, shift);
      distance += d * d;
    }
    if (best_distance < 0 || distance < best_distance) {
      best_distance = distance;
      best = static_cast<std::uint32_t>(i);
    }
  }
  return best;
}

// A picture of `width` by `height`, every pixel `value` (an index, or 0x00RRGGBB at 32 bits).
inline std::shared_ptr<platform::Surface> Picture(int width, int height, int bits_per_pixel,
                                                  std::uint32_t value) {
  auto picture = platform::Surface::Create(width, height, bits_per_pixel,
                                           bits_per_pixel <= 8 ? 1 << bits_per_pixel : 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture->SetPixelAt(x, y, value);
  }
  return picture;
}

// Sets columns x1 to x2 and rows y1 to y2, both ends included, as far as they are on the picture.
inline void Paint(platform::Surface& picture, int x1, int y1, int x2, int y2, std::uint32_t value) {
  for (int y = std::max(y1, 0); y <= std::min(y2, picture.height() - 1); ++y) {
    for (int x = std::max(x1, 0); x <= std::min(x2, picture.width() - 1); ++x) {
      picture.SetPixelAt(x, y, value);
    }
  }
}

// A page as it is now; fails the test when there is none.
inline std::shared_ptr<platform::Surface> Page(int page) {
  auto snapshot = inspect::SnapshotPage(page);
  EXPECT_NE(snapshot, nullptr) << "no page " << page;
  return snapshot;
}

inline std::shared_ptr<platform::Surface> Window() {
  auto snapshot = platform::headless::SnapshotWindowSurface();
  EXPECT_NE(snapshot, nullptr) << "no window";
  return snapshot;
}

// Painting happens on the window thread: waits until the window shows `expected`, then compares
// once more so that a mismatch is reported with its pictures.
inline ::testing::AssertionResult WindowBecomes(const platform::Surface& expected,
                                                std::string_view name) {
  auto same_rgb = [&expected] {
    const auto window = platform::headless::SnapshotWindowSurface();
    if (!window || window->width() != expected.width() || window->height() != expected.height()) {
      return false;
    }
    for (int y = 0; y < expected.height(); ++y) {
      for (int x = 0; x < expected.width(); ++x) {
        if (window->RgbAt(x, y) != expected.RgbAt(x, y)) return false;
      }
    }
    return true;
  };
  WaitUntil(same_rgb);
  const auto window = platform::headless::SnapshotWindowSurface();
  if (!window) return ::testing::AssertionFailure() << "no window";
  return SamePicture(*window, expected, name);
}

// Gives the page and window DCs a background mode, as the mix mode does.
inline void UseBackgroundMode(platform::BackgroundMode mode) {
  auto& state = internal::State();
  std::lock_guard lock(state.lock);
  state.window_dc->SetBackgroundMode(mode);
  state.page_dc->SetBackgroundMode(mode);
}

}  // namespace tavlo::testing
