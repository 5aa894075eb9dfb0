// Real X events for the session under Xvfb, and what it needs to see the screen. Each argument is one of:
//   a key ("F5", "ctrl+s", "Return"), pressed and released in the window that has the input focus, else the
//   topmost window on the screen;
//   "type:TEXT", the text's characters typed one key each (Shift where the key map needs it);
//   "close", which asks the biggest window to close, as a window manager's close button does (Xvfb runs none);
//   "window:TEXT", which waits up to 20 s for a topmost window whose title holds TEXT (UTF-8);
//   "pixels:X,Y,W,H", which prints a checksum of that part of the screen, to compare two moments;
//   "windows", which lists the viewable top-level windows with their titles.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdint>
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

void SendOne(Display* display, Window target, KeyCode keycode, unsigned int state, int type)
{
  XKeyEvent event{};
  event.display = display;
  event.window = target;
  event.root = DefaultRootWindow(display);
  event.subwindow = None;
  event.time = CurrentTime;
  event.same_screen = True;
  event.state = state;
  event.keycode = keycode;
  event.type = type;
  XSendEvent(display, target, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, reinterpret_cast<XEvent*>(&event));
}

// The key pressed and released with its modifiers' own keys held around it, as a person's hands do: the program
// keeps the state of Ctrl, Alt and Shift from their keys, not from the state a key event carries.
bool Send(Display* display, KeyCode keycode, unsigned int state)
{
  const Window target = Target(display);
  if (target == None)
    return false;
  struct Modifier {
    unsigned int mask;
    KeySym sym;
  };
  const Modifier modifiers[] = {{ControlMask, XK_Control_L}, {Mod1Mask, XK_Alt_L}, {ShiftMask, XK_Shift_L}};
  unsigned int held = 0;
  for (const Modifier& m : modifiers) {
    if (state & m.mask) {
      SendOne(display, target, XKeysymToKeycode(display, m.sym), held, KeyPress);
      held |= m.mask;
    }
  }
  SendOne(display, target, keycode, state, KeyPress);
  SendOne(display, target, keycode, state, KeyRelease);
  for (const Modifier& m : modifiers) {
    if (state & m.mask) {
      SendOne(display, target, XKeysymToKeycode(display, m.sym), held, KeyRelease);
      held &= ~m.mask;
    }
  }
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
  return Send(display, XKeysymToKeycode(display, sym), state);
}

// Printable ASCII only: its key symbols are the characters themselves.
bool Type(Display* display, const std::string& text)
{
  for (char c : text) {
    const auto sym = static_cast<KeySym>(static_cast<unsigned char>(c));
    if (sym < 0x20 || sym > 0x7E)
      return false;
    const KeyCode keycode = XKeysymToKeycode(display, sym);
    if (keycode == 0)
      return false;
    const bool shifted = XkbKeycodeToKeysym(display, keycode, 0, 0) != sym;
    if (!Send(display, keycode, shifted ? ShiftMask : 0))
      return false;
    usleep(20000);
  }
  return true;
}

std::string Title(Display* display, Window window)
{
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024, False,
                         AnyPropertyType, &type, &format, &count, &after, &data) == Success && data) {
    title.assign(reinterpret_cast<const char*>(data), count);
    XFree(data);
  }
  return title;
}

// The viewable top-level windows from the bottom up, for a person writing a session.
bool ListWindows(Display* display)
{
  Window root = DefaultRootWindow(display);
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count))
    return false;
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable)
      std::printf("%lx %dx%d+%d+%d %s\n", children[i], a.width, a.height, a.x, a.y,
                  Title(display, children[i]).c_str());
  }
  XFree(children);
  return true;
}

bool WaitForWindow(Display* display, const std::string& text)
{
  for (int i = 0; i < 200; ++i) {
    const Window top = Find(display, true);
    if (top != None && Title(display, top).find(text) != std::string::npos)
      return true;
    usleep(100000);
  }
  return false;
}

bool Pixels(Display* display, const std::string& area)
{
  int x = 0, y = 0, w = 0, h = 0;
  if (std::sscanf(area.c_str(), "%d,%d,%d,%d", &x, &y, &w, &h) != 4 || w <= 0 || h <= 0)
    return false;
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image)
    return false;
  std::uint64_t hash = 1469598103934665603ull;
  for (int row = 0; row < h; ++row) {
    for (int column = 0; column < w; ++column) {
      hash = (hash ^ (XGetPixel(image, column, row) & 0xFFFFFF)) * 1099511628211ull;
    }
  }
  XDestroyImage(image);
  std::printf("%016llx\n", static_cast<unsigned long long>(hash));
  return true;
}

bool Do(Display* display, const std::string& argument)
{
  auto after = [&](const char* prefix) -> const char* {
    const std::size_t n = std::strlen(prefix);
    return argument.compare(0, n, prefix) == 0 ? argument.c_str() + n : nullptr;
  };
  if (argument == "close")
    return Close(display);
  if (argument == "windows")
    return ListWindows(display);
  if (const char* text = after("type:"))
    return Type(display, text);
  if (const char* text = after("window:"))
    return WaitForWindow(display, text);
  if (const char* area = after("pixels:"))
    return Pixels(display, area);
  return Press(display, argument);
}

}  // namespace

// A window may go while it is looked at (a menu closing): that answer is simply not taken.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

int main(int argc, char** argv)
{
  XSetErrorHandler(&IgnoreErrors);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "qorroad_keys: no X display\n");
    return 1;
  }
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    if (!Do(display, argv[i])) {
      std::fprintf(stderr, "qorroad_keys: cannot do %s\n", argv[i]);
      failed = 1;
    }
    usleep(100000);
  }
  XCloseDisplay(display);
  return failed;
}
