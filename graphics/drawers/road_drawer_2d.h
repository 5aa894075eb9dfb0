// The common base of the report pictures' 2D drawers: the picture's layout (scale, margins, world-to-pixel
// mapping, the pixel rectangle of each calculation-area kind), its rulers, and the result painter it owns.
// A drawer serves one picture; its owner renderer gives the bitmap size, the memory DC and the picture flags.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/gdi/wingdi.h"

#include <map>
#include <memory>

class CGraphicCoreFull;
class CResultLayerPainter2D;
class CRoadPictureRenderer;
struct IGroupOfDev;

// The picture flag word: kind bits of the calculation areas shown, and what else the picture holds.
enum PictureFlag : DWORD {
  kPictureFreeForm = 0x1,
  kPictureOppositeIlluminance = 0x2,
  kPictureMainIlluminance = 0x4,
  kPictureLeftSidewalk = 0x8,
  kPictureRightSidewalk = 0x10,
  kPictureLeftSidewalkSemiCylindrical = 0x20,
  kPictureRightSidewalkSemiCylindrical = 0x40,
  kPictureLeftWall = 0x80,
  kPictureRightWall = 0x100,
  kPictureOppositeLuminance = 0x400,
  kPictureMainLuminance = 0x800,
  kPictureAllGroups = 0x400000,
  kPictureLuminairePlan = 0x800000,
  kPicturePlacement = 0x1000000,
  kPictureLegend = 0x4000000,
};

// {x0, x1, yTop, yBottom}: world metres, or pixels once converted.
struct LayerRect {
  double x0 = 0, x1 = 0, yTop = 0, yBottom = 0;
};

class IroadDrawer2D {
public:
  IroadDrawer2D(CRoadPictureRenderer* renderer, CGraphicCoreFull* core, IGroupOfDev* group);
  virtual ~IroadDrawer2D();
  IroadDrawer2D(const IroadDrawer2D&) = delete;
  IroadDrawer2D& operator=(const IroadDrawer2D&) = delete;

  // Scale, margins, origins, layer rectangles and frame of the picture; the drawers' constructors run it.
  void Layout();
  // The stored pixel rectangle of a kind; null when the layout gave that kind none.
  const LayerRect* FindLayerRect(unsigned kind) const;
  void WorldToPixelY(double& y) const;
  void RectToPixels(LayerRect& rect) const;
  void DrawRulers(HDC dc);

  double GetScale() const { return m_scale; }
  int GetHorizontalOrigin() const { return m_left; }
  int GetTopMargin() const { return m_top; }
  int GetVerticalShift() const { return m_verticalShift; }
  POINT GetAxisOrigin() const { return {m_axisX, m_axisY}; }
  const RECT& GetFrame() const { return m_frame; }
  double GetRulerStepX() const { return m_stepX; }
  double GetRulerStepY() const { return m_stepY; }
  double GetGroupOffset() const { return m_groupOffset; }
  CRoadPictureRenderer* GetRenderer() const { return m_renderer; }
  CResultLayerPainter2D* GetPainter() const { return m_painter.get(); }
  const LayerRect& GetField(int strip) const { return m_field[strip]; }

protected:
  void ComputeFrame(const LayerRect& origin, const LayerRect& extents, DWORD flags);
  void BuildLayerRects(BOOL freeForm);
  int Width() const;
  int Height() const;
  DWORD Flags() const;

  double m_scale = 0;
  int m_left = 0;  // the left margin, later the horizontal origin
  int m_top = 0;
  int m_verticalShift = 0;
  int m_axisX = 0;
  int m_axisY = 0;
  RECT m_frame = {0, 0, 0, 0};
  double m_stepX = 0;
  double m_stepY = 0;
  CGraphicCoreFull* m_core;
  CRoadPictureRenderer* m_renderer;
  std::unique_ptr<CResultLayerPainter2D> m_painter;
  LayerRect m_field[8];
  double m_heights[2] = {0, 0};
  std::map<unsigned, LayerRect> m_layers;
  IGroupOfDev* m_group;
  double m_groupOffset = 0;
};

// The rulers' font: Arial 14 in the Cyrillic character set.
HFONT CreateRulerFont();
void DrawAxisArrow(HDC dc, BOOL up, int x0, int y0, int x1, int y1);
void DrawTickLabel(HDC dc, int value, int x, int y, UINT format);
