// The binary forms of the resources a program locks and reads itself.
#pragma once

#include "tools/rescomp/images.h"
#include "tools/rescomp/rescomp.h"

#include <cstdint>
#include <vector>

namespace rescomp {

// DLGTEMPLATE or DLGTEMPLATEEX with its items.
std::vector<std::uint8_t> DialogTemplate(const DialogEntry& dialog);

// WORD version 1, WORD button width, WORD button height, WORD count, then one WORD command id per button
// (0 for a separator); little-endian.
std::vector<std::uint8_t> ToolbarResource(std::uint16_t width, std::uint16_t height,
                                          const std::vector<std::uint16_t>& commands);

// A packed DIB: BITMAPINFOHEADER, then the rows bottom first, each padded to 4 bytes. An opaque picture is
// 24 bits a pixel (blue, green, red); one with any transparency 32 (blue, green, red, straight alpha).
std::vector<std::uint8_t> PackedDib(const Picture& picture);

// One image of an icon (RT_ICON): BITMAPINFOHEADER of twice the height, 32-bit colour rows and the 1-bit mask
// rows (1 where transparent), both bottom first and padded to 4 bytes.
std::vector<std::uint8_t> IconImage(const Picture& picture);
// One image of a cursor (RT_CURSOR): WORD hot spot x, WORD hot spot y, then an icon image.
std::vector<std::uint8_t> CursorImage(const Picture& picture, std::uint16_t hotX, std::uint16_t hotY);

// The directory of an icon (RT_GROUP_ICON): WORD 0, WORD 1, WORD count 1, then one 14-byte entry: BYTE width,
// BYTE height (0 for 256), BYTE colour count 0, BYTE 0, WORD planes 1, WORD bits 32, DWORD image size, WORD
// the RT_ICON id.
std::vector<std::uint8_t> IconDirectory(const Picture& picture, std::uint32_t imageSize, std::uint16_t imageId);
// The directory of a cursor (RT_GROUP_CURSOR): WORD 0, WORD 2, WORD count 1, then one 14-byte entry: WORD width,
// WORD height of the image's two halves, WORD planes 1, WORD bits 32, DWORD image size, WORD the RT_CURSOR id.
std::vector<std::uint8_t> CursorDirectory(const Picture& picture, std::uint32_t imageSize, std::uint16_t imageId);

}  // namespace rescomp
