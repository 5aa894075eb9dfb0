#include "graphics/drawers/result_layer_painter_2d.h"

#include "geometry/calc_area.h"
#include "geometry/calc_area_manager.h"
#include "geometry/vector_string3d.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/road_picture_renderer.h"
#include "platform/gdi/windraw.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

namespace {

int Trunc(double v) { return static_cast<int>(std::trunc(v)); }

constexpr DWORD kWallKinds = kPictureLeftWall | kPictureRightWall;
// A wall picture stands centred on this pixel column.
constexpr int kWallPictureColumn = 300;
// The wall's field starts this far above the ground.
constexpr double kWallFieldBase = 1.0;
constexpr int kDisplayIsolines = 0;
constexpr int kDisplayNodeValues = 2;

// The labels are numbers the calculation areas format; the Cyrillic code page holds every character they use.
std::string Narrow(const char16_t* text)
{
  std::string out;
  for (; text && *text; ++text)
    out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
  return out;
}

int Luma(COLORREF c) { return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000; }

int TextHeight(HDC dc, const std::string& text)
{
  RECT measured = {0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
  return measured.bottom - measured.top;
}

}  // namespace

COLORREF ReadableOn(COLORREF background, COLORREF colour)
{
  if (background == CLR_INVALID || std::abs(Luma(background) - Luma(colour)) >= 125)
    return colour;
  return Luma(background) < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

bool PlaceLabel(const RECT& box, std::vector<RECT>& drawn)
{
  const bool collides = std::any_of(drawn.begin(), drawn.end(), [&](const RECT& other) {
    return box.left < other.right && other.left < box.right && box.top < other.bottom && other.top < box.bottom;
  });
  if (!collides)
    drawn.push_back(box);
  return !collides;
}

HFONT CreateLabelFont(double angle)
{
  LOGFONT font{};
  font.lfHeight = 12;
  font.lfEscapement = font.lfOrientation = Trunc(angle * 10);
  font.lfWeight = 100;
  font.lfCharSet = 204;
  font.lfOutPrecision = 4;
  font.lfClipPrecision = 16;
  font.lfQuality = 2;
  std::strcpy(font.lfFaceName, "Arial");
  return CreateFontIndirect(&font);
}

std::unique_ptr<CWiseDib> CopyResultPicture(const CWiseDib& source)
{
  auto copy = std::make_unique<CWiseDib>();
  // Four-byte pixels come in red, green, blue order; GDI wants blue first.
  const bool swapped = source.HasAlpha();
  if (swapped)
    copy->UseAlpha();
  copy->Create(source.GetWidth(), source.GetHeight());
  for (int row = 0; row < source.GetHeight(); ++row) {
    for (int column = 0; column < source.GetWidth(); ++column) {
      const BYTE* from = source.PixelAt(column, row);
      BYTE* to = copy->PixelAt(column, row);
      to[0] = from[swapped ? 2 : 0];
      to[1] = from[1];
      to[2] = from[swapped ? 0 : 2];
    }
  }
  return copy;
}

CResultLayerPainter2D::CResultLayerPainter2D(CGraphicCoreFull* core, IroadDrawer2D* drawer)
    : m_core(core), m_manager(core->GetCalcAreaManager()), m_drawer(drawer), m_palette(CScenePalette::GetInstance()),
      m_flags(drawer->GetRenderer()->GetFlags())
{
  if (m_manager)
    m_manager->Rebuild();
}

CResultLayerPainter2D::~CResultLayerPainter2D() { Clear(); }

void CResultLayerPainter2D::Clear()
{
  m_pictures.clear();
  m_segments.clear();
}

std::vector<CCalcArea*> CResultLayerPainter2D::TakenAreas() const
{
  std::vector<CCalcArea*> taken;
  if (!m_manager)
    return taken;
  for (const auto& area : m_manager->GetAreas())
    if (area && (area->m_kind & m_flags) != 0)
      taken.push_back(area.get());
  return taken;
}

POINT CResultLayerPainter2D::AreaPointToPixel(const CCalcArea& area, double x, double y) const
{
  double ox = area.m_size[0] / 2, oy = area.m_position[1];
  if (area.m_kind & kPictureFreeForm) {
    ox = area.m_position[0];
    oy = area.m_position[1];
  } else if (area.m_kind & kWallKinds) {
    oy = area.m_size[1] / 2 + kWallFieldBase;
  }
  const double height = m_drawer->GetRenderer()->GetHeight();
  const double px = (x + ox) * m_drawer->GetScale() + m_drawer->GetHorizontalOrigin();
  const double py = height / 2 - Trunc(m_drawer->GetTopMargin() / 2.0) - 1 - (y + oy) * m_drawer->GetScale() +
                    m_drawer->GetVerticalShift();
  return {static_cast<LONG>(std::ceil(px)), static_cast<LONG>(std::ceil(py))};
}

void CResultLayerPainter2D::PreparePictures()
{
  for (CCalcArea* area : TakenAreas()) {
    const CWiseDib& source = area->m_picture;
    if (source.IsEmpty())
      continue;
    m_pictures[static_cast<int>(area->m_kind)] = CopyResultPicture(source);
  }
}

void CResultLayerPainter2D::DrawPictures(HDC dc)
{
  SetStretchBltMode(dc, HALFTONE);
  for (CCalcArea* area : TakenAreas()) {
    const LayerRect* rect = m_drawer->FindLayerRect(area->m_kind);
    const auto picture = m_pictures.find(static_cast<int>(area->m_kind));
    // A kind the layout gave no rectangle has no place in this picture.
    if (!rect || picture == m_pictures.end())
      continue;
    const CWiseDib& dib = *picture->second;
    const int w = Trunc(rect->x1 - rect->x0), h = Trunc(rect->yBottom - rect->yTop);
    int x = Trunc(rect->x0), y = Trunc(rect->yTop);
    if (m_flags & kWallKinds) {
      x = kWallPictureColumn - w / 2;
      y = m_drawer->GetFrame().top;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = dib.GetWidth();
    info.bmiHeader.biHeight = dib.GetHeight();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(dib.GetPixelStride() * 8);
    StretchDIBits(dc, x, y, w, h, 0, 0, dib.GetWidth(), dib.GetHeight(), dib.GetPixels(), &info, DIB_RGB_COLORS,
                  SRCCOPY);
  }
}

void CResultLayerPainter2D::PrepareIsolines()
{
  for (CCalcArea* area : TakenAreas()) {
    if (area->m_displayMode != kDisplayIsolines)
      continue;
    std::vector<Segment> segments;
    for (const auto& isoline : area->m_isolines.GetIsolines()) {
      for (const _ISO_SEGMENT& s : isoline->m_segments) {
        if (!s.shown)
          continue;
        const POINT a = AreaPointToPixel(*area, s.first[0], s.first[1]);
        const POINT b = AreaPointToPixel(*area, s.second[0], s.second[1]);
        segments.push_back({a.x, a.y, b.x, b.y});
      }
    }
    m_segments[static_cast<int>(area->m_kind)] = std::move(segments);
  }
}

void CResultLayerPainter2D::DrawIsolines(HDC dc)
{
  const COLORREF colour = m_palette->GetColorRef(kColorIsolines);
  SetTextColor(dc, colour);
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, colour);
  for (const auto& [kind, segments] : m_segments) {
    if ((static_cast<DWORD>(kind) & m_flags) == 0)
      continue;
    for (const Segment& s : segments) {
      MoveToEx(dc, s.x1, s.y1, nullptr);
      LineTo(dc, s.x2, s.y2);
    }
  }
  SelectObject(dc, oldPen);
  for (CCalcArea* area : TakenAreas()) {
    if (area->m_displayMode != kDisplayIsolines)
      continue;
    for (const auto& isoline : area->m_isolines.GetIsolines())
      for (const auto& label : isoline->m_labels)
        DrawIsolineLabel(dc, *area, label->m_position[0], label->m_position[1], label->m_rotation[2],
                         label->GetText().c_str());
  }
}

void CResultLayerPainter2D::DrawIsolineLabel(HDC dc, const CCalcArea& area, double x, double y, double angle,
                                             const char16_t* text)
{
  HFONT font = CreateLabelFont(angle);
  HGDIOBJ old = SelectObject(dc, font);
  const std::string narrow = Narrow(text);
  const int t = TextHeight(dc, narrow);
  const POINT p = AreaPointToPixel(area, x, y);
  const double a = angle * std::numbers::pi / 180;
  // The rotated text's middle line passes through the label's position.
  TextOutA(dc, Trunc(p.x - std::sin(a) * t / 2), Trunc(p.y - std::cos(a) * t / 2), narrow.c_str(),
           static_cast<int>(narrow.size()));
  SelectObject(dc, old);
  DeleteObject(font);
}

void CResultLayerPainter2D::DrawNodeValues(HDC dc)
{
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCPenColor(dc, m_palette->GetColorRef(kColorNodes));
  SetDCBrushColor(dc, m_palette->GetColorRef(kColorNodes));
  // A label that would run into one drawn before is left out: overlapping digits are no value at all.
  std::vector<RECT> drawn;
  for (CCalcArea* area : TakenAreas()) {
    if (area->m_displayMode != kDisplayNodeValues)
      continue;
    for (const _NODE_LABEL& node : area->m_nodeValues.GetLabels()) {
      if (!node.marker || !node.label)
        continue;
      const POINT p = AreaPointToPixel(*area, node.marker->x, node.marker->y);
      Rectangle(dc, p.x - 1, p.y - 1, p.x + 1, p.y + 1);
      DrawNodeLabel(dc, p.x, p.y, node.label->GetText().c_str(), drawn);
    }
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void CResultLayerPainter2D::DrawNodeLabel(HDC dc, int x, int y, const char16_t* text, std::vector<RECT>& drawn)
{
  HFONT font = CreateLabelFont(0);
  HGDIOBJ old = SelectObject(dc, font);
  const std::string narrow = Narrow(text);
  RECT measured = {0, 0, 0, 0};
  DrawTextA(dc, narrow.c_str(), static_cast<int>(narrow.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
  const int t = measured.bottom - measured.top;
  // A space's width between labels keeps neighbours apart as numbers.
  const int gap = std::max(4, t / 2);
  const RECT box{x + 1, y - t / 2 - 1, x + 2 + measured.right + gap, y - t / 2 + t + 1};
  if (PlaceLabel(box, drawn)) {
    SetTextColor(dc, ReadableOn(GetPixel(dc, x + 2 + measured.right / 2, y), m_palette->GetColorRef(kColorNodeValues)));
    TextOutA(dc, x + 2, y - t / 2, narrow.c_str(), static_cast<int>(narrow.size()));
  }
  SelectObject(dc, old);
  DeleteObject(font);
}
