// The navigator: rotates, pans and zooms the view, and zooms to a window dragged with Shift in a 2D view. One
// per camera, made by the render core with the view's OpenGL state; the view calls it when the tool holder has
// no tool and its mode is not 0.
#pragma once

#include "graphics/tools/tool_base.h"

namespace NavigatorMode {
inline constexpr int kIdle = 0;
inline constexpr int kRotate = 1;
inline constexpr int kPan = 2;
inline constexpr int kZoomIn = 4;
inline constexpr int kZoomOut = 8;
inline constexpr int kZoomWindow = 16;
}  // namespace NavigatorMode


class CNavigatorTool : public CToolBase {
public:
  explicit CNavigatorTool(CGraphicCoreFull* core);

  // Stores the mode and sets its cursor; the zoom modes zoom one step at once, so every press of the zoom
  // commands zooms once.
  void SetMode(int mode);
  int GetMode() const { return m_mode; }
  BOOL IsDragging() const { return m_dragging; }

  void OnMouseMove(UINT flags, int x, int y) override;
  void OnLButtonDown(UINT flags, int x, int y) override;
  void OnLButtonUp(UINT flags, int x, int y) override;
  void OnMouseWheel(UINT flags, int delta, int x, int y) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;

  // The world point under the cursor in the view's drawing plane: (x, y) in plan, (x, z) in the wall views.
  void CursorToPlane(int x, int y, double* u, double* v) const;
  // Centres the view on the dragged window and fits the eye distance to its larger side.
  void ApplyZoomWindow();

  int m_lastX = 0;
  int m_lastY = 0;
  double m_x0 = 0;
  double m_x1 = 0;
  double m_y0 = 0;
  double m_y1 = 0;

protected:
  void DrawZoomRect() const;

  int m_mode = NavigatorMode::kIdle;
  int m_savedMode = NavigatorMode::kIdle;
  BOOL m_dragging = FALSE;
};
