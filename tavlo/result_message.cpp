// What each result code means, in words for a person.

#include <cstdint>
#include <string_view>

#include "tavlo/graphics.h"

namespace tavlo {

std::string_view ResultMessage(std::int16_t result) {
  switch (result) {
    case ResultOk:
      return "done";
    case ResultNotOpen:
      return "no graphics window is open";
    case ResultBadDriver:
      return "the driver is not available";
    case ResultBadMode:
      return "the screen cannot hold a window of that mode";
    case ResultNoWindow:
      return "no window could be made (is there a display?)";
    case ResultFontNotFound:
      return "a built-in font face is missing";
    case ResultNoFont:
      return "the font could not be made";
    case ResultBadParameter:
      return "an argument is out of range";
    case ResultNoPalette:
      return "the palette could not be set";
    case ResultNoOpenGL:
      return "OpenGL is not available";
    case ResultAlreadyOpen:
      return "a graphics window is already open";
    default:
      return "unknown result";
  }
}

}  // namespace tavlo
