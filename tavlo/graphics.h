#pragma once

// Tavlo: a window of the program's own with a drawing surface, four off-screen pages, a palette
// of up to 256 entries, filled boxes, and a viewport. Every operation runs on the program's
// thread, returns nothing unless it answers a question, and leaves its outcome in LastResult().

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

namespace tavlo {

// Result codes, read with LastResult().
inline constexpr std::int16_t ResultOk = 0;
inline constexpr std::int16_t ResultNotOpen = -1;
inline constexpr std::int16_t ResultBadDriver = -2;
inline constexpr std::int16_t ResultBadMode = -3;
inline constexpr std::int16_t ResultNoWindow = -4;
inline constexpr std::int16_t ResultFontNotFound = -5;
inline constexpr std::int16_t ResultNoFont = -6;
inline constexpr std::int16_t ResultBadParameter = -7;
inline constexpr std::int16_t ResultNoPalette = -8;
inline constexpr std::int16_t ResultNoOpenGL = -9;
inline constexpr std::int16_t ResultAlreadyOpen = -10;

// A few words on what a result code means, for messages to a person.
std::string_view ResultMessage(std::int16_t result);

// Driver codes: the colour depth of the pages.
inline constexpr std::int16_t DetectDriver = 0;   // becomes DriverDesktop with ModeDefaultWindow
inline constexpr std::int16_t Driver1Bit = 1;     // 2-entry palette
inline constexpr std::int16_t Driver4Bit = 2;     // 16-entry palette
inline constexpr std::int16_t Driver8Bit = 3;     // 256-entry palette
inline constexpr std::int16_t DriverDesktop = 9;  // the desktop's depth; colours are RGB values

// Mode codes: the client size of the window.
inline constexpr std::int16_t Mode320x200 = 1;
inline constexpr std::int16_t Mode640x200 = 2;
inline constexpr std::int16_t Mode640x350 = 3;
inline constexpr std::int16_t Mode640x480 = 4;
inline constexpr std::int16_t Mode720x350 = 5;
inline constexpr std::int16_t Mode800x600 = 6;
inline constexpr std::int16_t Mode1024x768 = 7;
inline constexpr std::int16_t Mode1280x1024 = 8;
inline constexpr std::int16_t ModeDefaultWindow = 10;  // size and place chosen by the system
inline constexpr std::int16_t ModeScreenWindow = 11;   // framed, covering the screen
inline constexpr std::int16_t ModeFullScreen = 12;     // frameless, covering the screen
inline constexpr std::int16_t ModeCustom = 13;         // CustomWidth by CustomHeight

using WindowHandle = std::uint32_t;
// A procedure that receives the graphics window's messages on the window thread.
using WindowHook = std::int32_t (*)(WindowHandle window, std::uint32_t message,
                                    std::uint32_t wparam, std::int32_t lparam);

// Hook slots: the keyboard hook gets key, character, close, create and destroy messages; the
// mouse hook gets mouse, create and destroy messages. Both are empty at program start.
extern std::atomic<WindowHook> KeyboardHook;
extern std::atomic<WindowHook> MouseHook;
// Set when the window's close box is used; cleared by each successful OpenGraphics.
extern std::atomic<bool> CloseRequested;
// The client size for ModeCustom; the library never writes them.
extern std::int32_t CustomWidth;
extern std::int32_t CustomHeight;

// --- The window ---

// Opens the graphics window on a thread of its own and returns once it exists and is shown.
// A driver of 0 on entry is replaced by 9 and the mode by 10 in the caller's variables;
// otherwise neither is written. An empty caption titles the window "Tavlo 1.1".
void OpenGraphics(std::int16_t& driver, std::int16_t& mode, std::string_view caption);
// Destroys the window and returns once its thread has ended.
void CloseGraphics();
// True from the end of the window's creation until CloseGraphics starts.
bool GraphicsOpen();
std::int16_t LastResult();
// The last column and row of the surface (639 and 479 for Mode640x480); those of the last
// window after a close, 0 before the first.
std::int16_t LastColumn();
std::int16_t LastRow();
// Gives DriverDesktop and ModeDefaultWindow.
void DetectGraphics(std::int16_t& driver, std::int16_t& mode);

// --- Colours, palettes and pages ---

// A whole palette: `size` entries (1 to 256) of RGB colour values, red in the low byte.
struct PaletteRecord {
  std::uint16_t size = 0;
  std::array<std::uint32_t, 256> colors{};
};

// In the palette drivers each named colour is the index of the entry nearest to its RGB value;
// in DriverDesktop it is the RGB value. 12 is black and 250 is white. All 0 until the first
// window opens.
extern std::array<std::uint32_t, 256> NamedColor;

// The platform colour of a colour value: in the palette drivers a reference to entry
// (value modulo the palette size), in DriverDesktop the RGB value itself.
std::uint32_t ToDeviceColor(std::uint32_t color);
// Fills `record` with the current driver's default palette; colours beyond its size stay as
// they were.
void GetDefaultPalette(PaletteRecord& record);
void SetWholePalette(const PaletteRecord& record);
// Only the low 8 bits of each component count.
void SetPaletteEntry(std::uint16_t index, std::uint16_t red, std::uint16_t green,
                     std::uint16_t blue);
// Pages are 0 to 3; any other number selects page 0.
void SetDrawPage(std::uint16_t page);
void SetShownPage(std::uint16_t page);

// --- Viewport, current position and aspect ---

// Drawing coordinates become relative to (x1, y1); with `clip` nothing is drawn outside the
// rectangle (both edges included). Crossed corners leave ResultBadParameter.
void SetViewportRect(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, bool clip);
void MovePen(std::int16_t x, std::int16_t y);
// 10000 stands for 1.0. Needs no window and leaves LastResult() alone.
void SetAspectValues(std::uint16_t aspect_x, std::uint16_t aspect_y);

// --- Fills and boxes ---

// Fill patterns for SetFill.
inline constexpr std::uint16_t FillBackground = 0;  // solid, in the background colour
inline constexpr std::uint16_t FillSolid = 1;
inline constexpr std::uint16_t FillHorizontal = 2;
inline constexpr std::uint16_t FillVertical = 3;
inline constexpr std::uint16_t FillCross = 4;
inline constexpr std::uint16_t FillRisingDiagonal = 5;
inline constexpr std::uint16_t FillFallingDiagonal = 6;
inline constexpr std::uint16_t FillDiagonalCross = 7;
inline constexpr std::uint16_t FillUser = 8;  // the SetUserFill pattern
inline constexpr std::uint16_t FillHollow = 9;

void SetFill(std::uint16_t pattern, std::uint32_t color);
// Row r of the 8 by 8 tile is byte r, bit 7 the leftmost column; set bits take `color`, clear
// bits the background colour of this moment. Selects pattern 8.
void SetUserFill(std::array<std::uint8_t, 8> pattern, std::uint32_t color);
// Fills columns x1 to x2 and rows y1 to y2, both ends included, in any corner order.
void FillBox(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
void SetBackgroundColor(std::uint32_t color);
// Paints the viewport in the background colour and moves the pen to its origin.
void EraseViewport();
// Paints the whole draw page in the background colour.
void ClearScreen();

// --- Pen drawing ---

// The pen's colour, which is also the text colour. Recorded even without a window.
void SetPenColor(std::uint32_t color);
// Line styles for SetPenStyle; 5 and 6 draw nothing, 7 and above are refused.
inline constexpr std::uint16_t LineSolid = 0;
inline constexpr std::uint16_t LineDotted = 1;
inline constexpr std::uint16_t LineDashDot = 2;
inline constexpr std::uint16_t LineDashed = 3;
inline constexpr std::uint16_t LineDashDotDot = 4;
inline constexpr std::uint16_t LineInvisible = 5;
// The bit pattern is recorded but does not change the pen.
void SetPenStyle(std::uint16_t style, std::uint16_t bit_pattern, std::uint16_t thickness);
// 0 to 31: the low four bits choose how the pen meets the pixels under it (0 copy, 1 exclusive
// or, 2 or, 3 and, ... 15 leave alone), bit 4 the opaque background mode for the gaps of styled
// lines and hatches. Anything else leaves ResultBadParameter.
void SetMixMode(std::int16_t mode);
// Sets one pixel to `color`, whatever the pen and the mix mode.
void PlotPixel(std::int16_t x, std::int16_t y, std::uint32_t color);
// Outlines the part of the ellipse around (x, y) from `start` to `end` degrees, counter-clockwise
// (0 points right, 90 up), with the pen and the mix mode; the radii are corrected by the aspect
// values. An aspect value of 0 draws nothing and leaves ResultBadParameter.
void DrawEllipseArc(std::int16_t x, std::int16_t y, std::uint16_t start, std::uint16_t end,
                    std::uint16_t x_radius, std::uint16_t y_radius);
// The whole ellipse DrawEllipseArc draws from 0 to 360 degrees with both radii `radius`.
void DrawCircle(std::int16_t x, std::int16_t y, std::uint16_t radius);

}  // namespace tavlo
