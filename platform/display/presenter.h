// The screen behind the window system. The `null` presenter (the default) keeps windows in memory and shows
// nothing; the `x11` presenter shows each top-level window as an X window, copies its pixels there and turns X
// input into input for the window system.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace gdi {
class Surface;
}

namespace display {

// A top-level window as the screen sees it.
struct TopLevel {
  std::uintptr_t id = 0;
  RECT rect{};            // screen coordinates
  bool visible = false;
  bool unmanaged = false;  // menus, tooltips and other popups the screen must not decorate or move
  std::string title;      // cp1251
  // What the window is to the screen's window manager: a dialog (or a floating pane) stays above its owner.
  enum class Role { Normal, Dialog, Menu, Tooltip, Popup };
  Role role = Role::Normal;
  std::uintptr_t owner = 0;  // the top-level window it belongs to, or 0
  // Its icon for task lists and window frames in _NET_WM_ICON's layout: for each size its width and height, then
  // the rows of 0xAARRGGBB pixels. Empty: none.
  std::vector<std::uint32_t> icon;
};

struct InputEvent {
  enum class Kind {
    MouseMove,
    Button,
    Wheel,
    Key,
    Exposed,
    Close,        // the screen's close request for `window`
    Moved,        // the screen moved or sized `window` to `rect`
    Activated,    // the screen gave `window` the keyboard
    Deactivated,  // the keyboard went to another program
    LeftScreen,   // the mouse went over another program
    Layout,       // the screen's keyboard layout changed to `language`
    Dropped,      // another program dropped `uriList` at `screen`
  };
  Kind kind = Kind::MouseMove;
  POINT screen{};
  UINT button = 0;  // VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1 or VK_XBUTTON2
  bool down = false;
  int wheelDelta = 0;
  bool horizontal = false;  // the wheel turned sideways: positive to the right
  UINT vk = 0;              // 0xE7 (VK_PACKET) for text of a key with no known position
  // A key down's typed text as UTF-8; unset when the key types nothing or its character is the key's own business
  // (Ctrl held, control characters): then the keyboard layout decides.
  std::optional<std::string> text;
  // The language of the screen's keyboard layout (0x0409 Latin, 0x0419 Cyrillic) as a key showed it, or 0; or
  // the layout the screen changed to.
  WORD language = 0;
  std::uintptr_t window = 0;  // Exposed, Close, Moved, Activated, Deactivated
  RECT rect{};                // Moved: screen coordinates
  std::string uriList;        // Dropped: text/uri-list as the dropping program gave it
};
// Called on the presenter's own thread.
using InputSink = std::function<void(const InputEvent&)>;

class Presenter {
public:
  virtual ~Presenter() = default;
  virtual const char* Name() const = 0;
  virtual SIZE ScreenSize() const = 0;
  virtual void WindowChanged(const TopLevel& window) = 0;
  virtual void WindowGone(std::uintptr_t id) = 0;
  // The window's pixels changed inside `dirty` (window coordinates).
  virtual void WindowPainted(std::uintptr_t id, const gdi::Surface& pixels, const RECT& dirty) = 0;
  virtual void SetInputSink(InputSink sink) = 0;
  // What the screen shows now; false when there is no screen to read.
  virtual bool Capture(gdi::Surface& out) = 0;
  // Waits until the screen has taken every request made so far.
  virtual void Flush() = 0;
  // The pointer's shape over a window: a system cursor id (32512 the arrow, and so on).
  virtual void SetCursorShape(std::uintptr_t window, int systemCursor) = 0;
  // The screen's clipboard, as UTF-8 text: offered to other programs, and taken from them when they own it.
  virtual void OfferClipboardText(const std::string& utf8) = 0;
  // False when the screen's clipboard is this program's own, or empty.
  virtual bool ForeignClipboardText(std::string& utf8) = 0;
};

std::unique_ptr<Presenter> MakeNullPresenter();
// Null when no X display can be opened (`name` null: the DISPLAY variable).
std::unique_ptr<Presenter> MakeX11Presenter(const char* name = nullptr);

// The presenter in force. Chosen on first use: x11 when TESMIRA_PRESENTER says "x11", or when DISPLAY is set
// outside tests; null otherwise.
Presenter& Current();
// Puts a presenter in force; call before the first window exists. It takes the input sink the one before had.
void Use(std::unique_ptr<Presenter> presenter);
// The sink of the presenter in force and of every one put in force later.
void ConnectInput(InputSink sink);

}  // namespace display
