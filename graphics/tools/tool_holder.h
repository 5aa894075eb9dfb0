// The tool holder: which tool the view talks to (none, the object selector or the cursor read-out), and how the
// view hands its mouse, wheel and key input to that tool or to the navigator. The render core owns one.
#pragma once

#include "platform/base/wintypes.h"

#include <memory>

class CGraphicCoreFull;
class CNavigatorTool;
class CToolBase;
class CObjectSelector;
struct IClassObjModel;

namespace ToolMode {
inline constexpr int kNone = 0;
inline constexpr int kSelector = 1;
inline constexpr int kCursorReadout = 2;
}  // namespace ToolMode

class CToolHolder {
public:
  explicit CToolHolder(CGraphicCoreFull* core);
  ~CToolHolder();
  CToolHolder(const CToolHolder&) = delete;
  CToolHolder& operator=(const CToolHolder&) = delete;

  // Deletes the current tool and makes the mode's tool (bit 1 the selector, else bit 2 the cursor read-out);
  // the tooltip is on while there is one.
  void SetCurrentTool(int mode);
  // Puts a tool made elsewhere in place of the current one, under the mode given.
  void InstallTool(int mode, std::unique_ptr<CToolBase> tool);
  int GetMode() const { return m_mode; }
  CToolBase* GetCurrentTool() const { return m_tool.get(); }
  // The current tool when it is the selector.
  CObjectSelector* GetSelector() const;

  // The view's tooltip control, set when the view is made; not owned.
  void SetToolTip(HWND tooltip) { m_tooltip = tooltip; }
  HWND GetToolTip() const { return m_tooltip; }

  // The view's input, routed as the tools expect it: to the current tool while the mode is not 0, else to the
  // navigator unless its mode is 0. Clicks, double clicks and the tool's moves are dropped while a calculation
  // runs; Esc then cancels the calculation instead. TRUE when the message is one of the tools' messages.
  BOOL RouteInput(UINT message, WPARAM wParam, LPARAM lParam);

  // Polygon input on the main window's messages: begins for a primitive or a luminaire group (plan view, the
  // selector current, a new polygon tool nested in it), ends by deleting the nested tool.
  void BeginPolygonInput(IClassObjModel* object);
  void EndPolygonInput();

  // The view was resized: every tool's edge zones follow.
  void OnViewSize();

private:
  CNavigatorTool* Navigator() const;

  int m_mode = ToolMode::kNone;
  std::unique_ptr<CToolBase> m_tool;
  CGraphicCoreFull* m_core;
  HWND m_tooltip = nullptr;
  int m_wheelDirection = 0;  // read from the profile at the first wheel event
};

// The calculation state the main frame answers: 0 idle, 1 running, 2 stopping.
int AskCalculationState();
// The command that cancels a running calculation.
inline constexpr UINT kCancelCalculationCommand = 33079;
