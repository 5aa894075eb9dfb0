// Whether this thread has an OpenGL context to draw into; GL objects are made and freed only then.
#pragma once

bool HasCurrentGlContext();
