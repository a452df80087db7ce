/* Asks a window to close the way a window manager's close box does: a WM_PROTOCOLS client message
 * carrying WM_DELETE_WINDOW. Works without a window manager.
 * Usage: send_close_request WINDOW_ID   (decimal or 0x-prefixed hex) */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
    return 2;
  }
  char* end = NULL;
  const unsigned long window = strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || window == 0) {
    fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot open display\n", argv[0]);
    return 1;
  }
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = (Window)window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, (Window)window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent != 0 ? 0 : 1;
}
