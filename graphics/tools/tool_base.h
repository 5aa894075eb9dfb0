// The base of the view's mouse tools: the twenty operations the view calls (most empty here), the shared snap
// marker, the eight edge zones of the view and the automatic panning that runs while the cursor rests in one.
#pragma once

#include "platform/base/geometry.h"
#include "platform/base/wintypes.h"

#include <map>

// The numeric pad's plus and minus.
inline constexpr UINT kKeyPadPlus = 107;
inline constexpr UINT kKeyPadMinus = 109;

class CGraphicCoreFull;
class CSnapMarker;
class CViewCamera;

// Mouse-key state bits of the flags the view passes on.
namespace ToolFlags {
inline constexpr UINT kLeftButton = 0x1;
inline constexpr UINT kRightButton = 0x2;
inline constexpr UINT kShift = 0x4;
inline constexpr UINT kControl = 0x8;
}  // namespace ToolFlags

// Edge zone keys, in the order HitZone walks them.
namespace EdgeZone {
inline constexpr UINT kTopLeft = 1;
inline constexpr UINT kTop = 2;
inline constexpr UINT kTopRight = 4;
inline constexpr UINT kRight = 8;
inline constexpr UINT kBottomRight = 16;
inline constexpr UINT kBottom = 32;
inline constexpr UINT kBottomLeft = 64;
inline constexpr UINT kLeft = 128;
// The zones' depth in pixels.
inline constexpr int kDepth = 10;
}  // namespace EdgeZone

// One pass of the automatic panning waits this long on the clock in force, so the pan speed does not depend on
// the machine and a test's virtual clock counts the passes.
inline constexpr DWORD kAutoPanStepMs = 20;

class CToolBase {
public:
  explicit CToolBase(CGraphicCoreFull* core);
  virtual ~CToolBase();
  CToolBase(const CToolBase&) = delete;
  CToolBase& operator=(const CToolBase&) = delete;

  virtual void OnMouseMove(UINT /*flags*/, int /*x*/, int /*y*/) {}
  virtual void OnMouseLeave() {}
  virtual void OnLButtonDown(UINT /*flags*/, int /*x*/, int /*y*/) {}
  virtual void OnLButtonUp(UINT /*flags*/, int /*x*/, int /*y*/) {}
  virtual void OnRButtonDown(UINT /*flags*/, int /*x*/, int /*y*/) {}
  virtual void OnRButtonUp(UINT /*flags*/, int /*x*/, int /*y*/) {}
  virtual void OnMouseWheel(UINT /*flags*/, int /*delta*/, int /*x*/, int /*y*/) {}
  // Esc, Enter, Delete and the arrows go to their hooks; other keys are ignored.
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnLButtonDblClk(UINT /*flags*/, int /*x*/, int /*y*/) {}
  virtual void OnEscapeKey() {}
  virtual void OnEnterKey() {}
  virtual void OnDeleteKey() {}
  virtual void OnLeftKey() {}
  virtual void OnRightKey() {}
  virtual void OnUpKey() {}
  virtual void OnDownKey() {}
  // Draws the tool's overlay again at the current cursor position.
  virtual void RefreshOverlay() {}

  // The key of the first zone (in ascending key order) holding the client point, right and bottom edges
  // excluded; 0 outside every zone.
  UINT HitZone(int x, int y) const;
  // While the point lies in a zone the view pans towards that edge, pass after pass, redrawing the frame and
  // the tool's overlay. The passes read the mouse input that arrives meanwhile: they end when the cursor leaves
  // the zones, at any button press or release, and when the left button held at the start is let go. 1 when
  // the point lay in a zone (the caller then skips its own redraw), else 0.
  int AutoPan(int x, int y);
  // The zones from the view's client rectangle; the core calls it again after the view is resized.
  void BuildEdgeZones();
  const std::map<UINT, RECT>& GetEdgeZones() const { return m_zones; }

  CViewCamera* GetCamera() const { return m_camera; }
  HWND GetView() const { return m_view; }

  // The world point of the last mouse move, for the tools that track it.
  double m_cursor[3] = {0, 0, 0};
  // Where the automatic panning last read the cursor, in client pixels.
  POINT m_cursorPixel{0, 0};

protected:
  // The eye's z, 0 without an eye.
  double EyeZ() const;
  // The arrow keys pan and the keypad's plus and minus zoom by a step of the eye's distance; false for other keys.
  bool StepCameraByKey(UINT key);

  CViewCamera* m_camera;
  HWND m_view;
  CGraphicCoreFull* m_core;
  CSnapMarker* m_snapMarker;
  std::map<UINT, RECT> m_zones;
};
