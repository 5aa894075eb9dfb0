#include "platform/gdiplus/picture_decode.h"

#include <cairo.h>
#include <cstdio>  // jpeglib.h needs FILE first
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace gdiplus {
namespace {

std::uint32_t ReadBigEndian32(const std::uint8_t* p)
{
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::uint32_t ReadLittleEndian32(const std::uint8_t* p)
{
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}
std::uint16_t ReadLittleEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

bool SidesAllowed(long long width, long long height)
{
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide;
}

// PNG: the signature, then the IHDR chunk whose width and height (big-endian) stand at bytes 16 and 20.
bool DecodePng(const std::uint8_t* bytes, std::size_t size, DecodedPicture* picture)
{
  if (size < 24 || std::memcmp(bytes + 12, "IHDR", 4) != 0 ||
      !SidesAllowed(ReadBigEndian32(bytes + 16), ReadBigEndian32(bytes + 20)))
    return false;
  struct Source {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t at;
  } source{bytes, size, 0};
  auto read = [](void* closure, unsigned char* data, unsigned int length) {
    auto* s = static_cast<Source*>(closure);
    if (length > s->size - s->at)
      return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, s->bytes + s->at, length);
    s->at += length;
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(read, &source);
  bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
            (cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32 ||
             cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24);
  const int width = ok ? cairo_image_surface_get_width(surface) : 0;
  const int height = ok ? cairo_image_surface_get_height(surface) : 0;
  ok = ok && SidesAllowed(width, height);
  if (ok) {
    const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    picture->width = width;
    picture->height = height;
    picture->pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
      for (int x = 0; x < width; ++x) {
        std::uint32_t p = row[x];
        const std::uint32_t a = alpha ? p >> 24 : 255;
        if (a != 0 && a != 255) {
          // Cairo keeps colours premultiplied; the picture's are straight.
          auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
          p = (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
        }
        picture->pixels[static_cast<std::size_t>(y) * width + x] = (a << 24) | (p & 0xFFFFFF);
      }
    }
  }
  cairo_surface_destroy(surface);
  return ok;
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

bool DecodeJpeg(const std::uint8_t* bytes, std::size_t size, DecodedPicture* picture)
{
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.output_message = OnJpegMessage;
  std::vector<unsigned char> row;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = 64L * 1024 * 1024;
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !SidesAllowed(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const int width = static_cast<int>(info.output_width);
  const int height = static_cast<int>(info.output_height);
  if (!SidesAllowed(width, height) || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  row.resize(static_cast<std::size_t>(width) * 3);
  picture->pixels.resize(static_cast<std::size_t>(width) * height);
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    unsigned char* rows[1] = {row.data()};
    if (jpeg_read_scanlines(&info, rows, 1) != 1)
      break;
    for (int x = 0; x < width; ++x)
      picture->pixels[static_cast<std::size_t>(y) * width + x] =
          0xFF000000u | (std::uint32_t{row[x * 3]} << 16) | (std::uint32_t{row[x * 3 + 1]} << 8) | row[x * 3 + 2];
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  picture->width = width;
  picture->height = height;
  return true;
}

// BMP: file header (14 bytes: "BM", size, reserved, pixel offset at 10), info header (size at 14, width at 18,
// height at 22 (negative: top-down), planes at 26, bits at 28, compression at 30). Rows padded to 4 bytes.
bool DecodeBmp(const std::uint8_t* bytes, std::size_t size, DecodedPicture* picture)
{
  if (size < 54)
    return false;
  const std::uint32_t offset = ReadLittleEndian32(bytes + 10);
  const std::uint32_t headerSize = ReadLittleEndian32(bytes + 14);
  const auto width = static_cast<std::int32_t>(ReadLittleEndian32(bytes + 18));
  const auto rawHeight = static_cast<std::int32_t>(ReadLittleEndian32(bytes + 22));
  const int bits = ReadLittleEndian16(bytes + 28);
  const std::uint32_t compression = ReadLittleEndian32(bytes + 30);
  const bool topDown = rawHeight < 0;
  const long long height = topDown ? -static_cast<long long>(rawHeight) : rawHeight;
  if (headerSize < 40 || (bits != 24 && bits != 32) || (compression != 0 && !(compression == 3 && bits == 32)) ||
      !SidesAllowed(width, height))
    return false;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits / 8) + 3) & ~std::size_t{3};
  if (offset > size || stride * static_cast<std::size_t>(height) > size - offset)
    return false;
  picture->width = width;
  picture->height = static_cast<int>(height);
  picture->pixels.resize(static_cast<std::size_t>(width) * height);
  for (long long y = 0; y < height; ++y) {
    const std::uint8_t* row = bytes + offset + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
      picture->pixels[static_cast<std::size_t>(y) * width + x] =
          0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
  }
  return true;
}

}  // namespace

bool DecodePicture(const std::uint8_t* bytes, std::size_t size, DecodedPicture* picture)
{
  if (!picture)
    return false;
  *picture = DecodedPicture();
  if (!bytes || size < 4 || size > kMaxPictureBytes)
    return false;
  bool ok = false;
  if (size >= 8 && std::memcmp(bytes, "\x89PNG\r\n\x1A\n", 8) == 0)
    ok = DecodePng(bytes, size, picture);
  else if (bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    ok = DecodeJpeg(bytes, size, picture);
  else if (bytes[0] == 'B' && bytes[1] == 'M')
    ok = DecodeBmp(bytes, size, picture);
  if (!ok)
    *picture = DecodedPicture();
  return ok;
}

}  // namespace gdiplus
