// What the screen is told: top-level windows as they come, move, change and go, and their pixels after painting;
// and what the screen tells back, as injected input.
#include "platform/base/codepage.h"
#include "platform/display/presenter.h"
#include "platform/user/input.h"
#include "platform/user/state.h"

using namespace user::detail;

namespace {

void OnScreenInput(const display::InputEvent& e)
{
  switch (e.kind) {
    case display::InputEvent::Kind::MouseMove: user::InjectMouseMove(e.screen); break;
    case display::InputEvent::Kind::Button:
      user::InjectMouseMove(e.screen);
      user::InjectMouseButton(e.button, e.down);
      break;
    case display::InputEvent::Kind::Wheel: user::InjectMouseWheel(e.wheelDelta); break;
    case display::InputEvent::Kind::Key: user::InjectKey(e.vk, e.down); break;
    case display::InputEvent::Kind::Exposed:
      PresentTopLevel(reinterpret_cast<HWND>(e.window), RECT{0, 0, 32767, 32767});
      break;
  }
}

}  // namespace

namespace user::detail {

display::Presenter& ConnectPresenter()
{
  display::Presenter& presenter = display::Current();
  presenter.SetInputSink(&OnScreenInput);
  return presenter;
}

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
