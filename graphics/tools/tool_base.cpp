#include "graphics/tools/tool_base.h"

#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/tools/snap_marker.h"
#include "model/iarea.h"
#include "platform/base/clock.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

namespace {

// The pan direction of each zone, in steps of s: the view moves towards the edge the cursor rests on.
struct ZoneStep {
  UINT key;
  int dx;
  int dy;
};
constexpr ZoneStep kZoneSteps[] = {
    {EdgeZone::kTopLeft, 1, 1},     {EdgeZone::kTop, 0, 1},     {EdgeZone::kTopRight, -1, 1},
    {EdgeZone::kRight, -1, 0},      {EdgeZone::kBottomRight, -1, -1}, {EdgeZone::kBottom, 0, -1},
    {EdgeZone::kBottomLeft, 1, -1}, {EdgeZone::kLeft, 1, 0},
};

bool IsButtonMessage(UINT message)
{
  return message != WM_MOUSEMOVE && message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL;
}

}  // namespace

CToolBase::CToolBase(CGraphicCoreFull* core)
    : m_camera(core ? core->GetCamera() : nullptr),
      m_view(m_camera ? m_camera->GetWindow() : nullptr),
      m_core(core),
      m_snapMarker(&CSnapMarker::Instance())
{
  m_snapMarker->SetColour(1.0f, 1.0f, 0.0f);
  BuildEdgeZones();
}

CToolBase::~CToolBase() { m_snapMarker->Hide(); }

void CToolBase::BuildEdgeZones()
{
  m_zones.clear();
  RECT client{0, 0, 0, 0};
  if (m_view)
    GetClientRect(m_view, &client);
  const LONG l = client.left, t = client.top, r = client.right, b = client.bottom;
  const LONG d = EdgeZone::kDepth;
  // A view narrower or lower than two zones gives inverted edge rectangles, which hold no point.
  m_zones[EdgeZone::kTopLeft] = RECT{l, t, l + d, t + d};
  m_zones[EdgeZone::kTop] = RECT{l + d, t, r - d, t + d};
  m_zones[EdgeZone::kTopRight] = RECT{r - d, t, r, t + d};
  m_zones[EdgeZone::kRight] = RECT{r - d, t + d, r, b - d};
  m_zones[EdgeZone::kBottomRight] = RECT{r - d, b - d, r, b};
  m_zones[EdgeZone::kBottom] = RECT{l + d, b - d, r - d, b};
  m_zones[EdgeZone::kBottomLeft] = RECT{l, b - d, l + d, b};
  m_zones[EdgeZone::kLeft] = RECT{l, t + d, l + d, b - d};
}

UINT CToolBase::HitZone(int x, int y) const
{
  for (const auto& [key, rect] : m_zones)
    if (rect.Contains(POINT{x, y}))
      return key;
  return 0;
}

double CToolBase::EyeZ() const { return m_camera && m_camera->GetEye() ? m_camera->GetEye()->z : 0.0; }

bool CToolBase::StepCameraByKey(UINT key)
{
  if (!m_camera)
    return false;
  const double z = EyeZ();
  switch (key) {
  case VK_LEFT:
    m_camera->PanZoomStep(z, 0, 0);
    return true;
  case VK_RIGHT:
    m_camera->PanZoomStep(-z, 0, 0);
    return true;
  case VK_UP:
    m_camera->PanZoomStep(0, z, 0);
    return true;
  case VK_DOWN:
    m_camera->PanZoomStep(0, -z, 0);
    return true;
  case kKeyPadPlus:
    m_camera->PanZoomStep(0, 0, static_cast<int>(z));
    return true;
  case kKeyPadMinus:
    m_camera->PanZoomStep(0, 0, static_cast<int>(-z));
    return true;
  default:
    return false;
  }
}

int CToolBase::AutoPan(int x, int y)
{
  UINT zone = HitZone(x, y);
  if (zone == 0 || !m_camera)
    return 0;
  const double s = (m_camera->IsPerspective() ? -EyeZ() : EyeZ()) / -5;
  // A drag pans only while its button stays down; a pan that started without one ends on leaving the zones.
  const bool dragging = (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
  POINT cursor{x, y};
  while (zone != 0) {
    for (const ZoneStep& step : kZoneSteps) {
      if (step.key == zone) {
        m_camera->PanZoomStep(step.dx * s, step.dy * s, 0);
        break;
      }
    }
    Sleep(kAutoPanStepMs);
    // The cursor moves only through the queue: read the moves that came meanwhile, and leave a button's
    // message there for the tool, which ends its drag or takes its click once the panning stops.
    bool buttonEvent = false;
    MSG msg;
    while (PeekMessage(&msg, m_view, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
      if (IsButtonMessage(msg.message)) {
        buttonEvent = true;
        break;
      }
      PeekMessage(&msg, m_view, msg.message, msg.message, PM_REMOVE);
      if (msg.message == WM_MOUSEMOVE)
        cursor = POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    }
    const bool released = dragging && (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0;
    zone = buttonEvent || released ? 0 : HitZone(cursor.x, cursor.y);
    m_cursorPixel = cursor;
    double world[3] = {static_cast<double>(cursor.x), static_cast<double>(cursor.y), 0};
    if (m_camera->WindowToWorld(world))
      for (int k = 0; k < 3; ++k)
        m_cursor[k] = world[k];
    RefreshOverlay();
  }
  return 1;
}

void CToolBase::OnKeyDown(UINT key, UINT, UINT)
{
  switch (key) {
  case VK_ESCAPE:
    OnEscapeKey();
    break;
  case VK_RETURN:
    OnEnterKey();
    break;
  case VK_DELETE:
    OnDeleteKey();
    break;
  case VK_LEFT:
    OnLeftKey();
    break;
  case VK_RIGHT:
    OnRightKey();
    break;
  case VK_UP:
    OnUpKey();
    break;
  case VK_DOWN:
    OnDownKey();
    break;
  default:
    break;
  }
}
