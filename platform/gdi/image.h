// Pictures with transparency, as icons and image lists keep them: colour pixels, and either a mask of
// transparent pixels or an alpha channel.
#pragma once

#include "platform/gdi/dc.h"

#include <cstdint>
#include <vector>

namespace gdi {

struct Image {
  int width = 0;
  int height = 0;
  // 0xAARRGGBB; alpha is used only when hasAlpha (straight, not premultiplied).
  std::vector<std::uint32_t> color;
  // 1 where the picture is transparent; used only when hasMask.
  std::vector<std::uint8_t> transparent;
  bool hasMask = false;
  bool hasAlpha = false;

  bool Opaque(int x, int y) const;
};

// Reads `src` of a colour bitmap (which may be null for a mask-only picture) and a monochrome mask (white is
// transparent; may be null). A 32-bit colour bitmap with any alpha set has an alpha channel.
Image ImageFromBitmaps(Bitmap* color, Bitmap* mask, const RECT& src);

enum class ImageDraw {
  Normal,     // transparent pixels left alone, alpha blended
  MaskOnly,   // the mask: black where opaque, white where transparent
  ImageOnly,  // the colour pixels, mask ignored
};
// Draws `image` stretched (nearest pixel) into `dest` (device coordinates), clipped to the DC. With a blend
// colour, opaque pixels are mixed half and half with it (selected images).
void DrawImage(HDC__& dc, const RECT& dest, const Image& image, ImageDraw mode, const std::uint32_t* blend = nullptr);
// A copy of the picture in two new bitmaps, as GetIconInfo and ImageList_GetIcon hand them out.
void ImageToBitmaps(const Image& image, HBITMAP* color, HBITMAP* mask);

}  // namespace gdi
