#include "geometry/gl_context.h"

#include "platform/gl/wgl.h"

bool HasCurrentGlContext() { return wglGetCurrentContext() != nullptr; }
