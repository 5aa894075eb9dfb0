// Icons, image lists, DrawState and the edge and frame-control painters.
#include "picture.h"

#include "platform/gdi/imagelist.h"
#include "platform/gdi/png.h"

#include <gtest/gtest.h>

namespace {

using gdi::testing::Canvas;
using Picture = std::vector<std::string>;

// A 2 x 2 picture: red, green / blue, black; with a mask making the black pixel transparent.
struct Pictures {
  Pictures()
  {
    const std::uint32_t pixels[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00000000};
    color = CreateBitmap(2, 2, 1, 32, pixels);
    const BYTE maskBits[] = {0x00, 0, 0x40, 0};  // row 1, pixel 1 is white: transparent
    mask = CreateBitmap(2, 2, 1, 1, maskBits);
  }
  ~Pictures()
  {
    DeleteObject(color);
    DeleteObject(mask);
  }
  HBITMAP color;
  HBITMAP mask;
};

TEST(Icons, DrawIconExLeavesMaskedPixelsAndDrawsTheMaskAlone)
{
  Pictures p;
  ICONINFO info;
  info.hbmColor = p.color;
  info.hbmMask = p.mask;
  HICON icon = CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  Canvas canvas(2, 2);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.Picture(), (Picture{"rg", "b."}));
  DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK);
  EXPECT_EQ(canvas.Picture(), (Picture{"##", "#."}));

  Canvas big(4, 4);
  DrawIconEx(big.dc(), 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(big.Picture(), (Picture{"rrgg", "rrgg", "bb..", "bb.."}));

  ICONINFO back;
  ASSERT_TRUE(GetIconInfo(icon, &back));
  BITMAP bm;
  GetObject(back.hbmMask, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(back.hbmColor);
  DeleteObject(back.hbmMask);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(ImageLists, AddMaskedAddsEveryImageOfAStripAndDrawsTransparently)
{
  // A strip of two 2 x 1 images; magenta is the transparent colour.
  const std::uint32_t pixels[] = {0x00FF0000, 0x00FF00FF, 0x00FF00FF, 0x000000FF};
  HBITMAP strip = CreateBitmap(4, 1, 1, 32, pixels);
  HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR24 | ILC_MASK, 2, 2);
  EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  Canvas canvas(2, 1);
  ASSERT_TRUE(ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_TRANSPARENT));
  EXPECT_EQ(canvas.Picture(), (Picture{"r."}));
  ImageList_Draw(list, 1, canvas.dc(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(canvas.Picture(), (Picture{"rb"}));
  // A background colour fills the masked pixels in normal drawing.
  ImageList_SetBkColor(list, RGB(0, 0, 0));
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(canvas.Picture(), (Picture{"r#"}));
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_MASK);
  EXPECT_EQ(canvas.Picture(), (Picture{"#."}));
  EXPECT_FALSE(ImageList_Draw(list, 2, canvas.dc(), 0, 0, ILD_NORMAL));

  HICON icon = ImageList_GetIcon(list, 1, ILD_NORMAL);
  EXPECT_EQ(ImageList_AddIcon(list, icon), 2);
  DestroyIcon(icon);
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  DeleteObject(strip);
}

TEST(ImageLists, ThirtyTwoBitImagesBlendByTheirAlpha)
{
  const std::uint32_t pixels[] = {0x80FF0000, 0x00000000};  // half-transparent red, fully transparent
  HBITMAP bits = CreateBitmap(2, 1, 1, 32, pixels);
  HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR32, 1, 1);
  ImageList_Add(list, bits, nullptr);
  Canvas canvas(2, 1);
  ImageList_Draw(list, 0, canvas.dc(), 0, 0, ILD_NORMAL);
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(255, 127, 127));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(255, 255, 255));
  ImageList_Destroy(list);
  DeleteObject(bits);
}

TEST(DrawState, DisabledEmbossesAndMonoPaintsTheShape)
{
  Pictures p;
  Canvas canvas(4, 4);
  SetBkColor(canvas.dc(), RGB(255, 255, 255));
  // The bitmap's non-white pixels are its shape: all four here.
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  ASSERT_TRUE(DrawState(canvas.dc(), red, nullptr, reinterpret_cast<LPARAM>(p.color), 0, 1, 1, 0, 0,
                        DST_BITMAP | DSS_MONO));
  EXPECT_EQ(canvas.Picture(), (Picture{"....", ".rr.", ".rr.", "...."}));
  canvas.surface().Fill(0xFFFFFF);
  DrawState(canvas.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>(p.color), 0, 0, 0, 0, 0,
            DST_BITMAP | DSS_DISABLED);
  const std::uint32_t shadow = 0x808080;
  EXPECT_EQ(canvas.surface().Pixel(0, 0), shadow);
  EXPECT_EQ(canvas.surface().Pixel(2, 2), 0xFFFFFFu);  // the highlight below-right is white on white
  EXPECT_EQ(canvas.surface().Pixel(2, 0), 0xFFFFFFu);
  DeleteObject(red);
}

TEST(DrawEdge, SunkenEdgeColoursAndAdjustedRectangle)
{
  Canvas canvas(6, 6);
  RECT r{0, 0, 6, 6};
  ASSERT_TRUE(DrawEdge(canvas.dc(), &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
  EXPECT_EQ(r, (RECT{2, 2, 4, 4}));
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(canvas.dc(), 5, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(GetPixel(canvas.dc(), 4, 4), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 2), RGB(255, 255, 255));
}

TEST(Pictures, SampleDrawingForPeople)
{
  Canvas canvas(320, 200);
  HDC dc = canvas.dc();
  RECT all{0, 0, 320, 200};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  TRIVERTEX v[2] = {{0, 0, 0x0A00, 0x2400, 0x6A00, 0}, {320, 22, 0xA600, 0xCA00, 0xF000, 0}};
  GRADIENT_RECT gr{0, 1};
  GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
  HFONT font = CreateFont(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, "Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT caption{6, 0, 250, 22};
  DrawText(dc, "Параметры дороги", -1, &caption, DT_SINGLELINE | DT_VCENTER);
  RECT close{298, 3, 314, 17};
  DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  RECT check{10, 34, 23, 47};
  DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  RECT radio{10, 54, 23, 67};
  DrawFrameControl(dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOut(dc, 30, 34, "Освещённость", 12);
  TextOut(dc, 30, 54, "&Яркость", 8);
  RECT sunken{150, 34, 310, 110};
  DrawEdge(dc, &sunken, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  FillRect(dc, &sunken, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(200, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 120, 0));
  HGDIOBJ oldBrush = SelectObject(dc, hatch);
  Ellipse(dc, 160, 44, 230, 100);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  const POINT star[] = {{270, 44}, {282, 98}, {240, 62}, {300, 62}, {258, 98}};
  SetPolyFillMode(dc, WINDING);
  SelectObject(dc, GetSysColorBrush(COLOR_HIGHLIGHT));
  Polygon(dc, star, 5);
  RECT text{10, 120, 310, 190};
  SelectObject(dc, oldFont);
  DeleteObject(font);
  font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, 0, 0, "Arial");
  SelectObject(dc, font);
  DrawText(dc, "Средняя яркость дорожного покрытия и общая равномерность проверяются по нормам для "
               "выбранного класса освещения.", -1, &text, DT_WORDBREAK | DT_CENTER);
  RECT ell{10, 176, 160, 196};
  DrawText(dc, "C:\\Проекты\\Освещение\\дорога.qrd", -1, &ell, DT_SINGLELINE | DT_PATH_ELLIPSIS);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(font);
  DeleteObject(pen);
  DeleteObject(hatch);
  EXPECT_TRUE(gdi::SavePng(canvas.surface(), std::string(TESMIRA_ARTIFACTS_DIR) + "/gdi_sample_drawing.png"));
}

}  // namespace
