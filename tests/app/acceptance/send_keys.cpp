// Real X events for the session under Xvfb: each argument is a key ("F5", "ctrl+s", "Return"), pressed and
// released in the window that has the input focus, else the topmost window on the screen; "close" asks the
// biggest window to close, as a window manager's close button does (Xvfb runs none).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The biggest viewable top-level window, or with `topmost` the one on top of the others.
Window Find(Display* display, bool topmost)
{
  Window root = DefaultRootWindow(display);
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  Window best = None;
  long bestArea = 0;
  if (XQueryTree(display, root, &root, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count; ++i) {
      XWindowAttributes a;
      if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable &&
          (topmost || static_cast<long>(a.width) * a.height > bestArea)) {
        best = children[i];
        bestArea = static_cast<long>(a.width) * a.height;
      }
    }
    XFree(children);
  }
  return best;
}

Window Target(Display* display)
{
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus != None && focus != PointerRoot)
    return focus;
  return Find(display, true);
}

bool Close(Display* display)
{
  const Window target = Find(display, false);
  if (target == None)
    return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = target;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, target, False, NoEventMask, &event);
  XFlush(display);
  return true;
}

bool Press(Display* display, const std::string& chord)
{
  unsigned int state = 0;
  std::string key = chord;
  for (std::size_t plus; (plus = key.find('+')) != std::string::npos && plus + 1 < key.size();) {
    const std::string modifier = key.substr(0, plus);
    if (modifier == "ctrl")
      state |= ControlMask;
    else if (modifier == "alt")
      state |= Mod1Mask;
    else if (modifier == "shift")
      state |= ShiftMask;
    else
      return false;
    key = key.substr(plus + 1);
  }
  const KeySym sym = XStringToKeysym(key.c_str());
  if (sym == NoSymbol)
    return false;
  const Window target = Target(display);
  if (target == None)
    return false;
  XKeyEvent event{};
  event.display = display;
  event.window = target;
  event.root = DefaultRootWindow(display);
  event.subwindow = None;
  event.time = CurrentTime;
  event.same_screen = True;
  event.state = state;
  event.keycode = XKeysymToKeycode(display, sym);
  event.type = KeyPress;
  XSendEvent(display, target, True, KeyPressMask, reinterpret_cast<XEvent*>(&event));
  event.type = KeyRelease;
  XSendEvent(display, target, True, KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
  XFlush(display);
  return true;
}

}  // namespace

int main(int argc, char** argv)
{
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "qorroad_keys: no X display\n");
    return 1;
  }
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    if (!(std::strcmp(argv[i], "close") == 0 ? Close(display) : Press(display, argv[i]))) {
      std::fprintf(stderr, "qorroad_keys: cannot press %s\n", argv[i]);
      failed = 1;
    }
    usleep(100000);
  }
  XCloseDisplay(display);
  return failed;
}
