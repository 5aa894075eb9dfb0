#include "platform/gdi/image.h"

#include "platform/gdi/raster.h"

#include <algorithm>

namespace gdi {

bool Image::Opaque(int x, int y) const
{
  const std::size_t i = static_cast<std::size_t>(y) * width + x;
  if (hasAlpha) {
    return (color[i] >> 24) >= 128;
  }
  return !hasMask || transparent[i] == 0;
}

Image ImageFromBitmaps(Bitmap* color, Bitmap* mask, const RECT& src)
{
  Image img;
  img.width = std::max<LONG>(0, src.Width());
  img.height = std::max<LONG>(0, src.Height());
  const std::size_t n = static_cast<std::size_t>(img.width) * img.height;
  img.color.assign(n, 0);
  img.transparent.assign(n, 0);
  auto read = [&](Bitmap* b, int x, int y) -> std::uint32_t {
    if (b == nullptr || x < 0 || y < 0 || x >= b->width || y >= b->height) {
      return 0;
    }
    return b->View().Row(y)[x];
  };
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * img.width + x;
      img.color[i] = read(color, src.left + x, src.top + y);
      if (mask != nullptr) {
        img.transparent[i] = (read(mask, src.left + x, src.top + y) & 0xFFFFFF) != 0 ? 1 : 0;
      }
    }
  }
  img.hasMask = mask != nullptr;
  if (color != nullptr && !color->Mono()) {
    img.hasAlpha = std::any_of(img.color.begin(), img.color.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  }
  return img;
}

void DrawImage(HDC__& dc, const RECT& dest, const Image& image, ImageDraw mode, const std::uint32_t* blend)
{
  PixelView v = dc.View();
  if (!v.Valid() || dest.IsEmpty() || image.width <= 0 || image.height <= 0) {
    return;
  }
  const Region clip = dc.EffectiveClip().Intersect(dest);
  clip.ForEach([&](int y0, int y1, const Span& s) {
    for (int y = y0; y < y1; ++y) {
      const int sy = std::min(image.height - 1, static_cast<int>((y - dest.top) * static_cast<long long>(image.height) /
                                                                 dest.Height()));
      std::uint32_t* row = v.Row(y + dc.origin.y) + dc.origin.x;
      for (int x = s.x0; x < s.x1; ++x) {
        const int sx = std::min(image.width - 1, static_cast<int>((x - dest.left) * static_cast<long long>(image.width) /
                                                                  dest.Width()));
        const std::size_t i = static_cast<std::size_t>(sy) * image.width + sx;
        std::uint32_t p = image.color[i];
        if (mode == ImageDraw::MaskOnly) {
          row[x] = image.Opaque(sx, sy) ? 0u : 0xFFFFFFu;
          continue;
        }
        if (mode == ImageDraw::ImageOnly) {
          row[x] = p & 0xFFFFFF;
          continue;
        }
        if (image.hasAlpha) {
          const std::uint32_t a = p >> 24;
          if (a == 0) {
            continue;
          }
          std::uint32_t out = 0;
          for (int c = 0; c < 3; ++c) {
            std::uint32_t sc = (p >> (8 * c)) & 0xFF;
            if (blend != nullptr) {
              sc = (sc + ((*blend >> (8 * c)) & 0xFF)) / 2;
            }
            const std::uint32_t dcn = (row[x] >> (8 * c)) & 0xFF;
            out |= ((sc * a + dcn * (255 - a) + 127) / 255) << (8 * c);
          }
          row[x] = out;
          continue;
        }
        if (image.hasMask && image.transparent[i]) {
          continue;
        }
        if (blend != nullptr) {
          std::uint32_t out = 0;
          for (int c = 0; c < 3; ++c) {
            out |= ((((p >> (8 * c)) & 0xFF) + ((*blend >> (8 * c)) & 0xFF)) / 2) << (8 * c);
          }
          p = out;
        }
        row[x] = p & 0xFFFFFF;
      }
    }
  });
}

void ImageToBitmaps(const Image& image, HBITMAP* color, HBITMAP* mask)
{
  if (color != nullptr) {
    *color = CreateBitmap(image.width, image.height, 1, 32, image.color.data());
  }
  if (mask != nullptr) {
    *mask = CreateBitmap(image.width, image.height, 1, 1, nullptr);
    if (auto m = LookupAs<Bitmap>(*mask)) {
      PixelView v = m->View();
      for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
          v.Row(y)[x] = image.Opaque(x, y) ? 0u : 0xFFFFFFu;
        }
      }
    }
  }
}

}  // namespace gdi
