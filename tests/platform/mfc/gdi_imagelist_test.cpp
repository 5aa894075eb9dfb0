// CImageList made from a bitmap resource: the strip is cut into images and the mask colour becomes transparent.
#include "tests/platform/mfc/harness.h"

#include <string>
#include <vector>

namespace mfctest {
namespace {

constexpr WORD kStripId = 310;

// A packed DIB, 4 x 2 pixels at 24 bits, rows bottom-up: two images of 2 x 2. Top row: red, magenta | blue,
// magenta; bottom row: red, red | blue, blue.
alignas(8) const BYTE kStrip[] = {
    40, 0, 0, 0,  4, 0, 0, 0,  2, 0, 0, 0,  1, 0,  24, 0,  0, 0, 0, 0,  24, 0, 0, 0,  // header: 4 x 2, 24 bits
    0,  0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,                               // resolution, colours
    0,  0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 0,                                      // bottom row (B, G, R)
    0,  0, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255,                                  // top row
};

HINSTANCE StripModule()
{
  static const platform::BinaryResource resources[] = {{2 /* RT_BITMAP */, kStripId, kStrip, sizeof(kStrip)}};
  static platform::ResourceModuleData module{"GdiImageListTests", nullptr, 0};
  module.resources = resources;
  module.resourceCount = std::size(resources);
  static HINSTANCE handle = platform::RegisterResourceModule(module);
  return handle;
}

TEST(GdiImageList, ABitmapStripBecomesImagesWithTheMaskColourTransparent)
{
  RegisterTestStrings();
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(StripModule());
  CImageList list;
  ASSERT_TRUE(list.Create(kStripId, 2, 0, RGB(255, 0, 255)));
  CImageList missing;
  EXPECT_FALSE(missing.Create(kStripId + 1, 2, 0, RGB(255, 0, 255)));
  EXPECT_EQ(missing.m_hImageList, nullptr);
  AfxSetResourceHandle(previous);
  EXPECT_EQ(list.GetImageCount(), 2);

  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap canvas;
  ASSERT_TRUE(canvas.CreateBitmap(5, 2, 1, 32, nullptr));
  CBitmap* old = dc.SelectObject(&canvas);
  dc.FillSolidRect(0, 0, 5, 2, RGB(0, 255, 0));
  EXPECT_TRUE(list.Draw(&dc, 0, CPoint(0, 0), ILD_TRANSPARENT));
  EXPECT_TRUE(list.Draw(&dc, 1, CPoint(3, 0), ILD_TRANSPARENT));
  const COLORREF green = RGB(0, 255, 0);
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF blue = RGB(0, 0, 255);
  const std::vector<COLORREF> expected = {red, green, green, blue, green,  // magenta left the background
                                          red, red,   green, blue, blue};
  std::vector<COLORREF> seen;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 5; ++x) {
      seen.push_back(dc.GetPixel(x, y));
    }
  }
  EXPECT_EQ(seen, expected);
  dc.SelectObject(old);
  CGdiObject::DeleteTempMap();
}

}  // namespace
}  // namespace mfctest
