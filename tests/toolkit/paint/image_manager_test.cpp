#include "toolkit/paint/image_manager.h"

#include "res/modules.h"
#include "toolkit/paint/color_manager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Name(COLORREF c)
{
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}

// A w x h icon of one colour whose left column is transparent (mask white there).
HICON MakeIcon(int w, int h, COLORREF clr)
{
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, w, h);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, color);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      SetPixelV(dc, x, y, x == 0 ? RGB(0, 0, 0) : clr);
    }
  }
  SelectObject(dc, mask);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      SetPixelV(dc, x, y, x == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info;
  info.fIcon = TRUE;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

// A bottom-up 32-bit section filled with (b, g, r, a).
HBITMAP MakeAlpha(int w, int h, COLORREF clr, BYTE alpha)
{
  BITMAPINFO info{};
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* p = static_cast<BYTE*>(bits);
  for (int i = 0; i < w * h; ++i) {
    p[i * 4] = GetBValue(clr);
    p[i * 4 + 1] = GetGValue(clr);
    p[i * 4 + 2] = GetRValue(clr);
    p[i * 4 + 3] = alpha;
  }
  return bitmap;
}

// The colour of pixel (x, y) of an icon's colour bitmap, and whether its mask makes it opaque.
std::string IconPixel(HICON icon, int x, int y)
{
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) {
    return "no icon";
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, info.hbmColor);
  const COLORREF clr = GetPixel(dc, x, y);
  SelectObject(dc, info.hbmMask);
  const bool opaque = GetPixel(dc, x, y) == RGB(0, 0, 0);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return Name(clr) + (opaque ? "" : " transparent");
}

// Pixel 0 of an alpha bitmap as colour and alpha.
std::string AlphaPixel(HBITMAP bitmap, int index = 0)
{
  DIBSECTION section{};
  if (bitmap == nullptr || GetObject(bitmap, sizeof(section), &section) != sizeof(section)) {
    return "no bitmap";
  }
  const BYTE* p = static_cast<const BYTE*>(section.dsBm.bmBits) + index * 4;
  return Name(RGB(p[2], p[1], p[0])) + " alpha " + std::to_string(p[3]);
}

enum class Derived { Faded, Shadow, DisabledGrey, DisabledTinted };

struct DerivedCase {
  const char* what;
  Derived kind;
  COLORREF source;
  COLORREF expected;
};

CTKImageManagerIconHandle& DerivedImage(CTKImageManagerIcon& icon, Derived kind)
{
  switch (kind) {
  case Derived::Faded: return icon.GetFadedIcon();
  case Derived::Shadow: return icon.GetShadowIcon();
  case Derived::DisabledGrey: return icon.GetDisabledIcon(TRUE);
  case Derived::DisabledTinted:
    icon.CreateDisabledIcon(RGB(255, 255, 0), RGB(0, 0, 100));
    return icon.GetDisabledIcon(FALSE);
  }
  return icon.GetIcon();
}

TEST(ImageManager, DerivedImagesOfIconsAndAlphaBitmaps)
{
  const COLORREF c31 = TKColorManager().GetColor(31);
  const COLORREF shadow = RGB(GetRValue(c31) * 3 / 4, GetGValue(c31) * 3 / 4, GetBValue(c31) * 3 / 4);
  const DerivedCase cases[] = {
      {"faded black", Derived::Faded, RGB(0, 0, 0), RGB(76, 76, 76)},
      {"faded white", Derived::Faded, RGB(255, 255, 255), RGB(255, 255, 255)},
      {"faded mid", Derived::Faded, RGB(100, 0, 200), RGB(146, 76, 216)},
      {"grey disabled mid-grey", Derived::DisabledGrey, RGB(128, 128, 128), RGB(180, 180, 180)},
      {"grey disabled black", Derived::DisabledGrey, RGB(0, 0, 0), RGB(0, 0, 0)},
      {"grey disabled pure red", Derived::DisabledGrey, RGB(255, 0, 0), RGB(139, 139, 139)},
      {"tinted white takes the light colour", Derived::DisabledTinted, RGB(255, 255, 255), RGB(255, 255, 0)},
      {"tinted black takes the dark colour", Derived::DisabledTinted, RGB(0, 0, 0), RGB(0, 0, 100)},
      {"tinted mid-grey", Derived::DisabledTinted, RGB(128, 128, 128), RGB(128, 128, 49)},
      {"shadow", Derived::Shadow, RGB(10, 200, 30), shadow},
  };
  for (const DerivedCase& c : cases) {
    SCOPED_TRACE(c.what);
    CTKImageManager manager;
    HICON icon = MakeIcon(16, 16, c.source);
    ASSERT_TRUE(manager.SetIcon(CTKImageManagerIconHandle(icon), 1));
    DestroyIcon(icon);
    CTKImageManagerIcon* image = manager.GetImage(1, 16);
    ASSERT_NE(image, nullptr);
    CTKImageManagerIconHandle& derived = DerivedImage(*image, c.kind);
    ASSERT_NE(derived.GetIcon(), nullptr);
    EXPECT_EQ(IconPixel(derived.GetIcon(), 5, 5), Name(c.expected));
    // A transparent pixel keeps its colour and its mask.
    EXPECT_EQ(IconPixel(derived.GetIcon(), 0, 5), "RGB(0, 0, 0) transparent");

    HBITMAP alpha = MakeAlpha(16, 16, c.source, 200);
    ASSERT_TRUE(manager.SetIcon(CTKImageManagerIconHandle(alpha), 2));
    DeleteObject(alpha);
    CTKImageManagerIcon* alphaImage = manager.GetImage(2, 16);
    ASSERT_NE(alphaImage, nullptr);
    EXPECT_EQ(AlphaPixel(DerivedImage(*alphaImage, c.kind).GetBitmap()), Name(c.expected) + " alpha 200");
  }
}

TEST(ImageManager, DisabledImageIsGeneratedOnceAndDroppedWhenAnImageChanges)
{
  CTKImageManager manager;
  HICON icon = MakeIcon(16, 16, RGB(128, 128, 128));
  manager.SetIcon(CTKImageManagerIconHandle(icon), 7);
  CTKImageManagerIcon* image = manager.GetImage(7, 16);
  EXPECT_TRUE(image->GetDisabledIcon(FALSE).IsEmpty());
  // A theme's tint comes first; a later grey request keeps it.
  image->CreateDisabledIcon(RGB(255, 255, 0), RGB(0, 0, 100));
  image->CreateDisabledIcon();
  EXPECT_EQ(IconPixel(image->GetDisabledIcon(TRUE).GetIcon(), 5, 5), Name(RGB(128, 128, 49)));
  image->SetHotIcon(CTKImageManagerIconHandle(icon));
  EXPECT_TRUE(image->GetDisabledIcon(FALSE).IsEmpty());
  manager.RefreshAll();
  EXPECT_EQ(IconPixel(image->GetDisabledIcon(TRUE).GetIcon(), 5, 5), Name(RGB(180, 180, 180)));
  // An explicit disabled image wins over the generated one.
  HICON explicitDisabled = MakeIcon(16, 16, RGB(1, 2, 3));
  manager.SetIcon(CTKImageManagerIconHandle(explicitDisabled), 7, 16, 16, CTKImageManager::kStateDisabled);
  EXPECT_EQ(IconPixel(image->GetDisabledIcon(FALSE).GetIcon(), 5, 5), Name(RGB(1, 2, 3)));
  DestroyIcon(icon);
  DestroyIcon(explicitDisabled);
}

TEST(ImageManager, ScaledCopyComesFromTheNearestWidthAndGoesWhenTheSetChanges)
{
  CTKImageManager manager;
  HICON small = MakeIcon(16, 16, RGB(255, 0, 0));
  HICON large = MakeIcon(32, 32, RGB(0, 0, 255));
  manager.SetIcon(CTKImageManagerIconHandle(small), 5);
  manager.SetIcon(CTKImageManagerIconHandle(large), 5);
  CTKImageManagerIconSet* set = manager.GetIconSet(5);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->GetIcon(20, FALSE), nullptr);

  CTKImageManagerIcon* scaled = manager.GetImage(5, 20);
  ASSERT_NE(scaled, nullptr);
  EXPECT_TRUE(scaled->IsScaled());
  EXPECT_EQ(scaled->GetWidth(), 20);
  EXPECT_EQ(scaled->GetHeight(), 20);
  EXPECT_EQ(CTKImageManagerIcon::GetIconSize(scaled->GetIcon().GetIcon()), CSize(20, 20));
  EXPECT_EQ(IconPixel(scaled->GetIcon().GetIcon(), 10, 10), Name(RGB(255, 0, 0)));  // from 16, nearer by 4
  EXPECT_EQ(manager.GetImage(5, 20), scaled);
  EXPECT_EQ(set->GetIcon(20, FALSE), scaled);
  EXPECT_EQ(set->GetCount(), 3);

  manager.SetIcon(CTKImageManagerIconHandle(small), 5, 0, 0, CTKImageManager::kStateHot);
  EXPECT_EQ(set->GetIcon(20, FALSE), nullptr);
  EXPECT_EQ(set->GetCount(), 2);

  // Width 0 takes the nearest as it is.
  EXPECT_EQ(manager.GetImage(5, 0)->GetWidth(), 16);
  EXPECT_EQ(manager.GetImage(6, 16), nullptr);
  DestroyIcon(small);
  DestroyIcon(large);
}

TEST(ImageManager, AlphaIconsAreNeverScaled)
{
  CTKImageManager manager;
  HBITMAP alpha = MakeAlpha(16, 16, RGB(1, 2, 3), 255);
  manager.SetIcon(CTKImageManagerIconHandle(alpha), 9);
  DeleteObject(alpha);
  CTKImageManagerIcon* image = manager.GetImage(9, 32);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetWidth(), 16);
  EXPECT_FALSE(image->IsScaled());
  EXPECT_EQ(manager.GetIconSet(9)->GetCount(), 1);
}

TEST(ImageManager, SetIconRefusalsAndCustomIds)
{
  CTKImageManager manager;
  EXPECT_FALSE(manager.SetIcon(CTKImageManagerIconHandle(), 1));
  HICON icon = MakeIcon(16, 16, RGB(9, 9, 9));
  // A state other than normal needs an existing set.
  EXPECT_FALSE(manager.SetIcon(CTKImageManagerIconHandle(icon), 1, 0, 0, CTKImageManager::kStateHot));
  EXPECT_EQ(manager.GetIconSet(1), nullptr);
  EXPECT_EQ(manager.AddCustomIcon(CTKImageManagerIconHandle(icon)), 68267u);
  EXPECT_EQ(manager.AddCustomIcon(CTKImageManagerIconHandle(icon)), 68268u);
  ASSERT_NE(manager.GetImage(68268, 16), nullptr);
  EXPECT_EQ(manager.GetImage(68268, 16)->GetID(), 68268u);
  DestroyIcon(icon);
}

TEST(ImageManager, AlphaStripIsCutInOrderSkippingSeparatorIds)
{
  // Five 16-pixel images whose columns are told apart by their red value.
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 80;
  info.bmiHeader.biHeight = 16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  CBitmap strip;
  strip.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* p = static_cast<BYTE*>(bits);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 80; ++x) {
      BYTE* px = p + (y * 80 + x) * 4;
      px[0] = static_cast<BYTE>(y);
      px[1] = 0;
      px[2] = static_cast<BYTE>(10 * (x / 16 + 1));
      px[3] = 255;
    }
  }
  CTKImageManager manager;
  const UINT ids[] = {1, 0, 2, 3, 4, 5};
  ASSERT_TRUE(manager.SetIcons(strip, ids, 6, CSize(16, 16), 0, TRUE));
  EXPECT_EQ(manager.GetIconSet(0), nullptr);
  for (UINT id = 1; id <= 5; ++id) {
    SCOPED_TRACE(id);
    CTKImageManagerIcon* image = manager.GetImage(id, 16);
    ASSERT_NE(image, nullptr);
    // Row 3 of the piece is row 3 of the strip.
    EXPECT_EQ(AlphaPixel(image->GetIcon().GetBitmap(), 3 * 16),
              Name(RGB(10 * id, 0, 3)) + " alpha 255");
  }
  // A strip whose width is no multiple of the size is refused.
  EXPECT_FALSE(manager.SetIcons(strip, ids, 6, CSize(15, 16), 0, TRUE));
  EXPECT_FALSE(manager.SetIcons(strip, ids, 6, CSize(0, 16), 0, TRUE));
}

TEST(ImageManager, MaskedStripTakesTheTopLeftColourAsTransparent)
{
  HDC screen = GetDC(nullptr);
  CBitmap strip;
  strip.Attach(CreateCompatibleBitmap(screen, 32, 16));
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, strip.GetSafeHandle());
  RECT all{0, 0, 32, 16};
  HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
  FillRect(dc, &all, magenta);
  DeleteObject(magenta);
  SetPixelV(dc, 5, 5, RGB(0, 128, 0));
  SetPixelV(dc, 21, 5, RGB(0, 0, 128));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  CTKImageManager manager;
  const UINT ids[] = {40, 41};
  ASSERT_TRUE(manager.SetIcons(strip, ids, 2, CSize(16, 16), 0, FALSE));
  EXPECT_EQ(IconPixel(manager.GetImage(40, 16)->GetIcon().GetIcon(), 5, 5), Name(RGB(0, 128, 0)));
  EXPECT_EQ(IconPixel(manager.GetImage(41, 16)->GetIcon().GetIcon(), 5, 5), Name(RGB(0, 0, 128)));
  EXPECT_EQ(IconPixel(manager.GetImage(41, 16)->GetIcon().GetIcon(), 0, 0), "RGB(0, 0, 0) transparent");
}

// The image editor's sixteen tool pictures of the toolkit module, once masked on grey (9352) and once with an
// alpha channel (9353).
TEST(ImageManager, StripsFromTheResourceModule)
{
  res::RegisterModules();
  const HINSTANCE program = AfxGetResourceHandle();
  AfxSetResourceHandle(platform::RegisterResourceModule(res::ToolkitModule()));
  EXPECT_FALSE(CTKImageManager::IsAlphaBitmapResource(9352));
  EXPECT_TRUE(CTKImageManager::IsAlphaBitmapResource(9353));
  EXPECT_FALSE(CTKImageManager::IsAlphaBitmapResource(9999));

  UINT ids[16];
  for (UINT i = 0; i < 16; ++i) {
    ids[i] = 100 + i;
  }
  CTKImageManager masked;
  ASSERT_TRUE(masked.SetIconsFromResource(9352, ids, 16));
  CTKImageManager alpha;
  ASSERT_TRUE(alpha.SetIconsFromResource(9353, ids, 0, CSize(16, 16)));
  CTKImageManager missing;
  EXPECT_FALSE(missing.SetIconsFromResource(9999, ids, 16));
  AfxSetResourceHandle(program);

  for (UINT id : ids) {
    SCOPED_TRACE(id);
    CTKImageManagerIcon* a = masked.GetImage(id, 16);
    CTKImageManagerIcon* b = alpha.GetImage(id, 16);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(a->GetIcon().IsAlpha());
    EXPECT_TRUE(b->GetIcon().IsAlpha());
    EXPECT_EQ(CSize(a->GetWidth(), a->GetHeight()), CSize(16, 16));
    EXPECT_EQ(CSize(b->GetWidth(), b->GetHeight()), CSize(16, 16));
  }
  // Both forms draw the same picture: the opaque pixels of each image agree.
  HDC screen = GetDC(nullptr);
  CDC one;
  CDC two;
  one.Attach(CreateCompatibleDC(screen));
  two.Attach(CreateCompatibleDC(screen));
  CBitmap first;
  CBitmap second;
  first.Attach(CreateCompatibleBitmap(screen, 16 * 16, 16));
  second.Attach(CreateCompatibleBitmap(screen, 16 * 16, 16));
  ReleaseDC(nullptr, screen);
  CBitmap* oldOne = one.SelectObject(&first);
  CBitmap* oldTwo = two.SelectObject(&second);
  one.FillSolidRect(0, 0, 256, 16, RGB(255, 0, 255));
  two.FillSolidRect(0, 0, 256, 16, RGB(255, 0, 255));
  for (int i = 0; i < 16; ++i) {
    masked.GetImage(ids[i], 16)->Draw(&one, CPoint(i * 16, 0));
    alpha.GetImage(ids[i], 16)->Draw(&two, CPoint(i * 16, 0));
  }
  int opaque = 0;
  int differing = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 256; ++x) {
      const COLORREF a = one.GetPixel(x, y);
      const COLORREF b = two.GetPixel(x, y);
      if (a != RGB(255, 0, 255) && b != RGB(255, 0, 255)) {
        ++opaque;
        differing += a != b ? 1 : 0;
      }
    }
  }
  EXPECT_GT(opaque, 16 * 16);
  EXPECT_EQ(differing, 0);
  one.SelectObject(oldOne);
  two.SelectObject(oldTwo);
}

std::string WriteFile(const std::string& name, const std::vector<BYTE>& bytes)
{
  const std::string path = ::testing::TempDir() + name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// An icon file written by hand: two directory entries, a 16-pixel 8-bit image (never read) and a 2 x 2 32-bit
// one at offset 38: its header counts 4 rows (colour and mask), 16 bytes of colour pixels, 8 bytes of mask.
std::vector<BYTE> IconFile()
{
  std::vector<BYTE> b = {
      0, 0, 1, 0, 2, 0,                                             // reserved, type 1 (icon), 2 images
      16, 16, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0,             // 16 x 16, 8 bits: not ours
      2, 2, 0, 0, 1, 0, 32, 0, 64, 0, 0, 0, 38, 0, 0, 0,            // 2 x 2, 32 bits, 64 bytes at 38
      40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0,             // BITMAPINFOHEADER: 40, 2, 4, 1 plane, 32
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      1, 2, 3, 255, 4, 5, 6, 128, 7, 8, 9, 0, 10, 11, 12, 64,       // bottom row, then top row (B, G, R, A)
      0, 0, 0, 0, 0, 0, 0, 0,                                       // mask rows
  };
  return b;
}

TEST(ImageManager, AlphaIconsAndBitmapsFromFiles)
{
  const std::string icon = WriteFile("alpha.ico", IconFile());
  for (const int width : {0, 2}) {
    SCOPED_TRACE(width);
    CBitmap bitmap;
    bitmap.Attach(CTKImageManagerIcon::LoadAlphaIcon(icon.c_str(), width));
    ASSERT_NE(bitmap.GetSafeHandle(), nullptr);
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 2);
    EXPECT_EQ(std::abs(bm.bmHeight), 2);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(AlphaPixel(static_cast<HBITMAP>(bitmap.GetSafeHandle()), 0), Name(RGB(3, 2, 1)) + " alpha 255");
    EXPECT_EQ(AlphaPixel(static_cast<HBITMAP>(bitmap.GetSafeHandle()), 3), Name(RGB(12, 11, 10)) + " alpha 64");
  }
  EXPECT_EQ(CTKImageManagerIcon::LoadAlphaIcon(icon.c_str(), 16), nullptr);  // only an 8-bit image that wide
  EXPECT_EQ(CTKImageManagerIcon::LoadAlphaIcon((icon + ".missing").c_str(), 0), nullptr);

  struct Broken {
    const char* what;
    size_t at;  // byte changed (or the length the file is cut to, for "cut")
    BYTE value;
    bool cut;
  };
  const Broken broken[] = {
      {"pixels cut short", 38 + 40 + 10, 0, true},
      {"directory longer than the file", 4, 200, false},
      {"image offset past the end", 34, 200, false},
      {"header width far too large", 42, 0x7F, false},
      {"header height zero", 46, 0, false},
  };
  for (const Broken& b : broken) {
    SCOPED_TRACE(b.what);
    std::vector<BYTE> bytes = IconFile();
    if (b.cut) {
      bytes.resize(b.at);
    } else {
      bytes[b.at] = b.value;
      if (b.at == 42) {
        bytes[43] = 0x7F;
      }
    }
    const std::string path = WriteFile("broken.ico", bytes);
    EXPECT_EQ(CTKImageManagerIcon::LoadAlphaIcon(path.c_str(), 0), nullptr);
  }

  // A bitmap file: a 14-byte file header, then the info header with its bit count at offset 14 + 14.
  std::vector<BYTE> bmp(14 + 40, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[14] = 40;
  bmp[28] = 32;
  EXPECT_TRUE(CTKImageManager::IsAlphaBitmapFile(WriteFile("alpha.bmp", bmp).c_str()));
  bmp[28] = 24;
  EXPECT_FALSE(CTKImageManager::IsAlphaBitmapFile(WriteFile("plain.bmp", bmp).c_str()));
  bmp[28] = 32;
  bmp.resize(14 + 39);
  EXPECT_FALSE(CTKImageManager::IsAlphaBitmapFile(WriteFile("short.bmp", bmp).c_str()));
}

TEST(ImageManager, AlphaImagesDrawPremultiplied)
{
  HDC screen = GetDC(nullptr);
  CDC dc;
  dc.Attach(CreateCompatibleDC(screen));
  CBitmap target;
  target.Attach(CreateCompatibleBitmap(screen, 20, 20));
  ReleaseDC(nullptr, screen);
  CBitmap* old = dc.SelectObject(&target);
  dc.FillSolidRect(0, 0, 20, 20, RGB(0, 0, 0));

  CTKImageManager manager;
  HBITMAP alpha = MakeAlpha(16, 16, RGB(200, 100, 50), 128);
  manager.SetIcon(CTKImageManagerIconHandle(alpha), 3);
  DeleteObject(alpha);
  CTKImageManagerIcon* image = manager.GetImage(3, 16);
  image->Draw(&dc, CPoint(2, 2));
  // Premultiplied: c * 128 / 255 over black.
  EXPECT_EQ(Name(dc.GetPixel(5, 5)), Name(RGB(100, 50, 25)));
  EXPECT_EQ(Name(dc.GetPixel(1, 1)), Name(RGB(0, 0, 0)));
  dc.SelectObject(old);
}

}  // namespace
