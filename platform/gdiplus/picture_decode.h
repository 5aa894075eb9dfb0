// Pictures from bytes, as GDI+ decodes a stream: PNG, JPEG and BMP (24 and 32 bits, uncompressed). The bytes come
// from the network: a picture over the byte cap, wider or taller than the side cap, or that says so in its
// header, is refused before anything is allocated for its pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gdiplus {

inline constexpr std::size_t kMaxPictureBytes = 1024 * 1024;
inline constexpr int kMaxPictureSide = 2048;

struct DecodedPicture {
  int width = 0;
  int height = 0;
  // Rows top to bottom, 0xAARRGGBB, alpha straight.
  std::vector<std::uint32_t> pixels;
};

// False, with `picture` emptied, for anything that is not a whole picture within the caps.
bool DecodePicture(const std::uint8_t* bytes, std::size_t size, DecodedPicture* picture);

}  // namespace gdiplus
