// Icons and cursors: a picture with its mask and hot spot behind an HICON.
#pragma once

#include "platform/gdi/image.h"

namespace gdi {

HICON MakeIcon(Image image, POINT hotspot, bool isIcon);
// The picture of a live icon, or null.
const Image* IconImage(HICON icon);

}  // namespace gdi
