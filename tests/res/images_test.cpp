// Bitmaps, toolbars, icons and cursors of the compiled modules, and bitmap and icon files, loaded into handles.
#include "platform/gdi/icon.h"
#include "platform/gdi/png.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/user.h"
#include "res/modules.h"
#include "res/samples_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include <unistd.h>

namespace res {
const platform::ResourceModuleData& SamplesModule();
}

namespace {

std::vector<BYTE> Locked(HINSTANCE module, LPCSTR name, LPCSTR type)
{
  HRSRC found = FindResource(module, name, type);
  if (found == nullptr) {
    return {};
  }
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

// Little-endian bytes written out by hand.
struct Bytes {
  std::vector<BYTE> out;
  Bytes& B(std::initializer_list<int> bytes)
  {
    for (int b : bytes) out.push_back(static_cast<BYTE>(b));
    return *this;
  }
  Bytes& W(std::uint16_t v) { return B({v & 0xFF, v >> 8}); }
  Bytes& D(std::uint32_t v) { return W(static_cast<std::uint16_t>(v)).W(static_cast<std::uint16_t>(v >> 16)); }
  // BITMAPINFOHEADER with no compression, resolution or colour counts.
  Bytes& Header(int width, int height, int bits, std::uint32_t imageBytes)
  {
    return D(40).D(static_cast<std::uint32_t>(width)).D(static_cast<std::uint32_t>(height)).W(1)
        .W(static_cast<std::uint16_t>(bits)).D(0).D(imageBytes).D(0).D(0).D(0).D(0);
  }
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

BITMAP SizeOf(HBITMAP bitmap)
{
  BITMAP bm{};
  GetObject(bitmap, sizeof bm, &bm);
  return bm;
}

class ModuleImages : public ::testing::Test {
 protected:
  void SetUp() override
  {
    program = res::RegisterModules();
    toolkit = platform::LoadResourceModule(res::kToolkitModuleFileName);
    samples = platform::RegisterResourceModule(res::SamplesModule());
    ASSERT_NE(toolkit, nullptr);
  }
  HINSTANCE program = nullptr;
  HINSTANCE toolkit = nullptr;
  HINSTANCE samples = nullptr;
};

TEST_F(ModuleImages, TheStandardToolbarAndItsBitmapAreTheProgramsAndReadAsTheirBinaryForms)
{
  Bytes bar;
  bar.W(1).W(16).W(15).W(10);  // version, button size, items
  for (int id : {57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57607, 57664}) bar.W(static_cast<std::uint16_t>(id));
  EXPECT_EQ(Locked(program, MAKEINTRESOURCE(128), RT_TOOLBAR), bar.out);

  // Eight 16 x 15 images on the mask colour: a 24-bit DIB, bottom row first, rows of 384 bytes.
  std::vector<BYTE> dib = Locked(program, MAKEINTRESOURCE(128), RT_BITMAP);
  Bytes header;
  header.Header(128, 15, 24, 384 * 15);
  ASSERT_EQ(dib.size(), 40u + 384 * 15);
  EXPECT_EQ(std::vector<BYTE>(dib.begin(), dib.begin() + 40), header.out);
  EXPECT_EQ(dib[40], 0xC0);  // the bottom-left pixel is the mask colour

  HBITMAP bitmap = LoadBitmap(program, MAKEINTRESOURCE(128));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(SizeOf(bitmap).bmWidth, 128);
  EXPECT_EQ(SizeOf(bitmap).bmHeight, 15);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), RGB(192, 192, 192));
  EXPECT_EQ(PixelOf(bitmap, 16 * 2 + 2, 7), RGB(30, 70, 200));  // the blue of the save button
  DeleteObject(bitmap);
}

TEST_F(ModuleImages, TheToolkitsToolbarAndBitmapsLoadFromItsModuleAndFailCleanlyWithoutIt)
{
  std::vector<BYTE> bar = Locked(toolkit, MAKEINTRESOURCE(9352), RT_TOOLBAR);
  ASSERT_EQ(bar.size(), 8u + 16 * 2);
  EXPECT_EQ(bar[6], 16);                                  // sixteen buttons
  EXPECT_EQ(bar[8] | bar[9] << 8, 9363);                  // the pencil first
  EXPECT_EQ(bar[38] | bar[39] << 8, 9357);                // shifting right last

  // 9353 keeps its alpha: 32 bits a pixel, and at least 40 + width x height x 4 bytes.
  std::vector<BYTE> alpha = Locked(toolkit, MAKEINTRESOURCE(9353), RT_BITMAP);
  ASSERT_GE(alpha.size(), 40u);
  EXPECT_EQ(alpha[14], 32);
  EXPECT_EQ(alpha.size(), 40u + 256 * 16 * 4);
  auto section =
      static_cast<HBITMAP>(LoadImage(toolkit, MAKEINTRESOURCE(9353), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(section, nullptr);
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(ds.dsBm.bmWidth, 256);
  DeleteObject(section);

  HBITMAP tools = LoadBitmap(toolkit, MAKEINTRESOURCE(9352));
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(SizeOf(tools).bmWidth, 256);
  DeleteObject(tools);
  // The program holds none of the toolkit's ids.
  SetLastError(0);
  EXPECT_EQ(LoadBitmap(program, MAKEINTRESOURCE(9352)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);

  platform::ScopedResourceModuleAbsence absent(res::kToolkitModuleFileName);
  SetLastError(0);
  EXPECT_EQ(LoadBitmap(toolkit, MAKEINTRESOURCE(9352)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_EQ(FindResource(toolkit, MAKEINTRESOURCE(9352), RT_TOOLBAR), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_EQ(LoadCursor(toolkit, MAKEINTRESOURCE(9375)), nullptr);
}

TEST_F(ModuleImages, IconsAndCursorsAreSharedPicturesWithTheirMasksAndHotSpots)
{
  HICON lamp = LoadIcon(samples, MAKEINTRESOURCE(res::samples::IDI_SAMPLE_LAMP));
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(LoadIcon(samples, MAKEINTRESOURCE(res::samples::IDI_SAMPLE_LAMP)), lamp);
  const gdi::Image* picture = gdi::IconImage(lamp);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->width, 32);
  EXPECT_TRUE(picture->hasAlpha);
  EXPECT_FALSE(picture->Opaque(0, 0));    // outside the disc
  EXPECT_TRUE(picture->Opaque(16, 20));   // the red triangle
  EXPECT_EQ(picture->color[20 * 32 + 16] & 0xFFFFFF, 0xC81E1Eu);

  HCURSOR cross = LoadCursor(samples, MAKEINTRESOURCE(res::samples::IDC_SAMPLE_CROSS));
  ASSERT_NE(cross, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cross, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 15u);
  EXPECT_EQ(info.yHotspot, 15u);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_NE(LoadCursor(toolkit, MAKEINTRESOURCE(9378)), nullptr);
  // Asked for another size, the icon is scaled; not shared, it is the caller's.
  auto big = static_cast<HICON>(LoadImage(samples, MAKEINTRESOURCE(301), IMAGE_ICON, 48, 48, 0));
  ASSERT_NE(big, nullptr);
  EXPECT_NE(big, lamp);
  EXPECT_EQ(gdi::IconImage(big)->width, 48);
  DestroyIcon(big);
  // Shared handles are one per resource and size; one destroyed against the rules is made again, not reused.
  HANDLE small = LoadImage(samples, MAKEINTRESOURCE(301), IMAGE_ICON, 16, 16, LR_SHARED);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(LoadImage(samples, MAKEINTRESOURCE(301), IMAGE_ICON, 16, 16, LR_SHARED), small);
  DestroyIcon(static_cast<HICON>(small));
  EXPECT_NE(gdi::IconImage(static_cast<HICON>(LoadImage(samples, MAKEINTRESOURCE(301), IMAGE_ICON, 16, 16, LR_SHARED))),
            nullptr);

  // The system's cursors are still their ids, and its icons exist without a module.
  EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HCURSOR>(const_cast<char*>(IDC_ARROW)));
  HICON hand = LoadIcon(nullptr, IDI_HAND);
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(LoadIcon(nullptr, IDI_ERROR), hand);
  EXPECT_NE(LoadIcon(nullptr, IDI_APPLICATION), hand);

  struct Missing {
    HINSTANCE module;
    LPCSTR name;
    DWORD error;
  };
  const Missing missing[] = {
      {samples, MAKEINTRESOURCE(999), ERROR_RESOURCE_NAME_NOT_FOUND},
      {program, MAKEINTRESOURCE(301), ERROR_RESOURCE_NAME_NOT_FOUND},  // the program's icons are the object tree's
  };
  for (const Missing& m : missing) {
    SetLastError(0);
    EXPECT_EQ(LoadIcon(m.module, m.name), nullptr);
    EXPECT_EQ(GetLastError(), m.error);
  }
}

TEST_F(ModuleImages, ThePicturesLeftForAPersonShowEveryLoadedImage)
{
  // One sheet: the standard bar, the image editor's two strips (the alpha one over white), the sample icon
  // and cursor, each doubled in size.
  HDC screen = GetDC(nullptr);
  HBITMAP sheet = CreateCompatibleBitmap(screen, 540, 190);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldSheet = SelectObject(dc, sheet);
  RECT all{0, 0, 540, 190};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HDC source = CreateCompatibleDC(nullptr);
  int y = 4;
  for (auto [module, id] : {std::pair{program, 128}, std::pair{toolkit, 9352}}) {
    HBITMAP b = LoadBitmap(module, MAKEINTRESOURCE(id));
    ASSERT_NE(b, nullptr);
    BITMAP bm = SizeOf(b);
    HGDIOBJ old = SelectObject(source, b);
    StretchBlt(dc, 4, y, bm.bmWidth * 2, bm.bmHeight * 2, source, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    SelectObject(source, old);
    DeleteObject(b);
    y += bm.bmHeight * 2 + 4;
  }
  auto alpha = static_cast<HBITMAP>(LoadImage(toolkit, MAKEINTRESOURCE(9353), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(alpha, nullptr);
  // The straight alpha is drawn as the mask it stands for: opaque pixels only, read from the section's rows.
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(alpha, sizeof ds, &ds), static_cast<int>(sizeof ds));
  const auto* rows = static_cast<const BYTE*>(ds.dsBm.bmBits);
  for (int py = 0; py < 16; ++py) {
    for (int px = 0; px < 256; ++px) {
      const BYTE* p = rows + (15 - py) * ds.dsBm.bmWidthBytes + px * 4;  // bottom row first
      if (p[3] != 0) {
        RECT cell{4 + px * 2, y + py * 2, 6 + px * 2, y + 2 + py * 2};
        HBRUSH brush = CreateSolidBrush(RGB(p[2], p[1], p[0]));
        FillRect(dc, &cell, brush);
        DeleteObject(brush);
      }
    }
  }
  DeleteObject(alpha);
  y += 36;
  DrawIconEx(dc, 4, y, LoadIcon(samples, MAKEINTRESOURCE(301)), 64, 64, 0, nullptr, DI_NORMAL);
  DrawIconEx(dc, 76, y, LoadCursor(samples, MAKEINTRESOURCE(302)), 64, 64, 0, nullptr, DI_NORMAL);
  DrawIconEx(dc, 148, y, LoadIcon(nullptr, IDI_EXCLAMATION), 64, 64, 0, nullptr, DI_NORMAL);
  DeleteDC(source);
  SelectObject(dc, oldSheet);
  DeleteDC(dc);
  std::filesystem::create_directories(TESMIRA_ARTIFACTS_DIR);
  EXPECT_TRUE(gdi::SavePng(sheet, std::string(TESMIRA_ARTIFACTS_DIR) + "/res_loaded_images.png"));
  DeleteObject(sheet);
}

// 3 x 2, 8 bits a pixel with a two-colour table; the bits stand 2 bytes after the table, as the offset says.
Bytes PaletteBmp()
{
  Bytes palette;
  palette.B({'B', 'M'}).D(14 + 40 + 8 + 2 + 8).W(0).W(0).D(14 + 40 + 8 + 2);
  palette.D(40).D(3).D(2).W(1).W(8).D(0).D(8).D(0).D(0).D(2).D(0);  // two colours used
  palette.B({0, 0, 255, 0, 255, 0, 0, 0});                            // 0 red, 1 blue
  palette.B({0xEE, 0xEE});                   // the gap
  palette.B({1, 0, 1, 0});                   // the bottom row: blue red blue
  palette.B({0, 0, 1, 0});                   // the top row: red red blue
  return palette;
}

Bytes TwoImageIco()
{
  // Two images: 2 x 2 at 32 bits (one transparent pixel by its alpha), 4 x 4 at 1 bit (black and white, the
  // mask's right half transparent).
  Bytes small;
  small.Header(2, 4, 32, 16 + 8);
  small.B({0, 0, 255, 255, 0, 0, 0, 0});          // bottom row: red, transparent
  small.B({0, 255, 0, 255, 255, 0, 0, 255});      // top row: green, blue
  small.B({0x40, 0, 0, 0, 0x00, 0, 0, 0});        // mask rows
  Bytes mono;
  mono.Header(4, 8, 1, 16 + 16);
  mono.B({0, 0, 0, 0, 255, 255, 255, 0});         // colour table: black, white
  for (int row = 0; row < 4; ++row) mono.B({row % 2 == 0 ? 0xA0 : 0x50, 0, 0, 0});
  for (int row = 0; row < 4; ++row) mono.B({0x30, 0, 0, 0});
  const std::uint32_t first = 6 + 2 * 16;
  Bytes file;
  file.W(0).W(1).W(2);
  file.B({2, 2, 0, 0}).W(1).W(32).D(static_cast<std::uint32_t>(small.out.size())).D(first);
  file.B({4, 4, 2, 0}).W(1).W(1).D(static_cast<std::uint32_t>(mono.out.size()))
      .D(first + static_cast<std::uint32_t>(small.out.size()));
  file.out.insert(file.out.end(), small.out.begin(), small.out.end());
  file.out.insert(file.out.end(), mono.out.begin(), mono.out.end());
  return file;
}

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override
  {
    folder = std::filesystem::temp_directory_path() / ("res_images_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::string Write(const std::string& name, const std::vector<BYTE>& bytes)
  {
    std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::filesystem::path folder;
};

TEST_F(ImageFiles, BitmapFilesLoadAtTheirDepthWithTheirPaletteAndRowOrder)
{
  Bytes palette = PaletteBmp();
  auto eight = static_cast<HBITMAP>(
      LoadImage(nullptr, Write("palette.bmp", palette.out).c_str(), IMAGE_BITMAP, 0, 0,
                LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(eight, nullptr);
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(eight, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(PixelOf(eight, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(eight, 2, 0), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(eight, 0, 1), RGB(0, 0, 255));
  EXPECT_EQ(PixelOf(eight, 1, 1), RGB(255, 0, 0));
  DeleteObject(eight);

  // 32 bits a pixel stays 32, top row first with a negative height.
  Bytes alpha;
  alpha.B({'B', 'M'}).D(14 + 40 + 8).W(0).W(0).D(14 + 40);
  alpha.D(40).D(2).D(static_cast<std::uint32_t>(-1)).W(1).W(32).D(0).D(8).D(0).D(0).D(0).D(0);
  alpha.B({0x10, 0x20, 0x30, 0xFF, 0, 0, 0, 0});
  std::string alphaPath = Write("alpha.bmp", alpha.out);
  auto thirtyTwo = static_cast<HBITMAP>(LoadImage(nullptr, alphaPath.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
  ASSERT_NE(thirtyTwo, nullptr);
  ASSERT_EQ(GetObject(thirtyTwo, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(PixelOf(thirtyTwo, 0, 0), RGB(0x30, 0x20, 0x10));
  DeleteObject(thirtyTwo);
  // Asked for a size, the bitmap is stretched to it.
  auto stretched = static_cast<HBITMAP>(LoadImage(nullptr, alphaPath.c_str(), IMAGE_BITMAP, 4, 3, LR_LOADFROMFILE));
  ASSERT_NE(stretched, nullptr);
  EXPECT_EQ(SizeOf(stretched).bmWidth, 4);
  EXPECT_EQ(SizeOf(stretched).bmHeight, 3);
  EXPECT_EQ(PixelOf(stretched, 1, 2), RGB(0x30, 0x20, 0x10));
  DeleteObject(stretched);
}

TEST_F(ImageFiles, BrokenOrMissingFilesGiveNullAndSayWhy)
{
  Bytes truncated;  // claims 4 x 4 at 24 bits but holds one row
  truncated.B({'B', 'M'}).D(0).W(0).W(0).D(54).Header(4, 4, 24, 48).B({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  Bytes wrongMagic = truncated;
  wrongMagic.out[0] = 'P';
  Bytes hugeTable;  // an 8-bit header whose colour table would run past the end
  hugeTable.B({'B', 'M'}).D(0).W(0).W(0).D(54).Header(1, 1, 8, 4);
  Bytes icoWithoutImages;  // a directory entry pointing past the end
  icoWithoutImages.W(0).W(1).W(1).B({16, 16, 0, 0}).W(1).W(32).D(1000).D(22);
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    UINT type;
  };
  const Case cases[] = {
      {"truncated.bmp", truncated.out, IMAGE_BITMAP},
      {"magic.bmp", wrongMagic.out, IMAGE_BITMAP},
      {"table.bmp", hugeTable.out, IMAGE_BITMAP},
      {"empty.ico", icoWithoutImages.out, IMAGE_ICON},
      {"icon.cur", icoWithoutImages.out, IMAGE_CURSOR},  // an icon file is not a cursor
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLastError(0);
    EXPECT_EQ(LoadImage(nullptr, Write(c.name, c.bytes).c_str(), c.type, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
  }
  SetLastError(0);
  EXPECT_EQ(LoadImage(nullptr, (folder / "none.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(ImageFiles, IconFilesGiveTheImageNearestTheSizeAskedFor)
{
  Bytes file = TwoImageIco();
  std::string path = Write("two.ico", file.out);

  auto four = static_cast<HICON>(LoadImage(nullptr, path.c_str(), IMAGE_ICON, 4, 4, LR_LOADFROMFILE));
  ASSERT_NE(four, nullptr);
  const gdi::Image* image = gdi::IconImage(four);
  ASSERT_EQ(image->width, 4);
  EXPECT_FALSE(image->hasAlpha);
  EXPECT_EQ(image->color[0] & 0xFFFFFF, 0u);  // the top row is stored last: 0x50, black white black white
  EXPECT_EQ(image->color[1] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_TRUE(image->Opaque(1, 0));
  EXPECT_FALSE(image->Opaque(2, 0));
  DestroyIcon(four);

  auto two = static_cast<HICON>(LoadImage(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(two, nullptr);
  image = gdi::IconImage(two);
  ASSERT_EQ(image->width, 2);
  EXPECT_TRUE(image->hasAlpha);
  EXPECT_EQ(image->color[0], 0xFF00FF00u);  // green, top left
  EXPECT_EQ(image->color[3] >> 24, 0u);     // transparent, bottom right
  DestroyIcon(two);
}

TEST_F(ImageFiles, EveryTruncationOfAGoodFileIsRefusedWithoutReadingPastItsEnd)
{
  struct Good {
    const char* name;
    std::vector<BYTE> bytes;
    UINT type;
  };
  const Good files[] = {{"cut.bmp", PaletteBmp().out, IMAGE_BITMAP}, {"cut.ico", TwoImageIco().out, IMAGE_ICON}};
  for (const Good& good : files) {
    std::string path = Write(good.name, good.bytes);
    HANDLE whole = LoadImage(nullptr, path.c_str(), good.type, 4, 4, LR_LOADFROMFILE);
    ASSERT_NE(whole, nullptr) << good.name;
    good.type == IMAGE_BITMAP ? DeleteObject(static_cast<HGDIOBJ>(whole)) : DestroyIcon(static_cast<HICON>(whole));
    for (std::size_t length = 0; length < good.bytes.size(); ++length) {
      SCOPED_TRACE(std::string(good.name) + " cut to " + std::to_string(length));
      auto end = good.bytes.begin() + static_cast<std::ptrdiff_t>(length);
      path = Write(good.name, std::vector<BYTE>(good.bytes.begin(), end));
      HANDLE got = LoadImage(nullptr, path.c_str(), good.type, 4, 4, LR_LOADFROMFILE);
      // An icon file cut after its first image still holds that one, which comes out at the size asked for.
      const std::size_t firstImageEnd = 6 + 2 * 16 + 40 + 16 + 8;
      if (good.type == IMAGE_BITMAP || length < firstImageEnd) {
        EXPECT_EQ(got, nullptr);
      } else if (got != nullptr) {
        EXPECT_EQ(gdi::IconImage(static_cast<HICON>(got))->width, 4);
        DestroyIcon(static_cast<HICON>(got));
      }
    }
  }
}

}  // namespace
