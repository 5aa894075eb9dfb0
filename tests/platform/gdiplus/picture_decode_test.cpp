#include "platform/gdiplus/picture_decode.h"

#include <cairo.h>
#include <cstdio>  // jpeglib.h needs FILE first
#include <jpeglib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(Bytes& b, std::uint16_t v)
{
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A 24-bit BMP written by hand: 2 x 2, bottom row first, rows padded to 8 bytes.
Bytes HandWrittenBmp(std::int32_t height = 2)
{
  Bytes b = {'B', 'M'};
  Put32(b, 54 + 16);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, 2);
  Put32(b, static_cast<std::uint32_t>(height));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  for (int i = 0; i < 5; ++i)
    Put32(b, 0);
  // bottom row: blue, green; top row: red, white (blue, green, red bytes)
  const std::uint8_t rows[16] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  b.insert(b.end(), rows, rows + 16);
  return b;
}

Bytes CairoPng()
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 1);
  auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
  data[0] = 0xFFFF0000;  // opaque red
  data[1] = 0x80008000;  // half-transparent green, premultiplied
  data[2] = 0x00000000;
  cairo_surface_mark_dirty(s);
  Bytes out;
  cairo_surface_write_to_png_stream(
      s,
      [](void* closure, const unsigned char* d, unsigned int n) {
        static_cast<Bytes*>(closure)->insert(static_cast<Bytes*>(closure)->end(), d, d + n);
        return CAIRO_STATUS_SUCCESS;
      },
      &out);
  cairo_surface_destroy(s);
  return out;
}

Bytes LibjpegGrey(int width, int height)
{
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3, 128);
  while (info.next_scanline < info.image_height) {
    unsigned char* rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(PictureDecode, EachFormatGivesItsPixelsTopRowFirst)
{
  gdiplus::DecodedPicture p;
  const Bytes bmp = HandWrittenBmp();
  ASSERT_TRUE(gdiplus::DecodePicture(bmp.data(), bmp.size(), &p));
  EXPECT_EQ(p.pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00}));

  const Bytes png = CairoPng();
  ASSERT_TRUE(gdiplus::DecodePicture(png.data(), png.size(), &p));
  ASSERT_EQ(p.width, 3);
  EXPECT_EQ(p.pixels[0], 0xFFFF0000u);
  EXPECT_EQ(p.pixels[1], 0x8000FF00u);  // straight again
  EXPECT_EQ(p.pixels[2] >> 24, 0u);

  const Bytes jpeg = LibjpegGrey(16, 8);
  ASSERT_TRUE(gdiplus::DecodePicture(jpeg.data(), jpeg.size(), &p));
  EXPECT_EQ(p.width, 16);
  EXPECT_EQ(p.height, 8);
  EXPECT_NEAR(static_cast<int>(p.pixels[0] & 0xFF), 128, 3);
}

TEST(PictureDecode, RefusesBeforeAllocatingWhatTheHeaderClaims)
{
  Bytes hugePng = CairoPng();
  hugePng[16] = 0x7F;  // width 2^31 - ... in IHDR
  Bytes tallBmp = HandWrittenBmp(-100000);
  Bytes shortBmp = HandWrittenBmp();
  shortBmp.resize(60);
  Bytes truncatedPng = CairoPng();
  truncatedPng.resize(truncatedPng.size() / 2);
  Bytes truncatedJpeg = LibjpegGrey(16, 8);
  truncatedJpeg.resize(40);
  const Bytes wideJpeg = LibjpegGrey(gdiplus::kMaxPictureSide + 1, 1);
  Bytes oversized = HandWrittenBmp();
  oversized.resize(gdiplus::kMaxPictureBytes + 1);
  const Bytes text = {'<', 'h', 't', 'm', 'l', '>'};

  struct Case {
    const char* what;
    const Bytes* bytes;
  };
  const Case cases[] = {{"PNG claiming a huge width", &hugePng},  {"BMP claiming 100000 rows", &tallBmp},
                        {"BMP shorter than its rows", &shortBmp}, {"PNG cut in half", &truncatedPng},
                        {"JPEG cut short", &truncatedJpeg},       {"JPEG wider than the cap", &wideJpeg},
                        {"more bytes than the cap", &oversized},   {"an error page", &text}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gdiplus::DecodedPicture p;
    p.width = 5;
    EXPECT_FALSE(gdiplus::DecodePicture(c.bytes->data(), c.bytes->size(), &p));
    EXPECT_EQ(p.width, 0);
    EXPECT_TRUE(p.pixels.empty());
  }
}

}  // namespace
