// The cursor read-out: the cursor's coordinates relative to the area origin and the calculated value under it
// (luminance or illuminance, interpolated in the result grid) in the view's tooltip. A left drag pans, the
// wheel zooms about the cursor, the keys navigate as the navigator's do.
#pragma once

#include "graphics/tools/navigator_tool.h"
#include "platform/mfc-core/mfcstring.h"

class CMsePlaceShowerTool : public CNavigatorTool {
public:
  explicit CMsePlaceShowerTool(CGraphicCoreFull* core);

  void OnMouseMove(UINT flags, int x, int y) override;
  void OnLButtonDown(UINT flags, int x, int y) override;
  void OnLButtonUp(UINT flags, int x, int y) override;
  void OnMouseWheel(UINT flags, int delta, int x, int y) override;

  // xmin <= x <= xmax and ymin <= y <= ymax of the active area's extent.
  BOOL PointInExtent(const double point[3]) const;
  // The value at the world point interpolated in the grid of the calculation area that holds it (a later
  // area overriding an earlier one); -1 outside every area or where the cell has no values. The grid kind of
  // that area into gridKind when given.
  double ValueAt(const double point[3], DWORD* gridKind = nullptr) const;

  // The tooltip's text as last set; empty while it is hidden.
  const CString& GetTipText() const { return m_tipText; }
  BOOL IsTipShown() const { return m_tipShown; }

private:
  HWND m_tooltip;
  const double* m_extent;  // xmin, xmax, ymax, ymin of the active area, kept by the scene builder
  const double* m_origin;  // x, y of the area origin, kept by the scene builder
  int m_lastWindowX = -1;
  int m_lastWindowY = -1;
  CString m_tipText;
  BOOL m_tipShown = FALSE;
};
