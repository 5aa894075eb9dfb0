#include "graphics/drawers/road_picture_renderer.h"

#include "graphics/core/color_legend.h"
#include "graphics/core/graphic_core_full.h"
#include "graphics/core/scene_palette.h"
#include "graphics/drawers/customize_road_drawer_2d.h"
#include "graphics/drawers/light_device_painter_2d.h"
#include "graphics/drawers/result_layer_painter_2d.h"
#include "graphics/drawers/road_drawer_2d.h"
#include "graphics/drawers/straight_road_drawer_2d.h"
#include "graphics/scene/scene_builder.h"
#include "model/igroups.h"
#include "platform/mfc/gdiobj.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kPictureColours = 1;
constexpr int kLuminanceQuantity = 0;
constexpr int kIlluminanceQuantity = 1;
// Below the road of a straight road's picture, above the bottom edge of any other.
constexpr int kLegendGap = 30;
constexpr int kLegendBottomMargin = 50;
constexpr int kLegendCellHeight = 20;

}  // namespace

CRoadPictureRenderer::CRoadPictureRenderer(CGraphicCoreFull* core)
    : m_core(core), m_painter(std::make_unique<CLightDevicePainter2D>(core)), m_builder(core->GetSceneBuilder()),
      m_palette(CScenePalette::GetInstance())
{
  if (m_palette->GetPictureFlag() != kPictureColours) {
    m_palette->SetPictureFlag(kPictureColours);
    m_palette->Reset();
  }
}

CRoadPictureRenderer::~CRoadPictureRenderer()
{
  m_palette->SetPictureFlag(0);
  m_palette->Reset();
  m_drawer.reset();
}

BOOL CRoadPictureRenderer::Render(DWORD flags, CBitmap* bitmap, int width, int height, IGroupOfDev* group)
{
  m_flags = flags;
  m_width = width;
  m_height = height;
  if (!bitmap || width <= 0 || height <= 0)
    return FALSE;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 3;
  m_memoryDC = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP picture = m_memoryDC ? CreateDIBSection(m_memoryDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  // Drawn on a screen-format bitmap and copied into the picture once: every call drawing into a DIB section
  // brings its bits up to date, which the hundreds of lines of a picture would pay for each time.
  HBITMAP canvas = nullptr;
  if (picture) {
    // Compatible with the DC while the picture is in it: a colour bitmap, not the DC's first monochrome one.
    HGDIOBJ first = SelectObject(m_memoryDC, picture);
    canvas = CreateCompatibleBitmap(m_memoryDC, width, height);
    SelectObject(m_memoryDC, first);
  }
  if (!picture || !canvas) {
    if (picture)
      DeleteObject(picture);
    if (canvas)
      DeleteObject(canvas);
    if (m_memoryDC)
      DeleteDC(m_memoryDC);
    m_memoryDC = nullptr;
    return FALSE;
  }
  HGDIOBJ oldBitmap = SelectObject(m_memoryDC, canvas);

  SetBkMode(m_memoryDC, TRANSPARENT);
  SetGraphicsMode(m_memoryDC, GM_ADVANCED);
  HGDIOBJ oldBrush = SelectObject(m_memoryDC, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(m_memoryDC, GetStockObject(DC_PEN));
  SetDCPenColor(m_memoryDC, RGB(0, 0, 0));
  SetDCBrushColor(m_memoryDC, RGB(255, 255, 255));
  PatBlt(m_memoryDC, 0, 0, width, height, PATCOPY);

  m_core->RefreshProjectState();
  const BOOL straight = m_core->IsStraightRoad();
  MakeDrawer(straight, group);
  // The middle of the group's spacing window lands on the bitmap's middle; further groups of one build move it
  // by the difference of their spacing from the main group's.
  if (straight && group && (flags & kPictureLuminairePlan)) {
    const double spacing = *group->GetStep();
    IGroupOfDev* previous = group->GetPrev();
    double d = spacing;
    if (previous || group->IsSubGroup())
      d = spacing - m_mainSpacing;
    else
      m_mainSpacing = spacing;
    m_painter->m_shift += d / 2;
  }
  if (group)
    m_painter->DrawGroups(m_memoryDC, group, flags);
  if (flags & kPictureLegend)
    DrawLegend(straight);

  SelectObject(m_memoryDC, GetStockObject(NULL_BRUSH));
  SetDCPenColor(m_memoryDC, RGB(0, 0, 0));
  Rectangle(m_memoryDC, 0, 0, width - 1, height - 1);
  SelectObject(m_memoryDC, oldPen);
  SelectObject(m_memoryDC, oldBrush);
  if (HDC pictureDC = CreateCompatibleDC(nullptr)) {
    HGDIOBJ oldPicture = SelectObject(pictureDC, picture);
    BitBlt(pictureDC, 0, 0, width, height, m_memoryDC, 0, 0, SRCCOPY);
    SelectObject(pictureDC, oldPicture);
    DeleteDC(pictureDC);
  }
  SelectObject(m_memoryDC, oldBitmap);
  DeleteObject(canvas);
  DeleteDC(m_memoryDC);
  m_memoryDC = nullptr;
  bitmap->DeleteObject();
  bitmap->Attach(picture);
  return TRUE;
}

void CRoadPictureRenderer::MakeDrawer(BOOL straight, IGroupOfDev* group)
{
  m_drawer.reset();
  m_painter->SetDrawer(nullptr);
  if (!straight) {
    auto drawer = std::make_unique<CCustomizeRoadDrawer2D>(m_core, this);
    m_painter->SetDrawer(drawer.get());
    drawer->Draw();
    m_drawer = std::move(drawer);
    return;
  }
  auto drawer = std::make_unique<CStraightRoadDrawer2D>(group, m_builder, this);
  m_painter->SetDrawer(drawer.get());
  drawer->Draw();
  m_drawer = std::move(drawer);
}

void CRoadPictureRenderer::DrawLegend(BOOL straight)
{
  CColorLegend legend;
  const bool luminance = (m_flags & (kPictureOppositeLuminance | kPictureMainLuminance)) != 0;
  legend.SetLevels(m_core->GetColorLevels(), luminance ? kLuminanceQuantity : kIlluminanceQuantity);
  double y = m_height - kLegendBottomMargin;
  if (straight && m_drawer) {
    const CSceneBuilder& b = *m_builder;
    double across = b.m_leftSidewalkWidth + b.m_rightSidewalkWidth + b.m_leftSidewalkGap + b.m_rightSidewalkGap +
                    b.m_mainWidth + b.m_oppositeWidth + b.m_dividerWidth;
    if (m_flags & kPictureLeftWall)
      across = b.m_leftWallHeight;
    else if (m_flags & kPictureRightWall)
      across = b.m_rightWallHeight;
    y = m_drawer->GetScale() * across / 2 + m_height / 2 + kLegendGap;
  }
  legend.DrawGDI(m_width / 2 - legend.GetWidth() / 2, y, m_memoryDC);

  // The scale ends at its last level and every greater value takes the last colour: the legend says so, or a
  // field above the scale would read as that one value.
  const CColorLevelArray& levels = m_core->GetColorLevels();
  if (levels.GetSize() > 0) {
    char note[96];
    std::snprintf(note, sizeof(note), "Последний цвет: %g %s и выше", levels[levels.GetSize() - 1].value,
                  luminance ? "кд/м^2" : "лк");
    HFONT font = CreateLabelFont(0);
    HGDIOBJ old = SelectObject(m_memoryDC, font);
    SetTextColor(m_memoryDC, RGB(0, 0, 0));
    SIZE size{};
    GetTextExtentPoint32A(m_memoryDC, note, static_cast<int>(std::strlen(note)), &size);
    TextOutA(m_memoryDC, m_width / 2 - size.cx / 2, static_cast<int>(y) + kLegendCellHeight + 5 + size.cy + 4, note,
             static_cast<int>(std::strlen(note)));
    SelectObject(m_memoryDC, old);
    DeleteObject(font);
  }
}
