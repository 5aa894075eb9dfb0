// The pixel formats this renderer offers, numbered from 1 as DescribePixelFormat counts them.
#pragma once

#include "platform/gl/wgl.h"

namespace platform::gl {

int FormatCount();
// nullptr outside 1 .. FormatCount().
const PIXELFORMATDESCRIPTOR* FormatAt(int index);

}  // namespace platform::gl
