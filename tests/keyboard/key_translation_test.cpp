// What each key puts in the queue, sent through the real path: the message with its Shift,
// Control and Alt state is posted to the window thread, translated, dispatched to the window
// procedure and the keyboard hook, and read back with NextKey.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "keyboard/keys.h"
#include "platform/headless/automation.h"
#include "platform/virtual_keys.h"
#include "support/graphics_fixture.h"
#include "tavlo/graphics.h"

namespace tavlo {
namespace {

namespace headless = platform::headless;
namespace vk = platform;
using Codes = std::vector<std::uint8_t>;

enum class Sent { kKeyDown, kSysKeyDown, kChar, kClose };

struct KeyCase {
  std::string name;
  Sent sent;
  std::uint32_t key;  // virtual key, or the character
  platform::KeyModifiers held;
  Codes codes;
};

// Test names carry the case; the printed value need only name it too.
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

constexpr platform::KeyModifiers kPlain{};
constexpr platform::KeyModifiers kShift{.shift = true};
constexpr platform::KeyModifiers kControl{.control = true};
constexpr platform::KeyModifiers kAlt{.alt = true};
constexpr platform::KeyModifiers kControlAlt{.control = true, .alt = true};
constexpr platform::KeyModifiers kShiftControl{.shift = true, .control = true};
constexpr platform::KeyModifiers kAll{.shift = true, .control = true, .alt = true};

// Plain and Shift keys come as key-downs, Alt ones as system key-downs, as the window system
// sends them.
KeyCase Down(std::string name, std::uint32_t key, platform::KeyModifiers held, Codes codes) {
  return {std::move(name), held.alt ? Sent::kSysKeyDown : Sent::kKeyDown, key, held,
          std::move(codes)};
}

std::vector<KeyCase> NavigationCases() {
  // Typed from the key table: plain, Control, Alt.
  struct Row {
    const char* name;
    std::uint32_t key;
    std::uint8_t plain, control, alt;
  };
  const Row rows[] = {
      {"PageUp", 33, 73, 132, 153}, {"PageDown", 34, 81, 118, 161}, {"End", 35, 79, 117, 165},
      {"Home", 36, 71, 119, 164},   {"Left", 37, 75, 115, 155},     {"Up", 38, 72, 141, 152},
      {"Right", 39, 77, 116, 157},  {"Down", 40, 80, 145, 160},     {"Insert", 45, 82, 146, 162},
      {"Delete", 46, 83, 147, 163}, {"Clear", 12, 76, 143, 76}};
  std::vector<KeyCase> cases;
  for (const Row& r : rows) {
    const std::string n = r.name;
    cases.push_back(Down(n + "Plain", r.key, kPlain, {0, r.plain}));
    cases.push_back(Down(n + "Shift", r.key, kShift, {0, r.plain}));
    cases.push_back(Down(n + "Control", r.key, kControl, {0, r.control}));
    cases.push_back(Down(n + "Alt", r.key, kAlt, {0, r.alt}));
    cases.push_back(Down(n + "ControlAlt", r.key, kControlAlt, {0, r.control}));
  }
  return cases;
}

std::vector<KeyCase> FunctionKeyCases() {
  return {
      Down("F1", vk::kVkF1, kPlain, {0, 59}),
      Down("F10", vk::kVkF10, kPlain, {0, 68}),
      Down("ShiftF1", vk::kVkF1, kShift, {0, 84}),
      Down("ShiftF10", vk::kVkF10, kShift, {0, 93}),
      Down("ControlF1", vk::kVkF1, kControl, {0, 94}),
      Down("ControlF10", vk::kVkF10, kControl, {0, 103}),
      Down("AltF1", vk::kVkF1, kAlt, {0, 104}),
      Down("AltF10", vk::kVkF10, kAlt, {0, 113}),
      Down("ShiftControlF1", vk::kVkF1, kShiftControl, {0, 84}),
      Down("ControlAltF1", vk::kVkF1, kControlAlt, {0, 94}),
      Down("AllF5", vk::kVkF1 + 4, kAll, {0, 88}),
      Down("F11", vk::kVkF11, kPlain, {0, 133}),
      Down("F12", vk::kVkF12, kPlain, {0, 134}),
      Down("ShiftF11", vk::kVkF11, kShift, {0, 135}),
      Down("ShiftF12", vk::kVkF12, kShift, {0, 136}),
      Down("ControlF11", vk::kVkF11, kControl, {0, 137}),
      Down("ControlF12", vk::kVkF12, kControl, {0, 138}),
      Down("AltF11", vk::kVkF11, kAlt, {0, 139}),
      Down("AltF12", vk::kVkF12, kAlt, {0, 140}),
      {"F10AsSystemKey", Sent::kSysKeyDown, vk::kVkF10, kPlain, {0, 68}},
  };
}

std::vector<KeyCase> KeypadCases() {
  return {
      Down("MultiplyPlain", vk::kVkMultiply, kPlain, {}),
      Down("MultiplyControl", vk::kVkMultiply, kControl, {0, 149}),
      Down("MultiplyAlt", vk::kVkMultiply, kAlt, {0, 70}),
      Down("AddControl", vk::kVkAdd, kControl, {0, 144}),
      Down("AddAlt", vk::kVkAdd, kAlt, {0, 78}),
      Down("SubtractControl", vk::kVkSubtract, kControl, {0, 142}),
      Down("SubtractAlt", vk::kVkSubtract, kAlt, {0, 74}),
      Down("DecimalControl", vk::kVkDecimal, kControl, {0, 150}),
      Down("DecimalAlt", vk::kVkDecimal, kAlt, {0, 114}),
      Down("DivideControl", vk::kVkDivide, kControl, {0, 148}),
      Down("DivideAlt", vk::kVkDivide, kAlt, {0, 69}),
      Down("DivideControlAlt", vk::kVkDivide, kControlAlt, {0, 148}),
  };
}

std::vector<KeyCase> SingleKeyCases() {
  return {
      // Keys with a character: the translation of the message makes it, the key table adds
      // nothing.
      Down("EnterPlain", vk::kVkReturn, kPlain, {13}),
      Down("EscapePlain", vk::kVkEscape, kPlain, {27}),
      Down("BackspacePlain", vk::kVkBack, kPlain, {8}),
      Down("TabPlain", vk::kVkTab, kPlain, {9}),
      Down("EnterAlt", vk::kVkReturn, kAlt, {0, 166}),
      Down("BackspaceAlt", vk::kVkBack, kAlt, {0, 14}),
      Down("ControlTabIsOneByte", vk::kVkTab, kControl, {30}),
      Down("PausePlain", vk::kVkPause, kPlain, {0, 12}),
      Down("PauseControl", vk::kVkPause, kControl, {}),
      Down("PauseAlt", vk::kVkPause, kAlt, {0, 169}),
      Down("PauseControlAlt", vk::kVkPause, kControlAlt, {0, 169}),
      Down("SpacePlain", vk::kVkSpace, kPlain, {}),
      Down("SpaceAlt", vk::kVkSpace, kAlt, {0, 11}),
      Down("AppsPlain", vk::kVkApps, kPlain, {0, 151}),
      Down("AppsAll", vk::kVkApps, kAll, {0, 151}),
      Down("ShiftAlone", vk::kVkShift, kShift, {}),
      Down("ControlAlone", vk::kVkControl, kControl, {}),
      Down("AltAlone", vk::kVkMenu, kAlt, {}),
      Down("CapsLock", vk::kVkCapital, kPlain, {}),
      {"Character", Sent::kChar, 'a', kPlain, {'a'}},
      {"HighCharacter", Sent::kChar, 0xE9, kPlain, {0xE9}},
      {"CloseBox", Sent::kClose, 0, kPlain, {0, 107}},
  };
}

std::vector<KeyCase> DigitAndLetterCases() {
  std::vector<KeyCase> cases = {
      Down("Digit5Plain", '5', kPlain, {}),
      Down("Digit5Control", '5', kControl, {0, 5}),
      Down("Digit5Alt", '5', kAlt, {0, 124}),
      Down("Digit5ControlAlt", '5', kControlAlt, {0, 5, 0, 124}),
      Down("Digit1Control", '1', kControl, {0, 1}),
      Down("Digit9Alt", '9', kAlt, {0, 128}),
      Down("Digit0Control", '0', kControl, {0, 10}),
      Down("Digit0Alt", '0', kAlt, {0, 129}),
      Down("LetterPlain", 'Q', kPlain, {}),
      Down("LetterShift", 'Q', kShift, {}),
      Down("ControlA", 'A', kControl, {1}),
      Down("ControlZ", 'Z', kControl, {26}),
  };
  // Alt with each letter, typed from the table of letter codes.
  const std::uint8_t alt_codes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                      49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
  for (int i = 0; i < 26; ++i) {
    const char letter = static_cast<char>('A' + i);
    cases.push_back(Down(std::string("Alt") + letter, static_cast<std::uint32_t>(letter), kAlt,
                         {0, alt_codes[i]}));
  }
  cases.push_back(Down("ShiftControlAltM", 'M', kAll, {0, 50}));
  return cases;
}

class KeyWindow : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    testing::OpenOrFail(Driver8Bit, Mode320x200, "KEYS");
  }
};

class KeyTranslation : public KeyWindow, public ::testing::WithParamInterface<KeyCase> {};

bool Post(const KeyCase& c) {
  switch (c.sent) {
    case Sent::kKeyDown:
      return headless::PostKeyDown(c.key, c.held);
    case Sent::kSysKeyDown:
      return headless::PostSysKeyDown(c.key, c.held);
    case Sent::kChar:
      return headless::PostChar(static_cast<std::uint8_t>(c.key), c.held);
    case Sent::kClose:
      return headless::PostClose();
  }
  return false;
}

TEST_P(KeyTranslation, QueuesTheCodesOfTheKeyTable) {
  ASSERT_TRUE(Post(GetParam()));
  EXPECT_EQ(testing::CodesBeforeMarker(), GetParam().codes);
}

std::string CaseName(const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Navigation, KeyTranslation, ::testing::ValuesIn(NavigationCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(FunctionKeys, KeyTranslation, ::testing::ValuesIn(FunctionKeyCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Keypad, KeyTranslation, ::testing::ValuesIn(KeypadCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(SingleKeys, KeyTranslation, ::testing::ValuesIn(SingleKeyCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(DigitsAndLetters, KeyTranslation,
                         ::testing::ValuesIn(DigitAndLetterCases()), CaseName);

TEST_F(KeyWindow, AutoRepeatQueuesTheKeyAgainEachTime) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(headless::PostKeyDown(vk::kVkUp));
  EXPECT_EQ(testing::CodesBeforeMarker(), (Codes{0, 72, 0, 72, 0, 72}));
}

}  // namespace
}  // namespace tavlo
