// The render core in the test host view with its tools: a document, the view, and input sent the way the view
// sends it, through the tool holder's routing.
#pragma once

#include "geometry/view_camera.h"
#include "graphics/tools/navigator_tool.h"
#include "graphics/tools/tool_holder.h"
#include "model/iarea.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "tests/graphics/core_fixture.h"

#include <cmath>

class ToolsTest : public CoreTest {
protected:
  void TearDown() override
  {
    EndTools();
    CoreTest::TearDown();
  }
  // The view goes before its document: its tools let go of the model objects they hold while the project
  // still stands.
  void EndTools()
  {
    if (document && view)
      Holder().SetCurrentTool(ToolMode::kNone);
  }
  // A new open site in a view of that size, shown in plan.
  void OpenSite(int width = 400, int height = 300)
  {
    MakeDocument();
    document->OnNewOpenTerritory();
    MakeView(width, height);
    Camera().SetViewType(CViewCamera::kPlan);
  }
  CViewCamera& Camera() { return *Core().GetCamera(); }
  _DEVCPOSITION& Eye() { return *Camera().GetEye(); }
  CToolHolder& Holder() { return *Core().GetToolHolder(); }
  CNavigatorTool& Navigator() { return *Core().GetNavigator(); }
  HWND ViewWindow() { return view->GetSafeHwnd(); }

  void Send(UINT message, UINT flags, int x, int y)
  {
    Holder().RouteInput(message, flags, MAKELPARAM(static_cast<unsigned>(x), static_cast<unsigned>(y)));
  }
  // A press at the first point, a move to the second and the release there.
  void Drag(UINT flags, POINT from, POINT to)
  {
    Send(WM_LBUTTONDOWN, flags | 0x1, from.x, from.y);
    Send(WM_MOUSEMOVE, flags | 0x1, to.x, to.y);
    Send(WM_LBUTTONUP, flags, to.x, to.y);
  }

  // A move to the point, a press and the release there.
  void Click(POINT p, UINT flags = 0)
  {
    Send(WM_MOUSEMOVE, 0, p.x, p.y);
    Send(WM_LBUTTONDOWN, flags | 0x1, p.x, p.y);
    Send(WM_LBUTTONUP, flags, p.x, p.y);
  }

  // The client pixel where the camera shows a world point.
  POINT PixelOf(double x, double y, double z = 0)
  {
    const double* m = Camera().GetModelview();
    const double* p = Camera().GetProjection();
    const int* viewport = Camera().GetViewport();
    const double in[4] = {x, y, z, 1};
    double eye[4] = {0, 0, 0, 0};
    double clip[4] = {0, 0, 0, 0};
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k)
        eye[row] += m[k * 4 + row] * in[k];
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k)
        clip[row] += p[k * 4 + row] * eye[k];
    const double nx = clip[0] / clip[3];
    const double ny = clip[1] / clip[3];
    const double windowX = (nx + 1) / 2 * viewport[2] + viewport[0];
    const double windowY = (ny + 1) / 2 * viewport[3] + viewport[1];
    return POINT{static_cast<LONG>(std::lround(windowX)), static_cast<LONG>(std::lround(viewport[3] - windowY - 1))};
  }

  // Mouse messages left in the view's queue, taken out.
  int DrainMouseMessages()
  {
    int count = 0;
    MSG msg;
    while (PeekMessage(&msg, ViewWindow(), WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
      ++count;
    return count;
  }
};
