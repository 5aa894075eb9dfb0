#include "graphics/tools/tool_holder.h"

#include "geometry/view_camera.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/tools/custom_polygon_tool.h"
#include "graphics/tools/mse_place_shower_tool.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/object_selector.h"
#include "model/shell/shell_services.h"
#include "model/shell/window_messages.h"
#include "platform/user/common_controls.h"
#include "platform/user/input.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"

int AskCalculationState()
{
  int state = 0;
  Shell::GetShellServices().SendToMainWindow(UM_GETCALCSTATE, 0, reinterpret_cast<LPARAM>(&state));
  return state;
}

CToolHolder::CToolHolder(CGraphicCoreFull* core) : m_core(core) {}

CToolHolder::~CToolHolder() = default;

CNavigatorTool* CToolHolder::Navigator() const { return m_core ? m_core->GetNavigator() : nullptr; }

CObjectSelector* CToolHolder::GetSelector() const { return dynamic_cast<CObjectSelector*>(m_tool.get()); }

void CToolHolder::SetCurrentTool(int mode)
{
  m_tool.reset();
  m_mode = mode;
  if ((mode & ToolMode::kSelector) != 0)
    m_tool = std::make_unique<CObjectSelector>(m_core);
  else if ((mode & ToolMode::kCursorReadout) != 0)
    m_tool = std::make_unique<CMsePlaceShowerTool>(m_core);
  if (m_tooltip)
    SendMessage(m_tooltip, TTM_ACTIVATE, (mode & (ToolMode::kSelector | ToolMode::kCursorReadout)) != 0, 0);
}

void CToolHolder::InstallTool(int mode, std::unique_ptr<CToolBase> tool)
{
  m_tool = std::move(tool);
  m_mode = mode;
}

void CToolHolder::OnViewSize()
{
  if (m_tool)
    m_tool->BuildEdgeZones();
  if (CObjectSelector* selector = GetSelector())
    if (CCustomPolygonTool* nested = selector->GetNestedTool())
      nested->BuildEdgeZones();
  if (CNavigatorTool* navigator = Navigator())
    navigator->BuildEdgeZones();
}

BOOL CToolHolder::RouteInput(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_MOUSELEAVE:
  case WM_MOUSEWHEEL:
  case WM_KEYDOWN:
    break;
  default:
    return FALSE;
  }
  if (!m_core || !m_core->GetContext())
    return TRUE;
  CNavigatorTool* navigator = Navigator();
  // The current tool while the mode is set; else the navigator unless it idles.
  CToolBase* target = m_mode != ToolMode::kNone ? m_tool.get()
                      : navigator && navigator->GetMode() != NavigatorMode::kIdle ? navigator
                                                                                   : nullptr;
  const bool toHolder = m_mode != ToolMode::kNone;
  const UINT flags = LOWORD(wParam);
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  switch (message) {
  case WM_MOUSEMOVE:
    if (target && !(toHolder && AskCalculationState() != 0))
      target->OnMouseMove(flags, x, y);
    break;
  case WM_LBUTTONDOWN: {
    CViewCamera* camera = m_core->GetCamera();
    const bool free = (camera && camera->m_viewType == CViewCamera::kPerspective) ||
                      (navigator && navigator->GetMode() == NavigatorMode::kPan);
    if (target && (free || AskCalculationState() == 0))
      target->OnLButtonDown(flags, x, y);
    break;
  }
  case WM_LBUTTONUP:
    if (target)
      target->OnLButtonUp(flags, x, y);
    break;
  case WM_LBUTTONDBLCLK:
    if (toHolder && m_tool && AskCalculationState() == 0)
      m_tool->OnLButtonDblClk(flags, x, y);
    break;
  case WM_RBUTTONDOWN:
    if (toHolder && m_tool && AskCalculationState() == 0)
      m_tool->OnRButtonDown(flags, x, y);
    break;
  case WM_RBUTTONUP:
    if (toHolder && m_tool)
      m_tool->OnRButtonUp(flags, x, y);
    break;
  case WM_MOUSELEAVE:
    if (toHolder && m_tool)
      m_tool->OnMouseLeave();
    break;
  case WM_MOUSEWHEEL:
    if (target) {
      if (m_wheelDirection == 0) {
        const int stored = static_cast<int>(Shell::GetProfileInt("Settings", "MouseWheelDirection", -1));
        m_wheelDirection = stored >= 0 ? 1 : stored;
      }
      POINT point{x, y};
      if (HWND view = target->GetView())
        ScreenToClient(view, &point);
      target->OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam) * m_wheelDirection, point.x,
                           point.y);
    }
    break;
  case WM_KEYDOWN:
    if (wParam == VK_ESCAPE && AskCalculationState() == 1)
      Shell::GetShellServices().SendToMainWindow(WM_COMMAND, kCancelCalculationCommand, 0);
    else if (target)
      target->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    break;
  default:
    break;
  }
  return TRUE;
}

void CToolHolder::BeginPolygonInput(IClassObjModel* object)
{
  if (!object || !m_core)
    return;
  if (CViewCamera* camera = m_core->GetCamera(); camera && camera->m_viewType != CViewCamera::kPlan)
    camera->SetViewType(CViewCamera::kPlan);
  if (CNavigatorTool* navigator = Navigator())
    navigator->SetMode(NavigatorMode::kIdle);
  if (m_mode != ToolMode::kSelector)
    SetCurrentTool(ToolMode::kSelector);
  if (CObjectSelector* selector = GetSelector()) {
    selector->SetNestedTool(nullptr);
    selector->SetNestedTool(std::make_unique<CCustomPolygonTool>(object, m_core));
    selector->ReleaseGrab();
  }
}

void CToolHolder::EndPolygonInput()
{
  if (CObjectSelector* selector = GetSelector()) {
    selector->SetNestedTool(nullptr);
    selector->ReleaseGrab();
  }
  if (m_mode != ToolMode::kSelector)
    SetCurrentTool(ToolMode::kSelector);
  if (CNavigatorTool* navigator = Navigator())
    navigator->SetMode(NavigatorMode::kIdle);
  if (m_core)
    m_core->Render(FALSE, FALSE);
}
