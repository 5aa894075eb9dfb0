// The report's pictures of the active area painted with GDI into 24-bit bitmaps: the road with its results,
// the luminaire plan and the placement picture, each through a 2D drawer made for that picture. The renderer
// serves one report build and keeps the palette in picture colours while it lives.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/gdi/wingdi.h"

#include <memory>

class CBitmap;
class CGraphicCoreFull;
class CLightDevicePainter2D;
class CSceneBuilder;
class CScenePalette;
class IroadDrawer2D;
struct IGroupOfDev;

class CRoadPictureRenderer {
public:
  explicit CRoadPictureRenderer(CGraphicCoreFull* core);
  ~CRoadPictureRenderer();
  CRoadPictureRenderer(const CRoadPictureRenderer&) = delete;
  CRoadPictureRenderer& operator=(const CRoadPictureRenderer&) = delete;

  // Paints the picture the flag word asks for into a new width x height bitmap attached to `bitmap`, which
  // the caller owns. FALSE when no bitmap could be made.
  BOOL Render(DWORD flags, CBitmap* bitmap, int width, int height, IGroupOfDev* group);

  // What the drawers read while a picture is painted.
  double GetWidth() const { return m_width; }
  double GetHeight() const { return m_height; }
  HDC GetMemoryDC() const { return m_memoryDC; }
  DWORD GetFlags() const { return m_flags; }
  CGraphicCoreFull* GetCore() const { return m_core; }
  IroadDrawer2D* GetDrawer() const { return m_drawer.get(); }
  CLightDevicePainter2D* GetPainter() const { return m_painter.get(); }

private:
  void MakeDrawer(BOOL straight, IGroupOfDev* group);
  void DrawLegend(BOOL straight);

  CGraphicCoreFull* m_core;
  std::unique_ptr<IroadDrawer2D> m_drawer;
  std::unique_ptr<CLightDevicePainter2D> m_painter;
  CSceneBuilder* m_builder;
  CScenePalette* m_palette;
  HDC m_memoryDC = nullptr;
  double m_width = 0;
  double m_height = 0;
  DWORD m_flags = 0;
  double m_mainSpacing = 0;
};
