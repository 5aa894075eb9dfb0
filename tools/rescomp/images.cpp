#include "tools/rescomp/images.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace rescomp {

bool Picture::Opaque() const
{
  return std::all_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) == 0xFF; });
}

std::optional<Picture> ReadPng(const std::string& path, std::string& error)
{
  // Cairo reports a missing file and a file that is not a PNG alike; tell them apart for the message.
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    error = "cannot open image '" + path + "'";
    return std::nullopt;
  }
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    error = "image '" + path + "' is not a readable PNG (" +
            cairo_status_to_string(cairo_surface_status(surface.get())) + ")";
    return std::nullopt;
  }
  Picture picture;
  picture.width = cairo_image_surface_get_width(surface.get());
  picture.height = cairo_image_surface_get_height(surface.get());
  if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxPictureSide ||
      picture.height > kMaxPictureSide) {
    error = "image '" + path + "' is " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
            " pixels; at most " + std::to_string(kMaxPictureSide) + " a side";
    return std::nullopt;
  }
  // Every PNG comes back as 32-bit: premultiplied ARGB, or RGB with an unused top byte.
  cairo_surface_flush(surface.get());
  const cairo_format_t format = cairo_image_surface_get_format(surface.get());
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  if (data == nullptr || (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)) {
    error = "image '" + path + "' has a pixel format this compiler does not read";
    return std::nullopt;
  }
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t p = row[x];
      if (format == CAIRO_FORMAT_RGB24) {
        picture.pixels.push_back(p | 0xFF000000u);
        continue;
      }
      std::uint32_t a = p >> 24;
      auto straight = [a](std::uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
      picture.pixels.push_back(a << 24 | straight((p >> 16) & 0xFF) << 16 | straight((p >> 8) & 0xFF) << 8 |
                               straight(p & 0xFF));
    }
  }
  return picture;
}

}  // namespace rescomp
