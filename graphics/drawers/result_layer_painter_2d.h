// The calculation results of the report pictures: each calculation area's result picture, its isolines with
// their rotated value labels, or its node values with dots, painted with GDI where the 2D drawer's layout puts
// them. Only areas whose kind shares a bit with the picture flag word are taken.
#pragma once

#include "geometry/wise_dib.h"
#include "platform/gdi/wingdi.h"

#include <map>
#include <memory>
#include <vector>

class CCalcArea;
class CCalcAreaManager;
class CGraphicCoreFull;
class CScenePalette;
class IroadDrawer2D;

class CResultLayerPainter2D {
public:
  struct Segment {
    int x1, y1, x2, y2;
  };

  // Rebuilds the manager's areas so that pictures, isolines and node values exist for the current results.
  CResultLayerPainter2D(CGraphicCoreFull* core, IroadDrawer2D* drawer);
  ~CResultLayerPainter2D();
  CResultLayerPainter2D(const CResultLayerPainter2D&) = delete;
  CResultLayerPainter2D& operator=(const CResultLayerPainter2D&) = delete;

  void Clear();
  void PreparePictures();
  void PrepareIsolines();
  void DrawPictures(HDC dc);
  void DrawIsolines(HDC dc);
  void DrawNodeValues(HDC dc);

  // Where a point of an area lands in the picture.
  POINT AreaPointToPixel(const CCalcArea& area, double x, double y) const;

  const std::map<int, std::unique_ptr<CWiseDib>>& GetPictures() const { return m_pictures; }
  const std::map<int, std::vector<Segment>>& GetSegments() const { return m_segments; }

private:
  // The manager's areas this picture takes, in list order.
  std::vector<CCalcArea*> TakenAreas() const;
  void DrawIsolineLabel(HDC dc, const CCalcArea& area, double x, double y, double angle, const char16_t* text);
  // Leaves the label out when it would overlap one of `drawn`, else draws it readable on its background and
  // adds its box.
  void DrawNodeLabel(HDC dc, int x, int y, const char16_t* text, std::vector<RECT>& drawn);

  CGraphicCoreFull* m_core;
  CCalcAreaManager* m_manager;
  IroadDrawer2D* m_drawer;
  CScenePalette* m_palette;
  DWORD m_flags;
  std::map<int, std::unique_ptr<CWiseDib>> m_pictures;
  std::map<int, std::vector<Segment>> m_segments;
};

// A calculation area's picture as GDI draws it: 3-byte pixels byte for byte, 4-byte pixels with red and blue
// exchanged and the fourth byte 0.
std::unique_ptr<CWiseDib> CopyResultPicture(const CWiseDib& source);

// The colour of a label on `background`: its own, or black or white where its own would not stand out (blue values
// on a navy fill).
COLORREF ReadableOn(COLORREF background, COLORREF colour);

// Whether a label's box (its room around it included) is clear of the boxes drawn before; if so it joins them.
bool PlaceLabel(const RECT& box, std::vector<RECT>& drawn);

// LOGFONT height 12 turned by `angle` degrees: the labels of isolines and node values.
HFONT CreateLabelFont(double angle);
