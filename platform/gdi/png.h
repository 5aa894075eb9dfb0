// PNG files of pictures, for tests and for people to look at.
#pragma once

#include "platform/gdi/surface.h"

#include <string>

namespace gdi {

// Writes the pixels opaque (alpha ignored, as GDI ignores it on screen). False when the file cannot be written.
bool SavePng(const Surface& surface, const std::string& path);
bool SavePng(HBITMAP bitmap, const std::string& path);

}  // namespace gdi
