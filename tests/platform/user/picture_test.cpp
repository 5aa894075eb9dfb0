// OLE pictures from user files: bitmaps, icons and PNGs load and render; bad files are refused.
#include "platform/user/picture.h"

#include "platform/base/codepage.h"
#include "platform/com/dispatch.h"
#include "platform/gdi/png.h"
#include "platform/user/user.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& b, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i) {
    b.push_back(static_cast<unsigned char>(v >> (8 * i)));
  }
}
void Put16(Bytes& b, std::uint16_t v)
{
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}

// BITMAPINFOHEADER: size 40, width, height, planes 1, bit count, compression 0, image size, two resolutions,
// colours used, colours important.
void PutInfoHeader(Bytes& b, std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t imageSize)
{
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(width));
  Put32(b, static_cast<std::uint32_t>(height));
  Put16(b, 1);
  Put16(b, bits);
  Put32(b, 0);
  Put32(b, imageSize);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
}

// A 2 x 2 24-bit .bmp written from the format: red and white on top, blue and green below. Rows are stored
// bottom-up, pixels as blue, green, red, each row padded to 4 bytes.
Bytes TwoByTwoBmp(std::int32_t width = 2, std::int32_t height = 2)
{
  Bytes b = {'B', 'M'};
  Put32(b, 70);
  Put16(b, 0);
  Put16(b, 0);
  Put32(b, 54);
  PutInfoHeader(b, width, height, 24, 16);
  const Bytes bottom = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0, 0};  // blue, green
  const Bytes top = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};     // red, white
  b.insert(b.end(), bottom.begin(), bottom.end());
  b.insert(b.end(), top.begin(), top.end());
  return b;
}

// A .ico with one 2 x 2 24-bit image: ICONDIR (0, 1, count 1), one 16-byte entry (2, 2, 0 colours, 0, planes 1,
// 24 bits, size 64, offset 22), then the image: its header with twice the height, colour rows, mask rows (all 0:
// opaque).
Bytes TwoByTwoIco()
{
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, 1);
  b.insert(b.end(), {2, 2, 0, 0});
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 64);
  Put32(b, 22);
  PutInfoHeader(b, 2, 4, 24, 0);
  const Bytes bottom = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0, 0};
  const Bytes top = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
  b.insert(b.end(), bottom.begin(), bottom.end());
  b.insert(b.end(), top.begin(), top.end());
  b.insert(b.end(), 8, 0);  // mask: two rows of 4 bytes
  return b;
}

class Pictures : public ::testing::Test {
protected:
  Pictures()
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-picture-XXXXXX").string();
    folder_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~Pictures() override { std::filesystem::remove_all(folder_); }

  std::u16string Write(const std::string& name, const Bytes& bytes)
  {
    std::ofstream(folder_ + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }
  std::u16string Path(const std::string& name) const { return codepage::Utf8ToUtf16(folder_ + "/" + name); }

  std::string folder_;
};

// Renders the whole picture upright, as the image editor does, into a canvas of its pixel size.
std::vector<COLORREF> Rendered(IPicture* picture, int width, int height)
{
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, canvas);
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  picture->get_Width(&w);
  picture->get_Height(&h);
  EXPECT_EQ(picture->Render(dc, 0, 0, width, height, 0, h, w, -h, nullptr), S_OK);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels.push_back(GetPixel(dc, x, y));
    }
  }
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  return pixels;
}

const std::vector<COLORREF> kRedWhiteBlueGreen = {RGB(255, 0, 0), RGB(255, 255, 255), RGB(0, 0, 255),
                                                   RGB(0, 255, 0)};

TEST_F(Pictures, BitmapsIconsAndPngsLoadAndRenderUpright)
{
  // The PNG: the same four pixels, written by our PNG writer.
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -2;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP source = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, source);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));
  SetPixel(dc, 1, 0, RGB(255, 255, 255));
  SetPixel(dc, 0, 1, RGB(0, 0, 255));
  SetPixel(dc, 1, 1, RGB(0, 255, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  ASSERT_TRUE(gdi::SavePng(source, folder_ + "/four.png"));
  DeleteObject(source);

  struct Case {
    std::u16string path;
    SHORT type;
  };
  const Case cases[] = {
      {Write("four.bmp", TwoByTwoBmp()), PICTYPE_BITMAP},
      {Write("four.ico", TwoByTwoIco()), PICTYPE_ICON},
      {Path("four.png"), PICTYPE_BITMAP},
      {Write("named-wrongly.jpg", TwoByTwoBmp()), PICTYPE_BITMAP},  // known by its bytes, not its name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(codepage::Utf16ToUtf8(c.path));
    IPicture* picture = nullptr;
    ASSERT_EQ(OleLoadPicturePath(c.path.c_str(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&picture)),
              S_OK);
    SHORT type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(type, c.type);
    OLE_XSIZE_HIMETRIC width = 0;
    picture->get_Width(&width);
    EXPECT_EQ(width, 53);  // 2 pixels at 96 dpi in hundredths of a millimetre
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(Rendered(picture, 2, 2), kRedWhiteBlueGreen);
    EXPECT_EQ(picture->Release(), 0u);
  }
}

TEST_F(Pictures, DamagedAndOversizedFilesAreRefusedBeforeAnythingIsMade)
{
  Bytes cutBmp = TwoByTwoBmp();
  cutBmp.resize(cutBmp.size() - 4);
  Bytes hugeBmp = TwoByTwoBmp(20000, 20000);
  Bytes negativeOffset = TwoByTwoBmp();
  negativeOffset[10] = 0xFF;
  negativeOffset[13] = 0x7F;
  Bytes compressedBmp = TwoByTwoBmp();
  compressedBmp[14 + 16] = 1;  // BI_RLE8
  Bytes icoOutside = TwoByTwoIco();
  icoOutside[18] = 0x40;  // the image's offset far beyond the file
  Bytes icoNoMask = TwoByTwoIco();
  icoNoMask.resize(icoNoMask.size() - 8);
  icoNoMask[14] = 56;  // the entry's size says so too: the colour rows are whole, the mask is missing
  Bytes icoCount = TwoByTwoIco();
  icoCount[4] = 0xFF;  // 255 entries in a directory of one
  // PNG: signature, then an IHDR chunk (length 13) declaring 65536 x 1 pixels, and nothing after it.
  const Bytes pngHeader = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                           0,    1,   0,   0,   0,    0,    0,    1,    8, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes pngCut = pngHeader;
  pngCut[16] = 0;
  pngCut[17] = 0;
  pngCut[19] = 2;  // 2 x 1: a size we take, but the file ends before any data

  struct Case {
    const char* name;
    Bytes bytes;
    HRESULT expected;
  };
  const Case cases[] = {
      {"cut.bmp", cutBmp, CTL_E_INVALIDPICTURE},
      {"huge.bmp", hugeBmp, CTL_E_OUTOFMEMORY},
      {"offset.bmp", negativeOffset, CTL_E_INVALIDPICTURE},
      {"compressed.bmp", compressedBmp, CTL_E_INVALIDPICTURE},
      {"outside.ico", icoOutside, CTL_E_INVALIDPICTURE},
      {"nomask.ico", icoNoMask, CTL_E_INVALIDPICTURE},
      {"count.ico", icoCount, CTL_E_INVALIDPICTURE},
      {"huge.png", pngHeader, CTL_E_OUTOFMEMORY},
      {"cut.png", pngCut, CTL_E_INVALIDPICTURE},
      {"garbage.png", Bytes{'h', 'e', 'l', 'l', 'o'}, CTL_E_INVALIDPICTURE},
      {"empty.bmp", Bytes{}, CTL_E_INVALIDPICTURE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IPicture* picture = reinterpret_cast<IPicture*>(1);
    EXPECT_EQ(OleLoadPicturePath(Write(c.name, c.bytes).c_str(), nullptr, 0, 0, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)),
              c.expected);
    EXPECT_EQ(picture, nullptr);
  }
  IPicture* picture = nullptr;
  EXPECT_EQ(OleLoadPicturePath(Path("missing.bmp").c_str(), nullptr, 0, 0, IID_IPicture,
                               reinterpret_cast<void**>(&picture)),
            CTL_E_FILENOTFOUND);
  EXPECT_EQ(OleLoadPicturePath(Path("").c_str(), nullptr, 0, 0, IID_IPicture, reinterpret_cast<void**>(&picture)),
            CTL_E_FILENOTFOUND);
  EXPECT_EQ(OleLoadPicturePath(Write("ok.bmp", TwoByTwoBmp()).c_str(), nullptr, 0, 0, IID_IDispatch,
                               reinterpret_cast<void**>(&picture)),
            E_NOINTERFACE);
}

}  // namespace
