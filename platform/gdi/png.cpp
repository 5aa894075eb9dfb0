#include "platform/gdi/png.h"

#include "platform/gdi/objects.h"

#include <cairo.h>

#include <vector>

namespace gdi {

namespace {

bool WritePng(const PixelView& v, const std::string& path)
{
  if (!v.Valid()) {
    return false;
  }
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, v.width, v.height);
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < v.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    const std::uint32_t* src = v.Row(y);
    for (int x = 0; x < v.width; ++x) {
      row[x] = src[x] | 0xFF000000u;
    }
  }
  cairo_surface_mark_dirty(image);
  const bool ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(image);
  return ok;
}

}  // namespace

bool SavePng(const Surface& surface, const std::string& path)
{
  PixelView v{const_cast<std::uint32_t*>(surface.Pixels()), surface.Width(), surface.Width(), surface.Height()};
  return WritePng(v, path);
}

bool SavePng(HBITMAP bitmap, const std::string& path)
{
  auto b = LookupAs<Bitmap>(bitmap);
  return b && WritePng(b->View(), path);
}

}  // namespace gdi
