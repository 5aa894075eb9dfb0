// What the screen is told: top-level windows as they come, move, change and go, and their pixels after painting;
// and what the screen tells back, as injected input.
#include "platform/base/codepage.h"
#include "platform/display/presenter.h"
#include "platform/gdi/icon.h"
#include "platform/user/dropfiles.h"
#include "platform/user/input.h"
#include "platform/user/system.h"
#include "platform/user/window.h"
#include "platform/user/state.h"

#include <algorithm>
#include <cctype>

using namespace user::detail;

namespace {

// The screen's text in cp1251: characters the code page lacks are dropped, not typed as something else.
std::string TypedCp1251(const std::string& utf8)
{
  std::string out;
  for (char16_t c : codepage::Utf8ToUtf16(utf8)) {
    const char b = codepage::Cp1251FromUnicode(c);
    if (b != '?' || c == u'?') {
      out.push_back(b);
    }
  }
  return out;
}

// The screen asks to close a window as its close button would; a window a modal popup disables cannot be closed,
// and the popup comes forward instead.
void CloseFromScreen(HWND hwnd)
{
  if (!IsWindow(hwnd)) {
    return;
  }
  if (!IsWindowEnabled(hwnd)) {
    user::InjectScreenActivation(hwnd, true);
    return;
  }
  PostMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void FollowScreenLayout(WORD language)
{
  if (language == 0x0419) {
    ActivateKeyboardLayout(kLayoutRussian, 0);
  } else if (language == 0x0409) {
    ActivateKeyboardLayout(kLayoutUS, 0);
  }
}

void OnScreenInput(const display::InputEvent& e)
{
  const HWND window = reinterpret_cast<HWND>(e.window);
  switch (e.kind) {
    case display::InputEvent::Kind::MouseMove: user::InjectMouseMove(e.screen); break;
    case display::InputEvent::Kind::Button:
      user::InjectMouseMove(e.screen);
      user::InjectMouseButton(e.button, e.down);
      break;
    case display::InputEvent::Kind::Wheel:
      if (e.horizontal) {
        user::InjectMouseHWheel(e.wheelDelta);
      } else {
        user::InjectMouseWheel(e.wheelDelta);
      }
      break;
    case display::InputEvent::Kind::Key:
      FollowScreenLayout(e.language);
      user::InjectTypedKey(e.vk, e.down, e.text ? std::optional(TypedCp1251(*e.text)) : std::nullopt);
      break;
    case display::InputEvent::Kind::Exposed: PresentTopLevel(window, RECT{0, 0, 32767, 32767}); break;
    case display::InputEvent::Kind::Close: CloseFromScreen(window); break;
    case display::InputEvent::Kind::Moved: user::InjectScreenMove(window, e.rect); break;
    case display::InputEvent::Kind::Activated: user::InjectScreenActivation(window, true); break;
    case display::InputEvent::Kind::Deactivated: user::InjectScreenActivation(window, false); break;
    case display::InputEvent::Kind::LeftScreen: user::InjectMouseLeftScreen(); break;
    case display::InputEvent::Kind::Layout: FollowScreenLayout(e.language); break;
    case display::InputEvent::Kind::Dropped: user::InjectFileDrop(e.screen, e.uriList); break;
  }
}

}  // namespace

namespace user::detail {

display::Presenter& ConnectPresenter()
{
  display::Presenter& presenter = display::Current();
  display::ConnectInput(&OnScreenInput);
  return presenter;
}

}  // namespace user::detail

namespace {

// One size of an icon in _NET_WM_ICON's layout; a picture without alpha is opaque but where its mask says not.
void AppendIcon(std::vector<std::uint32_t>& out, HICON icon)
{
  const gdi::Image* image = icon != nullptr ? gdi::IconImage(icon) : nullptr;
  if (image == nullptr || image->width <= 0 || image->height <= 0 ||
      image->color.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height)) {
    return;
  }
  out.push_back(static_cast<std::uint32_t>(image->width));
  out.push_back(static_cast<std::uint32_t>(image->height));
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      const std::uint32_t c = image->color[static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) +
                                           static_cast<std::size_t>(x)];
      if (image->hasAlpha) {
        out.push_back(c);
      } else {
        out.push_back((c & 0x00FFFFFFu) | (image->Opaque(x, y) ? 0xFF000000u : 0u));
      }
    }
  }
}

}  // namespace

namespace user::detail {

void NotifyTopLevel(HWND hwnd)
{
  display::TopLevel info;
  {
    Lock lock(S().mutex);
    Window* w = Find(hwnd);
    if (w == nullptr || !IsTopLevel(*w) || w->parent != S().desktop->hwnd) {
      return;
    }
    info.id = reinterpret_cast<std::uintptr_t>(hwnd);
    info.rect = w->window;
    info.visible = (w->style & WS_VISIBLE) != 0;
    info.unmanaged = (w->style & WS_POPUP) != 0 && (w->style & WS_CAPTION) != WS_CAPTION;
    info.title = w->text;
    const std::string& cls = w->cls ? w->cls->name : std::string();
    if (info.unmanaged) {
      // Popups are menus (the system's and the command bars' own) unless they are tips or a combo box's list.
      std::string lower = cls;
      std::transform(lower.begin(), lower.end(), lower.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      info.role = lower.find("tooltip") != std::string::npos ? display::TopLevel::Role::Tooltip
                  : lower == "combolbox"                     ? display::TopLevel::Role::Popup
                                                             : display::TopLevel::Role::Menu;
    } else if (w->owner != nullptr || (w->exStyle & WS_EX_TOOLWINDOW) != 0 || cls == "#32770") {
      // Dialogs and floating panes: owned ones stay above the window they belong to.
      info.role = display::TopLevel::Role::Dialog;
    }
    if (w->owner != nullptr) {
      info.owner = reinterpret_cast<std::uintptr_t>(TopLevelOf(w->owner));
    }
    if (!info.unmanaged) {
      HICON big = w->icon != nullptr ? w->icon : w->cls ? w->cls->icon : nullptr;
      HICON small = w->iconSmall != nullptr ? w->iconSmall : w->cls ? w->cls->iconSmall : nullptr;
      AppendIcon(info.icon, big);
      if (small != big) {
        AppendIcon(info.icon, small);
      }
    }
  }
  display::Current().WindowChanged(info);
}

void NotifyGone(HWND hwnd) { display::Current().WindowGone(reinterpret_cast<std::uintptr_t>(hwnd)); }

void PresentTopLevel(HWND hwnd, const RECT& dirty)
{
  std::shared_ptr<gdi::Surface> pixels;
  HWND top = nullptr;
  {
    Lock lock(S().mutex);
    top = TopLevelOf(hwnd);
    Window* w = Find(top);
    if (w == nullptr || !w->surface || (w->style & WS_VISIBLE) == 0 || w->parent != S().desktop->hwnd) {
      return;
    }
    pixels = w->surface;
  }
  display::Current().WindowPainted(reinterpret_cast<std::uintptr_t>(top), *pixels, dirty);
}

void PresentCursor(HWND topLevel, int systemCursor)
{
  display::Current().SetCursorShape(reinterpret_cast<std::uintptr_t>(topLevel), systemCursor);
}

bool ScreenClipboardText(std::string& cp1251)
{
  std::string utf8;
  if (!display::Current().ForeignClipboardText(utf8)) {
    return false;
  }
  cp1251 = codepage::Utf8ToCp1251(utf8);
  return true;
}

void OfferScreenClipboardText(const std::string& cp1251)
{
  display::Current().OfferClipboardText(codepage::Cp1251ToUtf8(cp1251));
}

}  // namespace user::detail

namespace user {

void PresentWindowPixels(HWND hwnd) { PresentTopLevel(hwnd, RECT{0, 0, 32767, 32767}); }

}  // namespace user
