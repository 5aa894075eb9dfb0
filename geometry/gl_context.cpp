#include "geometry/gl_context.h"

#include <GL/osmesa.h>

bool HasCurrentGlContext() { return OSMesaGetCurrentContext() != nullptr; }
