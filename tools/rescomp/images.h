// Image files of a resource script, read at build time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rescomp {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, straight alpha, top row first
  bool Opaque() const;
};

// Pictures larger than this are refused: a resource bitmap is a toolbar strip or an icon, never a photograph.
inline constexpr int kMaxPictureSide = 4096;

// Reads a PNG file; nothing, with the reason in `error`, when the file is missing, not a PNG, or too large.
std::optional<Picture> ReadPng(const std::string& path, std::string& error);

}  // namespace rescomp
