// Drawing through CDC: a small scene compared pixel by pixel, and the DCs of a window's painting.
#include "tests/platform/mfc/harness.h"

#include "platform/gdi/png.h"

#include <map>
#include <string>
#include <vector>

namespace mfctest {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// '.' white, '#' black, 'r' red, 'g' green, 'b' blue, '?' anything else.
std::vector<std::string> Picture(CDC& dc, int width, int height)
{
  static const std::map<COLORREF, char> kNames = {
      {kWhite, '.'}, {kBlack, '#'}, {kRed, 'r'}, {kGreen, 'g'}, {kBlue, 'b'}};
  std::vector<std::string> rows;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      auto it = kNames.find(dc.GetPixel(x, y));
      row.push_back(it == kNames.end() ? '?' : it->second);
    }
    rows.push_back(row);
  }
  return rows;
}

// The scene: a framed rectangle, a 3-D frame, a line, a copied block and a clipped fill.
void DrawScene(CDC& dc)
{
  dc.FillSolidRect(0, 0, 24, 16, kWhite);

  CPen red(PS_SOLID, 1, kRed);
  CBrush blue(kBlue);
  CPen* oldPen = dc.SelectObject(&red);
  CBrush* oldBrush = dc.SelectObject(&blue);
  dc.Rectangle(1, 1, 9, 7);
  dc.SelectObject(oldBrush);

  dc.Draw3dRect(CRect(11, 1, 19, 7), kBlack, kGreen);

  CPen green(PS_SOLID, 1, kGreen);
  dc.SelectObject(&green);
  dc.MoveTo(1, 10);
  dc.LineTo(10, 10);
  dc.SelectObject(oldPen);

  CDC source;
  source.CreateCompatibleDC(&dc);
  CBitmap block;
  block.CreateCompatibleBitmap(&dc, 3, 2);
  CBitmap* oldBlock = source.SelectObject(&block);
  source.FillSolidRect(0, 0, 3, 2, kRed);
  dc.BitBlt(20, 10, 3, 2, &source, 0, 0, SRCCOPY);
  source.SelectObject(oldBlock);

  const int saved = dc.SaveDC();
  dc.IntersectClipRect(12, 12, 15, 14);
  dc.FillSolidRect(8, 8, 16, 8, kBlack);
  dc.RestoreDC(saved);
}

TEST(DCDrawing, SceneDrawnThroughTheFrameworkClassesMatchesItsPicture)
{
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap canvas;
  ASSERT_TRUE(canvas.CreateBitmap(24, 16, 1, 32, nullptr));
  CBitmap* oldCanvas = dc.SelectObject(&canvas);
  DrawScene(dc);

  const std::vector<std::string> expected = {
      "........................",  //
      ".rrrrrrrr..#######g.....",  //
      ".rbbbbbbr..#......g.....",  //
      ".rbbbbbbr..#......g.....",  //
      ".rbbbbbbr..#......g.....",  //
      ".rbbbbbbr..#......g.....",  //
      ".rrrrrrrr..gggggggg.....",  //
      "........................",  //
      "........................",  //
      "........................",  //
      ".ggggggggg..........rrr.",  //
      "....................rrr.",  //
      "............###.........",  //
      "............###.........",  //
      "........................",  //
      "........................",  //
  };
  EXPECT_EQ(Picture(dc, 24, 16), expected);

  // A person's copy: the scene eight times as large, with a caption.
  CDC big;
  ASSERT_TRUE(big.CreateCompatibleDC(&dc));
  CBitmap poster;
  ASSERT_TRUE(poster.CreateCompatibleBitmap(&dc, 192, 156));
  CBitmap* oldPoster = big.SelectObject(&poster);
  big.FillSolidRect(0, 0, 192, 156, kWhite);
  big.StretchBlt(0, 0, 192, 128, &dc, 0, 0, 24, 16, SRCCOPY);
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(100, "Arial", &big));
  CFont* oldFont = big.SelectObject(&font);
  big.SetBkMode(TRANSPARENT);
  big.SetTextColor(kBlack);
  CRect caption(0, 130, 192, 156);
  big.DrawText(CString("CDC: shapes, blit, clip"), &caption, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  big.SelectObject(oldFont);
  // The enlarged scene keeps its colours; the caption left ink.
  EXPECT_EQ(big.GetPixel(8 * 4 + 3, 8 * 3 + 3), kBlue);
  EXPECT_EQ(big.GetPixel(8 * 12 + 3, 8 * 12 + 3), kBlack);
  bool ink = false;
  for (int y = caption.top; y < caption.bottom && !ink; ++y) {
    for (int x = 0; x < 192 && !ink; ++x) {
      ink = big.GetPixel(x, y) != kWhite;
    }
  }
  EXPECT_TRUE(ink);
  big.SelectObject(oldPoster);
  EXPECT_TRUE(gdi::SavePng(poster.m_hObject, std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_cdc_scene.png"));

  dc.SelectObject(oldCanvas);
  CGdiObject::DeleteTempMap();
}

TEST(DCDrawing, HalftoneBrushInvertsACheckerboardThatASecondPassErases)
{
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap canvas;
  ASSERT_TRUE(canvas.CreateBitmap(8, 2, 1, 32, nullptr));
  CBitmap* oldCanvas = dc.SelectObject(&canvas);
  dc.FillSolidRect(0, 0, 8, 2, kWhite);
  ASSERT_EQ(CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
  CBrush* oldBrush = dc.SelectObject(CDC::GetHalftoneBrush());
  dc.PatBlt(0, 0, 8, 2, PATINVERT);
  EXPECT_EQ(Picture(dc, 8, 2), (std::vector<std::string>{".#.#.#.#", "#.#.#.#."}));
  dc.PatBlt(0, 0, 8, 2, PATINVERT);
  EXPECT_EQ(Picture(dc, 8, 2), (std::vector<std::string>{"........", "........"}));
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldCanvas);
  CGdiObject::DeleteTempMap();
}

class CPaintedWnd : public CWnd {
public:
  int paints = 0;
  void OnPaint()
  {
    CPaintDC dc(this);
    ++paints;
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kRed);
    CBrush green(kGreen);
    dc.FillRect(CRect(2, 2, 6, 6), &green);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(DCDrawing, PaintDCValidatesTheWindowAndClientDCSeesWhatWasPainted)
{
  CPaintedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "painted", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, nullptr));
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 1);
  // EndPaint validated what was to be painted, so there is nothing more to paint.
  EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, nullptr, FALSE));
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.paints, 1);

  HDC released = nullptr;
  {
    CClientDC dc(&wnd);
    ASSERT_NE(dc.m_hDC, nullptr);
    released = dc.m_hDC;
    EXPECT_EQ(dc.GetWindow(), &wnd);
    EXPECT_EQ(dc.GetPixel(0, 0), kRed);
    EXPECT_EQ(dc.GetPixel(3, 3), kGreen);
    EXPECT_EQ(dc.GetPixel(39, 29), kRed);
  }
  EXPECT_EQ(::GetObjectType(reinterpret_cast<HGDIOBJ>(released)), 0);
  {
    CWindowDC dc(&wnd);
    ASSERT_NE(dc.m_hDC, nullptr);
    EXPECT_EQ(dc.GetPixel(3, 3), kGreen);  // a popup without a frame: window and client coincide
  }
  wnd.DestroyWindow();
  CWnd::DeleteTempMap();
}

}  // namespace
}  // namespace mfctest
